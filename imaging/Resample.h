// SPDX-License-Identifier: GPL-3.0-or-later
// The separable resampler behind the area-averaging stretch and the high-quality resize.
//
// A stretch maps a source rectangle onto a destination rectangle that may reach beyond the
// target picture; only the visible part of the destination is computed. Each axis gets its
// table of contributions once (first source index, tap count and fixed-point weights per
// output column or row), then a horizontal pass filters just the source rows the vertical pass
// needs, through a small ring of rows, and the vertical pass writes the target rows.
#pragma once

#include "imaging/Bitmap.h"

#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <vector>

namespace lmk {

// Weights are integers scaled by 2^kWeightBits. 14 bits keep a weight's rounding error
// (2^-15) far below one output step, and the largest vertical sum of 15-bit intermediates
// times weights (bicubic lobes included, their positive parts add up to < 1.25) below 2^31.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;

enum class ResampleKernel {
    Area,        // each output is the exact area-weighted mean of the source it covers
    Triangle,    // bilinear
    CatmullRom,  // bicubic, Keys' kernel with a = -0.5
};

// The contributions of the source to the computed outputs of one axis.
struct AxisWeights {
    int MaxTaps = 0;
    std::vector<int> First;           // first source index of each output (relative to the region)
    std::vector<int> Taps;            // number of source samples of each output
    std::vector<std::int16_t> Weights;  // Taps.size() x MaxTaps, each row summing to kWeightOne

    int Count() const { return int(First.size()); }
    const std::int16_t *WeightsOf(int output) const { return Weights.data() + std::size_t(output) * MaxTaps; }
    // True when every output takes exactly one source sample, the one at its own index.
    bool IsIdentity() const;
};

// Contributions for `count` outputs starting at output `firstOutput` of an axis that maps
// `sourceLength` samples onto `destLength` outputs. `prefilter` widens the kernel by the
// reduction factor when shrinking, so every source sample contributes (no aliasing).
AxisWeights MakeAxisWeights(int sourceLength, int destLength, int firstOutput, int count,
                            ResampleKernel kernel, bool prefilter);

// How every written pixel is mapped on its way into the target: one 256-entry table per
// channel (blue, green, red), then the colour mix, which needs all three channels at once.
struct PixelMap {
    std::array<std::array<std::uint8_t, 256>, 3> Tables;
    int Colorfulness = 0;  // -100 ... 100: grey at -100, unchanged at 0, twice the colour at 100
    int RedGreenTint = 0;  // -100 ... 100: negative shifts towards green, positive towards red

    bool MixesColors() const { return Colorfulness != 0 || RedGreenTint != 0; }
    // Maps `count` pixels of `bytesPerPixel` bytes in place (blue, green, red; the fourth byte
    // is left as it is).
    void ApplyRow(std::uint8_t *pixels, int count, int bytesPerPixel) const;
};

// Writes the outputs described by `xs` and `ys` into `target`, the first at `targetOrigin`,
// reading the region `sourceRect` of `source`. Both pictures are 24 or 32 bits and must be
// different objects. With `map`, every written pixel goes through it in the same pass. A
// 32-bit target gets 255 as its fourth byte.
void ResampleInto(const Bitmap &source, const QRect &sourceRect, Bitmap &target, QPoint targetOrigin,
                  const AxisWeights &xs, const AxisWeights &ys, const PixelMap *map = nullptr);

}  // namespace lmk
