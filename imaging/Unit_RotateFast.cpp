// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_RotateFast.h"

#include "imaging/Numeric.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lmk {

namespace {

// The angle functions' own value of pi, with fewer digits than the library's: the sizes and
// positions of the turned picture are defined with it.
constexpr double kPi = 3.14159265358979;
constexpr double kDegreesPerStep = 30.0;
constexpr double kStepTolerance = 1e-7;
constexpr double kCos30 = 0.866025403784439;
// cos of 0, 30, 60, ... 330 degrees.
constexpr std::array<double, 12> kStepCosines = {1, kCos30, 0.5, 0, -0.5, -kCos30, -1, -kCos30, -0.5, 0, 0.5, kCos30};

// Tolerance of the size rounding: a size a hair above a whole number is not rounded up.
constexpr double kCeilNudge = 5e-10;
constexpr double kCeilTolerance = 1e-9;

// Cosine of x degrees, exact for multiples of 30 degrees, so that quarter and half turns place
// pixels on whole positions.
double CosDegrees(double x)
{
    const double steps = x / kDegreesPerStep;
    if (std::fabs(steps - std::nearbyint(steps)) < kStepTolerance) {
        int r = Round(x) % 360;
        if (r < 0)
            r += 360;
        return kStepCosines[std::size_t(r / 30)];
    }
    return std::cos(x * kPi / 180);
}

int CeilTolerant(double v)
{
    const int whole = Trunc(v + kCeilNudge);
    if (std::fabs(v - whole) < kCeilTolerance)
        return whole;
    return Trunc(v + 1);
}

// The angle brought into 0 ... 360 (-360 gives 360, which turns like 0).
double NormalisedAngle(double angle)
{
    const double turns = std::trunc(angle / 360);
    return angle >= 0 ? angle - 360 * turns : angle - 360 * (turns - 1);
}

// Nearest integer, exact halves to even, for values well inside the int range: the processor's
// conversion in its default rounding mode gives the same as Round without a library call.
inline int RoundSmall(double v)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    return Round(v);
#endif
}

struct TChannels {
    double B, G, R;
};

inline TChannels ChannelsOf(std::uint32_t pixel)
{
    return {double(pixel & 0xFF), double((pixel >> 8) & 0xFF), double((pixel >> 16) & 0xFF)};
}

inline std::uint32_t PixelOf(double b, double g, double r, std::uint32_t fourth)
{
    return std::uint32_t(Clamp(RoundSmall(b))) | std::uint32_t(Clamp(RoundSmall(g))) << 8 |
           std::uint32_t(Clamp(RoundSmall(r))) << 16 | fourth << 24;
}

// Samples the 32-bit source at (xs, ys) with the rules of the free rotation: background
// outside, plain bilinear inside, and at the edge the missing neighbours replaced by the
// background colour.
class TSampler {
public:
    TSampler(const Bitmap &source32, std::uint32_t background)
        : FSource(source32), FWidth(source32.Width()), FHeight(source32.Height()),
          // 0x00BBGGRR as a pixel in memory order B, G, R, fourth byte 0
          FBackground((background >> 16 & 0xFF) | (background & 0xFF00) | (background & 0xFF) << 16),
          FBackChannels{double((background >> 16) & 0xFF), double((background >> 8) & 0xFF), double(background & 0xFF)}
    {
    }

    std::uint32_t At(double xs, double ys) const
    {
        const int bx = (xs > -1 && xs < 0) ? -1 : Trunc(xs);
        const int by = (ys > -1 && ys < 0) ? -1 : Trunc(ys);
        if (!(xs > -1 && bx + 1 <= FWidth && ys > -1 && by + 1 <= FHeight))
            return FBackground;
        const double fx = std::fabs(xs - bx);
        const double fy = std::fabs(ys - by);
        const double wTL = (1 - fx) * (1 - fy);
        const double wTR = fx * (1 - fy);
        const double wBL = (1 - fx) * fy;
        const double wBR = fx * fy;
        const bool inside = xs >= 0 && bx + 1 < FWidth && ys >= 0 && by + 1 < FHeight;
        const TChannels tl = inside || !(xs < 0 || ys < 0) ? ChannelsOf(Pixel(bx, by)) : FBackChannels;
        const TChannels tr = inside || !(ys < 0 || bx == FWidth - 1) ? ChannelsOf(Pixel(bx + 1, by)) : FBackChannels;
        const TChannels bl = inside || !(xs < 0 || by == FHeight - 1) ? ChannelsOf(Pixel(bx, by + 1)) : FBackChannels;
        const TChannels br = inside || !(bx == FWidth - 1 || by == FHeight - 1) ? ChannelsOf(Pixel(bx + 1, by + 1)) : FBackChannels;
        return PixelOf(tl.B * wTL + tr.B * wTR + bl.B * wBL + br.B * wBR,
                       tl.G * wTL + tr.G * wTR + bl.G * wBL + br.G * wBR,
                       tl.R * wTL + tr.R * wTR + bl.R * wBL + br.R * wBR, 0xFF);
    }

private:
    std::uint32_t Pixel(int x, int y) const
    {
        std::uint32_t v;
        std::memcpy(&v, FSource.ScanLine(y) + std::ptrdiff_t(x) * 4, 4);
        return v;
    }

    const Bitmap &FSource;
    int FWidth, FHeight;
    std::uint32_t FBackground;
    TChannels FBackChannels;
};

}  // namespace

std::optional<Bitmap> RotateBitmap(const Bitmap &picture, double angle, std::uint32_t background)
{
    if (picture.Empty() || !(picture.Format() == PixelFormat::pf24bit || picture.Format() == PixelFormat::pf32bit) ||
        !std::isfinite(angle))
        return std::nullopt;
    const double theta = NormalisedAngle(angle);
    const double c = CosDegrees(theta);
    const double s = CosDegrees(theta + 90);  // -sin(theta)

    const int w = picture.Width();
    const int h = picture.Height();
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    // The corners' signs; i and j pick the corners that span the turned width and height.
    constexpr int kCornerX[4] = {-1, 1, 1, -1};
    constexpr int kCornerY[4] = {-1, -1, 1, 1};
    const int q = Trunc(theta / 90) % 4;
    const int i = (q + 2) % 4;
    const int j = (q + 3) % 4;
    const int newW = CeilTolerant((kCornerX[i] * cx * c - kCornerY[i] * cy * s) * 2);
    const int newH = CeilTolerant((kCornerX[j] * cx * s + kCornerY[j] * cy * c) * 2);
    if (!Bitmap::FitsInMemory(newW, newH))
        throw PictureTooLarge();
    const int dx = Div(newW - w, 2);
    const int dy = Div(newH - h, 2);

    Bitmap converted;
    if (picture.Format() != PixelFormat::pf32bit) {
        converted = picture;
        converted.SetFormat(PixelFormat::pf32bit);
    }
    const TSampler sampler(picture.Format() == PixelFormat::pf32bit ? picture : converted, background);

    // xs = (px - cx) c - (py - cy) s + cx and ys = (px - cx) s + (py - cy) c + cy, evaluated in
    // this order: the column products are the same in every row and the row products the same
    // in every column, so both are formed once.
    std::vector<double> columnC(static_cast<std::size_t>(newW));
    std::vector<double> columnS(static_cast<std::size_t>(newW));
    for (int ox = 0; ox < newW; ++ox) {
        const double u = double(ox - dx) - cx;
        columnC[std::size_t(ox)] = u * c;
        columnS[std::size_t(ox)] = u * s;
    }
    Bitmap result(newW, newH, PixelFormat::pf32bit);
    for (int oy = 0; oy < newH; ++oy) {
        const double v = double(oy - dy) - cy;
        const double rowS = v * s;
        const double rowC = v * c;
        std::uint8_t *out = result.ScanLine(oy);
        for (int ox = 0; ox < newW; ++ox) {
            const double xs = columnC[std::size_t(ox)] - rowS + cx;
            const double ys = columnS[std::size_t(ox)] + rowC + cy;
            const std::uint32_t pixel = sampler.At(xs, ys);
            std::memcpy(out + std::ptrdiff_t(ox) * 4, &pixel, 4);
        }
    }
    return result;
}

}  // namespace lmk
