// SPDX-License-Identifier: GPL-3.0-or-later
// Free-angle rotation with bilinear interpolation, as the alignment correction uses it.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <optional>

namespace lmk {

// The picture turned by `angle` degrees (positive turns clockwise on screen) onto a new 32-bit
// picture just large enough for the turned rectangle, its centre at the result's centre. Pixels
// outside the turned picture get `background` (0x00BBGGRR, red in the low byte) with fourth
// byte 0, the picture's edge blends into it, every other pixel has fourth byte 255. Multiples of
// 30 degrees use exact angle values. The picture passed in is not changed.
//
// No result for an empty picture, a picture that is neither 24 nor 32 bits, or an angle that is
// not a finite number. Raises PictureTooLarge when the result would not fit in memory.
std::optional<Bitmap> RotateBitmap(const Bitmap &picture, double angle, std::uint32_t background);

}  // namespace lmk
