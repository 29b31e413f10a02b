// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Resample.h"

#include "imaging/Numeric.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace lmk {

namespace {

// The horizontal pass keeps 7 fraction bits: 255 << 7 still fits a signed 16-bit sample, so
// the ring of intermediate rows stays small and the vertical sums stay within 32 bits.
constexpr int kMidBits = 7;
constexpr int kMidMax = 255 << kMidBits;
constexpr int kHorizontalShift = kWeightBits - kMidBits;
constexpr int kVerticalShift = kWeightBits + kMidBits;

double TriangleWeight(double x)
{
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

// Keys' cubic convolution kernel with a = -0.5 (Catmull-Rom): interpolating, and exact for
// quadratic ramps.
double CatmullRomWeight(double x)
{
    constexpr double a = -0.5;
    x = std::fabs(x);
    if (x < 1.0)
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0)
        return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
    return 0.0;
}

struct RealWeights {
    int First = 0;
    std::vector<double> W;
};

// Each output covers [j * scale, (j + 1) * scale) of the source; a sample weighs by the length
// it shares with that span.
RealWeights AreaWeights(int j, double scale, int sourceLength)
{
    const double lo = j * scale;
    const double hi = (j + 1) * scale;
    const int first = std::clamp(int(std::floor(lo)), 0, sourceLength - 1);
    const int last = std::clamp(int(std::ceil(hi)) - 1, first, sourceLength - 1);
    RealWeights r;
    r.First = first;
    for (int i = first; i <= last; ++i)
        r.W.push_back(std::max(0.0, std::min(hi, i + 1.0) - std::max(lo, double(i))));
    return r;
}

RealWeights KernelWeights(int j, double scale, int sourceLength, ResampleKernel kernel, bool prefilter)
{
    const bool cubic = kernel == ResampleKernel::CatmullRom;
    const double widen = prefilter ? std::max(scale, 1.0) : 1.0;
    const double support = (cubic ? 2.0 : 1.0) * widen;
    const double centre = (j + 0.5) * scale;
    const int first = std::max(0, int(std::floor(centre - support)));
    const int end = std::min(sourceLength, int(std::ceil(centre + support)));
    RealWeights r;
    r.First = first;
    for (int i = first; i < end; ++i) {
        const double x = (i + 0.5 - centre) / widen;
        r.W.push_back(cubic ? CatmullRomWeight(x) : TriangleWeight(x));
    }
    return r;
}

// Normalises to kWeightOne exactly (the rounding remainder goes to the largest weight, so a
// flat colour stays flat) and drops zero weights at both ends.
void Quantise(const RealWeights &real, int &first, std::vector<std::int16_t> &out)
{
    double sum = 0.0;
    for (double w : real.W)
        sum += w;
    std::vector<int> q(real.W.size(), 0);
    if (sum == 0.0 || q.empty()) {  // cannot happen for a sane axis; fall back to the nearest sample
        q.assign(1, kWeightOne);
    } else {
        int total = 0;
        for (std::size_t i = 0; i < q.size(); ++i)
            total += q[i] = int(std::lround(real.W[i] / sum * kWeightOne));
        const auto largest = std::max_element(q.begin(), q.end());
        *largest += kWeightOne - total;
    }
    std::size_t begin = 0;
    std::size_t end = q.size();
    while (end - begin > 1 && q[begin] == 0)
        ++begin;
    while (end - begin > 1 && q[end - 1] == 0)
        --end;
    first = real.First + int(begin);
    out.assign(q.begin() + std::ptrdiff_t(begin), q.begin() + std::ptrdiff_t(end));
}

}  // namespace

bool AxisWeights::IsIdentity() const
{
    for (int j = 0; j < Count(); ++j)
        if (Taps[j] != 1 || First[j] != First[0] + j)
            return false;
    return true;
}

AxisWeights MakeAxisWeights(int sourceLength, int destLength, int firstOutput, int count,
                            ResampleKernel kernel, bool prefilter)
{
    if (sourceLength <= 0 || destLength <= 0 || count < 0 || firstOutput < 0 || firstOutput + count > destLength)
        throw std::invalid_argument("MakeAxisWeights: axis out of range");
    const double scale = double(sourceLength) / destLength;
    std::vector<std::vector<std::int16_t>> rows(static_cast<std::size_t>(count));
    AxisWeights axis;
    axis.First.resize(std::size_t(count));
    axis.Taps.resize(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        const int j = firstOutput + k;
        const RealWeights real = kernel == ResampleKernel::Area
                                     ? AreaWeights(j, scale, sourceLength)
                                     : KernelWeights(j, scale, sourceLength, kernel, prefilter);
        Quantise(real, axis.First[std::size_t(k)], rows[std::size_t(k)]);
        axis.Taps[std::size_t(k)] = int(rows[std::size_t(k)].size());
        axis.MaxTaps = std::max(axis.MaxTaps, axis.Taps[std::size_t(k)]);
    }
    axis.Weights.assign(std::size_t(count) * std::size_t(axis.MaxTaps), 0);
    for (int k = 0; k < count; ++k)
        std::copy(rows[std::size_t(k)].begin(), rows[std::size_t(k)].end(),
                  axis.Weights.begin() + std::ptrdiff_t(k) * axis.MaxTaps);
    return axis;
}

void PixelMap::ApplyRow(std::uint8_t *p, int count, int bytesPerPixel) const
{
    const auto &tb = Tables[0];
    const auto &tg = Tables[1];
    const auto &tr = Tables[2];
    for (int x = 0; x < count; ++x, p += bytesPerPixel) {
        p[0] = tb[p[0]];
        p[1] = tg[p[1]];
        p[2] = tr[p[2]];
    }
    if (!MixesColors())
        return;
    // Colourfulness scales each channel's distance from the pixel's grey; the tint then moves
    // red and green in opposite directions (50 levels at the ends of its range).
    const int gain = 100 + Colorfulness;
    const int tint = RedGreenTint / 2;
    p -= std::ptrdiff_t(count) * bytesPerPixel;
    for (int x = 0; x < count; ++x, p += bytesPerPixel) {
        const int grey = (p[0] + p[1] + p[2]) / 3;
        const int b = grey + (p[0] - grey) * gain / 100;
        const int g = grey + (p[1] - grey) * gain / 100 - tint;
        const int r = grey + (p[2] - grey) * gain / 100 + tint;
        p[0] = Clamp(b);
        p[1] = Clamp(g);
        p[2] = Clamp(r);
    }
}

namespace {

// Copies (and converts) the source region row for row: the path of every 1:1 stretch.
template <int SB, int DB>
void CopyRows(const Bitmap &source, const QRect &sourceRect, Bitmap &target, QPoint origin,
              int firstColumn, int firstRow, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const std::uint8_t *s = source.ScanLine(sourceRect.y() + firstRow + y) + std::ptrdiff_t(sourceRect.x() + firstColumn) * SB;
        std::uint8_t *d = target.ScanLine(origin.y() + y) + std::ptrdiff_t(origin.x()) * DB;
        if constexpr (SB == DB && SB == 3) {
            std::memcpy(d, s, std::size_t(width) * 3);
        } else {
            for (int x = 0; x < width; ++x, s += SB, d += DB) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if constexpr (DB == 4)
                    d[3] = 255;
            }
        }
    }
}

// acc[c] := sum over k < taps of p[k * SB + c] * w[k], for the channels of one output pixel.
template <int SB>
inline void WeightedSum(const std::uint8_t *p, const std::int16_t *w, int taps, std::int32_t *acc)
{
#if defined(__SSE2__)
    if constexpr (SB == 4) {
        // Two source pixels per step: their channels interleaved as 16-bit pairs, multiplied by
        // the pair of weights and added pairwise (pmaddwd), give the four channel sums at once.
        const __m128i zero = _mm_setzero_si128();
        __m128i sum = zero;
        int k = 0;
        for (; k + 1 < taps; k += 2) {
            std::uint64_t two;
            std::memcpy(&two, p + std::ptrdiff_t(k) * 4, 8);
            const __m128i wide = _mm_unpacklo_epi8(_mm_cvtsi64_si128(std::int64_t(two)), zero);
            const __m128i pairs = _mm_unpacklo_epi16(wide, _mm_srli_si128(wide, 8));
            const __m128i weights = _mm_set1_epi32(int(std::uint32_t(std::uint16_t(w[k + 1])) << 16 | std::uint16_t(w[k])));
            sum = _mm_add_epi32(sum, _mm_madd_epi16(pairs, weights));
        }
        if (k < taps) {
            std::uint32_t one;
            std::memcpy(&one, p + std::ptrdiff_t(k) * 4, 4);
            const __m128i wide = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int(one)), zero), zero);
            sum = _mm_add_epi32(sum, _mm_madd_epi16(wide, _mm_set1_epi32(std::uint16_t(w[k]))));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(acc), sum);
        return;
    }
#endif
    for (int k = 0; k < taps; ++k, p += SB)
        for (int c = 0; c < SB; ++c)
            acc[c] += p[c] * w[k];
}

template <int SB, int DB>
class Resampler {
public:
    Resampler(const Bitmap &source, const QRect &sourceRect, const AxisWeights &xs, const AxisWeights &ys)
        : FSource(source), FRect(sourceRect), FXs(xs), FYs(ys), FRowLength(std::size_t(xs.Count()) * SB),
          FRing(FRowLength * std::size_t(std::max(ys.MaxTaps, 1))), FRingRow(std::size_t(std::max(ys.MaxTaps, 1)), -1),
          FSum(FRowLength)
    {
    }

    void WriteRow(int output, std::uint8_t *d)
    {
        std::fill(FSum.begin(), FSum.end(), 0);
        const std::int16_t *w = FYs.WeightsOf(output);
        const int first = FYs.First[std::size_t(output)];
        for (int k = 0; k < FYs.Taps[std::size_t(output)]; ++k) {
            const std::int16_t *mid = Row(first + k);
            const std::int32_t weight = w[k];
            std::int32_t *sum = FSum.data();
            for (std::size_t i = 0; i < FRowLength; ++i)
                sum[i] += mid[i] * weight;
        }
        constexpr std::int32_t half = 1 << (kVerticalShift - 1);
        const std::int32_t *sum = FSum.data();
        for (int x = 0; x < FXs.Count(); ++x, sum += SB, d += DB) {
            for (int c = 0; c < 3; ++c)
                d[c] = Clamp((sum[c] + half) >> kVerticalShift);
            if constexpr (DB == 4)
                d[3] = 255;
        }
    }

private:
    // The horizontally filtered source row `row`, computed when first needed. Rows are kept
    // in a ring as large as the widest vertical window, so each is filtered once.
    const std::int16_t *Row(int row)
    {
        const std::size_t slot = std::size_t(row) % FRingRow.size();
        std::int16_t *mid = FRing.data() + slot * FRowLength;
        if (FRingRow[slot] != row) {
            FilterRow(row, mid);
            FRingRow[slot] = row;
        }
        return mid;
    }

    void FilterRow(int row, std::int16_t *mid) const
    {
        const std::uint8_t *s = FSource.ScanLine(FRect.y() + row) + std::ptrdiff_t(FRect.x()) * SB;
        constexpr std::int32_t half = 1 << (kHorizontalShift - 1);
        for (int x = 0; x < FXs.Count(); ++x, mid += SB) {
            const std::uint8_t *p = s + std::ptrdiff_t(FXs.First[std::size_t(x)]) * SB;
            const std::int16_t *w = FXs.WeightsOf(x);
            std::int32_t acc[4] = {};
            WeightedSum<SB>(p, w, FXs.Taps[std::size_t(x)], acc);
            for (int c = 0; c < SB; ++c)
                mid[c] = std::int16_t(std::clamp((acc[c] + half) >> kHorizontalShift, 0, kMidMax));
        }
    }

    const Bitmap &FSource;
    const QRect FRect;
    const AxisWeights &FXs;
    const AxisWeights &FYs;
    const std::size_t FRowLength;
    std::vector<std::int16_t> FRing;
    std::vector<int> FRingRow;
    std::vector<std::int32_t> FSum;
};

template <int SB, int DB>
void Resample(const Bitmap &source, const QRect &sourceRect, Bitmap &target, QPoint origin,
              const AxisWeights &xs, const AxisWeights &ys, const PixelMap *map)
{
    const int width = xs.Count();
    const int height = ys.Count();
    if (xs.IsIdentity() && ys.IsIdentity()) {
        CopyRows<SB, DB>(source, sourceRect, target, origin, xs.First[0], ys.First[0], width, height);
        if (map)
            for (int y = 0; y < height; ++y)
                map->ApplyRow(target.ScanLine(origin.y() + y) + std::ptrdiff_t(origin.x()) * DB, width, DB);
        return;
    }
    Resampler<SB, DB> resampler(source, sourceRect, xs, ys);
    for (int y = 0; y < height; ++y) {
        std::uint8_t *d = target.ScanLine(origin.y() + y) + std::ptrdiff_t(origin.x()) * DB;
        resampler.WriteRow(y, d);
        if (map)
            map->ApplyRow(d, width, DB);
    }
}

}  // namespace

void ResampleInto(const Bitmap &source, const QRect &sourceRect, Bitmap &target, QPoint targetOrigin,
                  const AxisWeights &xs, const AxisWeights &ys, const PixelMap *map)
{
    if (&source == &target)
        throw std::invalid_argument("ResampleInto: source and target are the same picture");
    if (xs.Count() == 0 || ys.Count() == 0)
        return;
    const bool wide = source.BytesPerPixel() == 4;
    if (target.BytesPerPixel() == 4) {
        wide ? Resample<4, 4>(source, sourceRect, target, targetOrigin, xs, ys, map)
             : Resample<3, 4>(source, sourceRect, target, targetOrigin, xs, ys, map);
    } else {
        wide ? Resample<4, 3>(source, sourceRect, target, targetOrigin, xs, ys, map)
             : Resample<3, 3>(source, sourceRect, target, targetOrigin, xs, ys, map);
    }
}

}  // namespace lmk
