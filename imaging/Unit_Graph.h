// SPDX-License-Identifier: GPL-3.0-or-later
// Shared image routines: scaled copies, resizing, blending, brightening, the quarter turns, and
// the sharpening, smoothing and saturation filters.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Numeric.h"

#include <QString>

namespace lmk {

class Canvas;

// Interpolation modes of the high-quality resize: both are prefiltered (the kernel widens by the
// reduction factor when shrinking).
enum class InterpolationMode { Default = 0, HighQuality = 2, HighQualityBilinear = 6, HighQualityBicubic = 7 };

// Fills the canvas's visible area with white.
void ClearCanvas(Canvas &canvas);
// target := source scaled into the box bw x bh by area averaging, never enlarged.
void ScaledCopy(const Bitmap &source, Bitmap &target, int boxWidth, int boxHeight);
// Resizes in place by area averaging; the result is in device format.
void ResizeHalftone(Bitmap &picture, int newWidth, int newHeight, bool keepProportions);
// Resizes in place with a prefiltered bilinear or bicubic kernel; the result is 32 bits.
void ResizeHighQuality(Bitmap &picture, int width, int height, bool keepProportions,
                       InterpolationMode mode);
// a := (weight * a + (255 - weight) * b) div 255 over the common area; returns a.
Bitmap &BlendBitmaps(Bitmap &a, Bitmap &b, int weight);
// Adds (amount * 255) div 200 to every channel, clamped; the result is 24 bits.
void Brighten(Bitmap &picture, int amount);
// Decodes any file Qt's plugins read into a 32-bit picture; an unreadable file gives 0 x 0.
bool LoadPictureFile(const QString &fileName, Bitmap &picture);
// Quarter turns and mirrorings in place, ending at 32 bits: kind 0 turns 90 degrees clockwise,
// 1 counter-clockwise, 2 mirrors left-right, 3 top-bottom. A plain permutation of the pixels.
void RotateFlip(Bitmap &picture, int kind);

// Five-point sharpening in 16.16 fixed point with the strength x in 2 ... 5: every inner pixel
// becomes centre * x - k * (up + left + centre + right + down), k = (x - 1) / 5 in single
// precision, clamped; the outermost rows and columns are kept. Pictures smaller than 3 x 3 and
// strengths outside 2 ... 5 stay as they are; otherwise the result is 24 bits.
void Sharpen(Bitmap &picture, float strength);
// Eight-neighbour averaging in place with centre weight 7 - n (n <= 7, one pass) or 7 (n > 7,
// n - 6 passes); the top and bottom rows then move four fifths towards their inner neighbours,
// the first and last columns are kept. The result is 24 bits; a picture one row high is left
// as it is.
void Smooth(Bitmap &picture, int n);
// Scales each channel's distance from the pixel's mean by |value| / 100 (at most 50): 0 gives
// gray, 100 changes nothing, 200 doubles the colourfulness. Gray pixels are kept; the result is
// 24 bits.
void Saturate(Bitmap &picture, int value);

// Sets the control's height to `height` and its width in the proportion pw : ph. A template so
// the pixel core needs no widget library: any type with resize(int, int) serves.
template <class Control>
void FitControlHeight(Control &control, int proportionWidth, int proportionHeight, int height)
{
    control.resize(Trunc(height * FDiv(proportionWidth, proportionHeight)), height);
}

}  // namespace lmk
