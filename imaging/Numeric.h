// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric words every picture routine uses, with one meaning each:
//   Round  nearest integer, exact halves to the even neighbour (26.5 -> 26, 27.5 -> 28)
//   Trunc  integer part, toward zero (-0.7 -> 0)
//   Div    integer division truncating toward zero
//   Clamp  limit to 0 ... 255
//   FDiv   floating-point division that raises instead of giving infinity or NaN
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace lmk {

// A floating-point division by zero (or 0/0): C++ would quietly give infinity or NaN, the
// picture routines need an error instead.
class FloatDivisionByZero : public std::runtime_error {
public:
    FloatDivisionByZero() : std::runtime_error("Gleitkommadivision durch Null") {}
};

// Relies on the default rounding mode (round to nearest, ties to even), which the program
// never changes.
inline int Round(double x) { return static_cast<int>(std::nearbyint(x)); }

inline int Trunc(double x) { return static_cast<int>(x); }

inline int Div(int a, int b) { return a / b; }  // C++ integer division already truncates toward zero

inline std::uint8_t Clamp(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

inline double FDiv(double a, double b)
{
    if (b == 0.0)
        throw FloatDivisionByZero();
    return a / b;
}

}  // namespace lmk
