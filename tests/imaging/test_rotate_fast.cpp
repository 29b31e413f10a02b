// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_RotateFast.h"

#include "tests/support/Pixels.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace lmk;
using lmktest::At;
using lmktest::Bgr;
using lmktest::Set;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlueish = 0x336699;  // red 0x99, green 0x66, blue 0x33
constexpr Bgr kBlueishPixel{0x33, 0x66, 0x99};

Bitmap Noise(int w, int h, PixelFormat f, unsigned seed)
{
    std::mt19937 random(seed);
    Bitmap p(w, h, f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(p, x, y, {int(random() % 256), int(random() % 256), int(random() % 256)});
    return p;
}

int FourthByte(const Bitmap &p, int x, int y) { return p.ScanLine(y)[x * 4 + 3]; }

// The whole result, fourth bytes included, for byte-for-byte comparisons.
std::vector<std::uint8_t> BytesOf(const Bitmap &p)
{
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < p.Height(); ++y)
        bytes.insert(bytes.end(), p.ScanLine(y), p.ScanLine(y) + std::size_t(p.Width()) * p.BytesPerPixel());
    return bytes;
}

TEST(RotateBitmap, ResultSizeIsTheTurnedBoundingBox)
{
    struct Case {
        int Width, Height;
        double Angle;
        int NewWidth, NewHeight;
    };
    const std::vector<Case> cases = {
        {1000, 800, 3, 1041, 852},   // 1040.49..., 851.23... rounded up
        {1000, 800, 45, 1273, 1273},
        {1000, 800, 30, 1267, 1193},  // table angle
        {400, 300, 90, 300, 400},
        {400, 300, -90, 300, 400},
        {400, 300, 180, 400, 300},
        {400, 300, 0, 400, 300},
        {400, 300, -360, 400, 300},   // normalised to 360, which turns like 0
        {400, 300, 720, 400, 300},
        {400, 300, 270, 300, 400},
        {1, 1, 45, 2, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height) + " by " + std::to_string(c.Angle));
        const std::optional<Bitmap> turned = RotateBitmap(Noise(c.Width, c.Height, PixelFormat::pf32bit, 1), c.Angle, kWhite);
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->Width(), c.NewWidth);
        EXPECT_EQ(turned->Height(), c.NewHeight);
        EXPECT_EQ(turned->Format(), PixelFormat::pf32bit);
    }
}

TEST(RotateBitmap, NoTurnKeepsEveryPixel)
{
    for (const PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf32bit})
        for (const double angle : {0.0, 360.0, -360.0, 1e-9}) {
            SCOPED_TRACE(angle);
            const Bitmap source = Noise(37, 23, format, 2);
            const std::optional<Bitmap> turned = RotateBitmap(source, angle, kBlueish);
            ASSERT_TRUE(turned);
            ASSERT_EQ(turned->Width(), 37);
            ASSERT_EQ(turned->Height(), 23);
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x) {
                    ASSERT_EQ(At(*turned, x, y), At(source, x, y)) << x << ", " << y;
                    ASSERT_EQ(FourthByte(*turned, x, y), 255);
                }
        }
}

// Sampling at whole pixel indices around the centre (W / 2, H / 2) lands a quarter turn one
// pixel off: one line of background on one side, one line of the source lost on the other.
TEST(RotateBitmap, QuarterTurnsOfAFiveByThreePicture)
{
    const Bitmap source = Noise(5, 3, PixelFormat::pf24bit, 3);
    const std::optional<Bitmap> right = RotateBitmap(source, 90, kBlueish);
    ASSERT_TRUE(right);
    ASSERT_EQ(right->Width(), 3);
    ASSERT_EQ(right->Height(), 5);
    for (int y = 0; y < 5; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(At(*right, 0, y), kBlueishPixel);
        EXPECT_EQ(FourthByte(*right, 0, y), 0);
        EXPECT_EQ(At(*right, 1, y), At(source, y, 2));  // the bottom row
        EXPECT_EQ(At(*right, 2, y), At(source, y, 1));  // the middle row
        EXPECT_EQ(FourthByte(*right, 1, y), 255);
        EXPECT_EQ(FourthByte(*right, 2, y), 255);
    }
    const std::optional<Bitmap> left = RotateBitmap(source, -90, kBlueish);
    ASSERT_TRUE(left);
    ASSERT_EQ(left->Width(), 3);
    ASSERT_EQ(left->Height(), 5);
    for (int x = 0; x < 3; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(At(*left, x, 0), kBlueishPixel);
        EXPECT_EQ(FourthByte(*left, x, 0), 0);
        for (int y = 1; y < 5; ++y) {
            EXPECT_EQ(At(*left, x, y), At(source, 5 - y, x));  // columns from right to left
            EXPECT_EQ(FourthByte(*left, x, y), 255);
        }
    }
}

TEST(RotateBitmap, EqualAnglesGiveEqualBytes)
{
    struct Case {
        double Angle, Same;
    };
    const std::vector<Case> cases = {{-2, 358}, {-360, 0}, {-90, 270}, {-725.5, 354.5}, {393, 33}};
    const Bitmap source = Noise(41, 29, PixelFormat::pf32bit, 4);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Angle);
        const std::optional<Bitmap> a = RotateBitmap(source, c.Angle, kBlueish);
        const std::optional<Bitmap> b = RotateBitmap(source, c.Same, kBlueish);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->Width(), b->Width());
        EXPECT_EQ(BytesOf(*a), BytesOf(*b));
    }
}

TEST(RotateBitmap, CornersGetTheBackgroundWithFourthByteZero)
{
    const std::optional<Bitmap> turned = RotateBitmap(Noise(40, 30, PixelFormat::pf24bit, 5), 30, kBlueish);
    ASSERT_TRUE(turned);
    for (const auto &[x, y] : std::vector<std::pair<int, int>>{{0, 0}, {turned->Width() - 1, 0}, {0, turned->Height() - 1},
                                                               {turned->Width() - 1, turned->Height() - 1}}) {
        EXPECT_EQ(At(*turned, x, y), kBlueishPixel) << x << ", " << y;
        EXPECT_EQ(FourthByte(*turned, x, y), 0);
    }
    // The centre is the picture's, opaque.
    EXPECT_EQ(FourthByte(*turned, turned->Width() / 2, turned->Height() / 2), 255);
}

TEST(RotateBitmap, GivesNoResultForPicturesItCannotTurn)
{
    EXPECT_FALSE(RotateBitmap(Bitmap(), 3, kWhite));
    EXPECT_FALSE(RotateBitmap(Bitmap(0, 5, PixelFormat::pf32bit), 3, kWhite));
    EXPECT_FALSE(RotateBitmap(Bitmap(4, 4, PixelFormat::pfDevice), 3, kWhite));
    EXPECT_FALSE(RotateBitmap(Noise(4, 4, PixelFormat::pf32bit, 6), std::numeric_limits<double>::quiet_NaN(), kWhite));
    EXPECT_FALSE(RotateBitmap(Noise(4, 4, PixelFormat::pf32bit, 6), std::numeric_limits<double>::infinity(), kWhite));
}

// ---- the rotation written out once more, pixel by pixel, straight from its definition --------
// The routine computes row and column terms once and takes shortcuts inside the picture; this
// catches any of them changing a byte at angles no table above reaches.

double ReferenceCos(double x)
{
    const double steps = x / 30;
    if (std::fabs(steps - std::nearbyint(steps)) < 1e-7) {
        const int r = int(std::nearbyint(x)) % 360;
        const double table[12] = {1, 0.866025403784439, 0.5, 0, -0.5, -0.866025403784439, -1, -0.866025403784439, -0.5, 0, 0.5, 0.866025403784439};
        return table[((r + 360) % 360) / 30];
    }
    return std::cos(x * 3.14159265358979 / 180);
}

int ReferenceCeil(double v)
{
    const int t = int(v + 5e-10);
    return std::fabs(v - t) < 1e-9 ? t : int(v + 1);
}

Bitmap ReferenceRotation(const Bitmap &source32, double angle, std::uint32_t background)
{
    const double k = std::trunc(angle / 360);
    const double theta = angle >= 0 ? angle - 360 * k : angle - 360 * (k - 1);
    const double c = ReferenceCos(theta), s = ReferenceCos(theta + 90);
    const int W = source32.Width(), H = source32.Height();
    const double cx = W / 2.0, cy = H / 2.0;
    const int X[4] = {-1, 1, 1, -1}, Y[4] = {-1, -1, 1, 1};
    const int q = int(theta / 90) % 4, i = (q + 2) % 4, j = (q + 3) % 4;
    const int newW = ReferenceCeil((X[i] * cx * c - Y[i] * cy * s) * 2);
    const int newH = ReferenceCeil((X[j] * cx * s + Y[j] * cy * c) * 2);
    const int dx = (newW - W) / 2, dy = (newH - H) / 2;
    const double back[3] = {double(background >> 16 & 255), double(background >> 8 & 255), double(background & 255)};
    Bitmap result(newW, newH, PixelFormat::pf32bit);
    for (int py = -dy; py < newH - dy; ++py)
        for (int px = -dx; px < newW - dx; ++px) {
            const double xs = (px - cx) * c - (py - cy) * s + cx;
            const double ys = (px - cx) * s + (py - cy) * c + cy;
            const int bx = (-1 < xs && xs < 0) ? -1 : int(xs);
            const int by = (-1 < ys && ys < 0) ? -1 : int(ys);
            std::uint8_t *out = result.ScanLine(py + dy) + (px + dx) * 4;
            if (!(xs > -1 && bx + 1 <= W && ys > -1 && by + 1 <= H)) {
                for (int ch = 0; ch < 3; ++ch)
                    out[ch] = std::uint8_t(back[ch]);
                out[3] = 0;
                continue;
            }
            const double fx = std::fabs(xs - bx), fy = std::fabs(ys - by);
            const double wTL = (1 - fx) * (1 - fy), wTR = fx * (1 - fy), wBL = (1 - fx) * fy, wBR = fx * fy;
            const bool missTL = xs < 0 || ys < 0, missTR = ys < 0 || bx == W - 1;
            const bool missBL = xs < 0 || by == H - 1, missBR = bx == W - 1 || by == H - 1;
            const auto value = [&](bool missing, int x, int y, int ch) {
                return missing ? back[ch] : double(source32.ScanLine(y)[x * 4 + ch]);
            };
            for (int ch = 0; ch < 3; ++ch) {
                const double sum = value(missTL, bx, by, ch) * wTL + value(missTR, bx + 1, by, ch) * wTR +
                                   value(missBL, bx, by + 1, ch) * wBL + value(missBR, bx + 1, by + 1, ch) * wBR;
                out[ch] = std::uint8_t(std::clamp(int(std::nearbyint(sum)), 0, 255));
            }
            out[3] = 255;
        }
    return result;
}

TEST(RotateBitmap, MatchesTheRotationWrittenOutPixelByPixel)
{
    const Bitmap source = Noise(53, 31, PixelFormat::pf32bit, 7);
    for (const double angle : {3.0, -2.0, 0.5, 45.0, 89.99, 133.7, 181.0, 300.5, -17.25, 30.0, 60.0000001}) {
        SCOPED_TRACE(angle);
        const std::optional<Bitmap> turned = RotateBitmap(source, angle, kBlueish);
        ASSERT_TRUE(turned);
        const Bitmap want = ReferenceRotation(source, angle, kBlueish);
        ASSERT_EQ(turned->Width(), want.Width());
        ASSERT_EQ(turned->Height(), want.Height());
        EXPECT_EQ(BytesOf(*turned), BytesOf(want));
    }
    // A 24-bit source is read as the same 32-bit pixels.
    Bitmap source24 = source;
    source24.SetFormat(PixelFormat::pf24bit);
    EXPECT_EQ(BytesOf(*RotateBitmap(source24, 7.5, kWhite)), BytesOf(*RotateBitmap(source, 7.5, kWhite)));
}

}  // namespace
