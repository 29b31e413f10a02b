// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and setting single pixels of a Bitmap in tests, in its own byte order.
#pragma once

#include "imaging/Bitmap.h"

#include <cstdint>
#include <ostream>

namespace lmktest {

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const Bgr &c)
{
    return out << "(b " << c.b << ", g " << c.g << ", r " << c.r << ")";
}

inline Bgr At(const lmk::Bitmap &p, int x, int y)
{
    const std::uint8_t *q = p.ScanLine(y) + x * p.BytesPerPixel();
    return {q[0], q[1], q[2]};
}

inline void Set(lmk::Bitmap &p, int x, int y, Bgr c)
{
    std::uint8_t *q = p.ScanLine(y) + x * p.BytesPerPixel();
    q[0] = std::uint8_t(c.b);
    q[1] = std::uint8_t(c.g);
    q[2] = std::uint8_t(c.r);
}

}  // namespace lmktest
