// SPDX-License-Identifier: GPL-3.0-or-later
// The one-click tone and colour operations on a whole picture. Each works in place, keeps the
// picture's size and first sets the pixel format it needs.
#pragma once

#include "imaging/Bitmap.h"

#include <QColor>

namespace lmk {

// The sepia strength the main window's command uses.
inline constexpr int kSepiaAmount = 60;

// Every pixel becomes the plain mean (R + G + B) div 3 in all channels; the result is 24 bits.
void Grayscale(Bitmap &picture);
// Gray mean in blue, green raised by Round(amount * 0.167) and red by Round(amount * 0.444),
// limited to 0 ... 255; the picture keeps its pixel format.
void Sepia(Bitmap &picture, int amount);
// Complements every byte of every 32-bit pixel (the fourth byte too); applying it twice
// restores the picture. The result is 32 bits.
void InvertColors(Bitmap &picture);
// Multiplies each channel by the tint's channel: v := (t * v) div 255. White becomes the tint,
// black stays black. The result is 24 bits.
void Colorize(Bitmap &picture, QColor tint);
// Stretches each channel independently from its own minimum ... maximum onto 0 ... 255:
// v := Trunc((v - min) * (255.0 / (max - min))). A channel whose values are all equal leaves the
// whole picture's pixels unchanged and gives false. The result is 24 bits.
bool AutoLevels(Bitmap &picture);
// Improves brightness and contrast: the picture is copied onto itself in halftone mode with the
// colour adjustment brightness -20, contrast +10. The result is 32 bits.
void AutoAdjust(Bitmap &picture);

}  // namespace lmk
