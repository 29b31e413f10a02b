// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Graph.h"

#include "tests/support/Pixels.h"

#include <gtest/gtest.h>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace lmk;
using lmktest::At;
using lmktest::Bgr;
using lmktest::Set;

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat::pf24bit, PixelFormat::pf32bit};

Bgr Gray(int v) { return {v, v, v}; }

Bitmap Picture(int w, int h, PixelFormat f, const std::function<Bgr(int, int)> &colour)
{
    Bitmap p(w, h, f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(p, x, y, colour(x, y));
    return p;
}

// Odd width, so that 24-bit rows carry padding bytes.
Bitmap Noise(PixelFormat f, unsigned seed, int w = 37, int h = 23)
{
    std::mt19937 random(seed);
    return Picture(w, h, f, [&](int, int) { return Bgr{int(random() % 256), int(random() % 256), int(random() % 256)}; });
}

// A picture given as rows of gray values.
Bitmap Grays(const std::vector<std::vector<int>> &rows, PixelFormat f)
{
    return Picture(int(rows[0].size()), int(rows.size()), f, [&](int x, int y) { return Gray(rows[std::size_t(y)][std::size_t(x)]); });
}

std::vector<std::vector<int>> BluesOf(const Bitmap &p)
{
    std::vector<std::vector<int>> rows(std::size_t(p.Height()));
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            rows[std::size_t(y)].push_back(At(p, x, y).b);
    return rows;
}

std::vector<Bgr> PixelsOf(const Bitmap &p)
{
    std::vector<Bgr> pixels;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            pixels.push_back(At(p, x, y));
    return pixels;
}

// ---- Sharpen ---------------------------------------------------------------------------------

TEST(Sharpen, FlatAreasStayAtTheDialogsStrengths)
{
    for (const float strength : {2.0f, 3.0f, 4.0f, 5.0f})
        for (int v = 0; v < 256; ++v) {
            Bitmap picture = Picture(5, 4, PixelFormat::pf24bit, [v](int, int) { return Gray(v); });
            Sharpen(picture, strength);
            ASSERT_EQ(PixelsOf(picture), std::vector<Bgr>(20, Gray(v))) << "strength " << strength << ", value " << v;
        }
}

TEST(Sharpen, RaisesAndLowersACentreAgainstItsNeighbours)
{
    struct Case {
        float Strength;
        int Centre, Neighbours, Expected;
    };
    const std::vector<Case> cases = {
        {2, 200, 100, 255},  // 400 - 120 = 280, clamped
        {2, 100, 200, 20},   // 200 - 180
        {3, 100, 200, 0},    // 300 - 26214 * 900 / 65536 = 300 - 360, clamped
        {3, 120, 100, 152},  // 360 - 208
        {4, 50, 40, 74},     // 200 - 39322 * 210 / 65536 = 200 - 126
    };
    for (const PixelFormat format : kFormats)
        for (const Case &c : cases) {
            SCOPED_TRACE("strength " + std::to_string(c.Strength) + ", centre " + std::to_string(c.Centre));
            const int n = c.Neighbours;
            Bitmap picture = Grays({{0, n, 0}, {n, c.Centre, n}, {0, n, 0}}, format);
            Sharpen(picture, c.Strength);
            EXPECT_EQ(BluesOf(picture), (std::vector<std::vector<int>>{{0, n, 0}, {n, c.Expected, n}, {0, n, 0}}));
            EXPECT_EQ(picture.Format(), PixelFormat::pf24bit);
        }
}

// The filter straight from its definition, for every inner pixel of a noisy picture: catches a
// neighbour read from the wrong row or from the already written result.
TEST(Sharpen, MatchesTheFivePointFilterAndKeepsTheEdges)
{
    for (const PixelFormat format : kFormats)
        for (const float strength : {2.0f, 2.5f, 4.0f, 5.0f}) {
            SCOPED_TRACE(strength);
            const Bitmap original = Noise(format, 5);
            Bitmap picture = original;
            Sharpen(picture, strength);
            ASSERT_EQ(picture.Format(), PixelFormat::pf24bit);
            const int nw = int(std::nearbyint(double((strength - 1.0f) / 5.0f) * 65536));
            const int cw = int(std::nearbyint(double(strength) * 65536));
            for (int y = 0; y < original.Height(); ++y)
                for (int x = 0; x < original.Width(); ++x) {
                    const bool edge = x == 0 || y == 0 || x == original.Width() - 1 || y == original.Height() - 1;
                    const auto v = [&](int dx, int dy) {
                        const Bgr c = At(original, x + dx, y + dy);
                        return std::vector<int>{c.b, c.g, c.r};
                    };
                    std::vector<int> want = v(0, 0);
                    if (!edge)
                        for (std::size_t c = 0; c < 3; ++c) {
                            const int sum = v(0, -1)[c] + v(-1, 0)[c] + v(0, 0)[c] + v(1, 0)[c] + v(0, 1)[c];
                            const int r = ((cw * v(0, 0)[c] + 32767) >> 16) - ((nw * sum + 32767) >> 16);
                            want[c] = std::clamp(r, 0, 255);
                        }
                    ASSERT_EQ(At(picture, x, y), (Bgr{want[0], want[1], want[2]})) << "at " << x << ", " << y;
                }
        }
}

TEST(Sharpen, LeavesSmallPicturesAndOtherStrengthsAlone)
{
    struct Case {
        std::string Name;
        int Width, Height;
        float Strength;
    };
    const std::vector<Case> cases = {
        {"two rows", 9, 2, 2}, {"two columns", 2, 9, 3}, {"one pixel", 1, 1, 2}, {"empty", 0, 0, 2},
        {"strength 0", 9, 9, 0}, {"strength 1", 9, 9, 1}, {"just below 2", 9, 9, 1.99f},
        {"just above 5", 9, 9, 5.01f}, {"negative", 9, 9, -3}, {"not a number", 9, 9, std::numeric_limits<float>::quiet_NaN()},
    };
    for (const PixelFormat format : kFormats)
        for (const Case &c : cases) {
            SCOPED_TRACE(c.Name);
            const Bitmap original = c.Width > 0 ? Noise(format, 9, c.Width, c.Height) : Bitmap(0, 0, format);
            Bitmap picture = original;
            Sharpen(picture, c.Strength);
            EXPECT_EQ(PixelsOf(picture), PixelsOf(original));
            EXPECT_EQ(picture.Format(), format);
        }
}

// ---- Smooth ----------------------------------------------------------------------------------

TEST(Smooth, SpreadsOneWhitePixelLopsidedlyInPlace)
{
    const std::vector<std::vector<int>> expected = {
        {0, 0, 0, 0, 0, 0, 0},     {0, 0, 0, 0, 0, 0, 0},    {0, 0, 18, 19, 19, 1, 0}, {0, 1, 20, 114, 10, 2, 0},
        {0, 1, 9, 10, 9, 1, 0},    {0, 0, 1, 2, 1, 0, 0},    {0, 0, 1, 2, 1, 0, 0},
    };
    for (const PixelFormat format : kFormats) {
        Bitmap picture = Picture(7, 7, format, [](int x, int y) { return Gray(x == 3 && y == 3 ? 255 : 0); });
        Smooth(picture, 1);
        EXPECT_EQ(BluesOf(picture), expected);
        EXPECT_EQ(picture.Format(), PixelFormat::pf24bit);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(At(picture, x, y), Gray(At(picture, x, y).b)) << "channels differ at " << x << ", " << y;
    }
}

// A 3 x 3 picture with a white centre: one inner pixel, two edge rows that follow it.
TEST(Smooth, CentreWeightAndPassesFollowTheLevel)
{
    struct Case {
        int Level;
        int Centre, Edge;
    };
    const std::vector<Case> cases = {
        {1, 109, 87},     // Trunc(6 * 255 / 14), Round(4 * 109 / 5)
        {0, 119, 95},     // weight 7
        {7, 0, 0},        // weight 0: the centre is the mean of its black neighbours
        {8, 68, 73},      // weight 7 twice: Trunc((95 + 95 + 7 * 119) / 15), Round((4 * 68 + 95) / 5)
        {-300, 248, 198}, // weight 307: Trunc(307 * 255 / 315), beyond the quotient table
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Level);
        Bitmap picture = Grays({{0, 0, 0}, {0, 255, 0}, {0, 0, 0}}, PixelFormat::pf32bit);
        Smooth(picture, c.Level);
        EXPECT_EQ(BluesOf(picture), (std::vector<std::vector<int>>{{0, c.Edge, 0}, {0, c.Centre, 0}, {0, c.Edge, 0}}));
    }
}

TEST(Smooth, LevelsAboveSevenRepeatTheStrongestPass)
{
    for (const int level : {8, 9, 11}) {
        Bitmap once = Noise(PixelFormat::pf24bit, 13);
        Bitmap repeated = once;
        Smooth(once, level);
        for (int pass = 0; pass < level - 6; ++pass)
            Smooth(repeated, 0);
        EXPECT_EQ(PixelsOf(once), PixelsOf(repeated)) << "level " << level;
    }
}

TEST(Smooth, TwoRowsBlendOnlyTheEdgeRowsOneAfterTheOther)
{
    Bitmap picture = Grays({{10, 10, 10, 10}, {200, 200, 200, 200}}, PixelFormat::pf24bit);
    Smooth(picture, 1);
    // Top: Round((4 * 200 + 10) / 5) = 162; bottom from the new top: Round((4 * 162 + 200) / 5) = 170.
    EXPECT_EQ(BluesOf(picture), (std::vector<std::vector<int>>{{10, 162, 162, 10}, {200, 170, 170, 200}}));
}

TEST(Smooth, LeavesPicturesWithoutInnerPixelsAlone)
{
    struct Case {
        std::string Name;
        int Width, Height;
    };
    const std::vector<Case> cases = {{"one row", 9, 1}, {"one pixel", 1, 1}, {"two columns", 2, 9}, {"empty", 0, 0}};
    for (const PixelFormat format : kFormats)
        for (const Case &c : cases) {
            SCOPED_TRACE(c.Name);
            const Bitmap original = c.Width > 0 ? Noise(format, 17, c.Width, c.Height) : Bitmap(0, 0, format);
            Bitmap picture = original;
            Smooth(picture, 1);
            EXPECT_EQ(PixelsOf(picture), PixelsOf(original));
        }
}

TEST(Smooth, KeepsFlatAreasAndTheOuterColumns)
{
    for (const int level : {-300, 0, 1, 7, 8}) {
        Bitmap flat = Picture(6, 5, PixelFormat::pf24bit, [](int, int) { return Bgr{3, 128, 255}; });
        Smooth(flat, level);
        EXPECT_EQ(PixelsOf(flat), std::vector<Bgr>(30, (Bgr{3, 128, 255}))) << "level " << level;
    }
    const Bitmap original = Noise(PixelFormat::pf32bit, 19);
    Bitmap picture = original;
    Smooth(picture, 1);
    for (int y = 0; y < original.Height(); ++y) {
        EXPECT_EQ(At(picture, 0, y), At(original, 0, y));
        EXPECT_EQ(At(picture, original.Width() - 1, y), At(original, original.Width() - 1, y));
    }
}

// ---- Saturate --------------------------------------------------------------------------------

TEST(Saturate, GivesTheStatedValues)
{
    struct Case {
        std::string Name;
        int Value;
        Bgr Before, After;
    };
    const std::vector<Case> cases = {
        {"0 makes gray", 0, {10, 20, 60}, {30, 30, 30}},
        {"200 pushes apart", 200, {10, 20, 60}, {0, 10, 90}},
        {"50 pulls together", 50, {10, 20, 60}, {20, 25, 45}},
        {"computed mean just above 60", 200, {30, 60, 90}, {0, 59, 119}},
        {"computed mean at 150", 150, {30, 60, 90}, {14, 59, 105}},
        {"pure blue clamps back", 200, {255, 0, 0}, {255, 0, 0}},
        {"the sign does not count", -200, {10, 20, 60}, {0, 10, 90}},
        {"100 changes nothing", 100, {10, 20, 60}, {10, 20, 60}},
        {"-100 changes nothing", -100, {10, 20, 60}, {10, 20, 60}},
        {"the factor stops at 50", 9000, {100, 101, 102}, {51, 101, 151}},
        {"5000 is that factor", 5000, {100, 101, 102}, {51, 101, 151}},
        {"gray at 200", 200, Gray(77), Gray(77)},
        {"gray at 0", 0, Gray(1), Gray(1)},
        {"black", 5000, Gray(0), Gray(0)},
        {"white", 5000, Gray(255), Gray(255)},
    };
    for (const PixelFormat format : kFormats)
        for (const Case &c : cases) {
            SCOPED_TRACE(c.Name);
            Bitmap picture = Picture(3, 1, format, [&](int x, int) { return x == 1 ? c.Before : Gray(9); });
            Saturate(picture, c.Value);
            EXPECT_EQ(At(picture, 1, 0), c.After);
            EXPECT_EQ(At(picture, 0, 0), Gray(9));
            EXPECT_EQ(picture.Format(), PixelFormat::pf24bit);
        }
}

// Every colour against the formula as written, in double precision: the whole-number shortcut
// must agree everywhere, also where the computed mean is a hair off (B + G + R) / 3.
TEST(Saturate, AgreesWithTheDoubleFormulaForEveryColour)
{
    Bitmap all = Picture(4096, 4096, PixelFormat::pf24bit,
                         [](int x, int y) { return Bgr{x & 255, y & 255, (x >> 8) | ((y >> 8) << 4)}; });
    for (const int value : {0, 50, 130, 150, 200, 333, 5000}) {
        const double s = std::fabs(value / 100.0);
        Bitmap picture = all;
        Saturate(picture, value);
        for (int y = 0; y < all.Height(); ++y)
            for (int x = 0; x < all.Width(); ++x) {
                const Bgr in = At(all, x, y);
                Bgr want = in;
                if (!(in.b == in.g && in.g == in.r)) {
                    const double q = double(in.b * in.b + in.g * in.g + in.r * in.r);
                    const double m = (255.0 * (in.b + in.g + in.r)) / std::sqrt(q * 195075.0) * std::sqrt(q);
                    const double mean = std::sqrt(m * m / 3.0);
                    const auto channel = [&](int v) { return std::clamp(int(mean + s * (v - mean)), 0, 255); };
                    want = {channel(in.b), channel(in.g), channel(in.r)};
                }
                ASSERT_EQ(At(picture, x, y), want) << "value " << value << ", colour " << in;
            }
    }
}

}  // namespace
