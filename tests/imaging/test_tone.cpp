// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Tone.h"

#include "imaging/Canvas.h"
#include "tests/support/Pixels.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace lmk;
using lmktest::At;
using lmktest::Bgr;
using lmktest::Set;

namespace {

constexpr PixelFormat kFormats[] = {PixelFormat::pf24bit, PixelFormat::pf32bit};

// One row holding the given pixels.
Bitmap Row(const std::vector<Bgr> &pixels, PixelFormat format)
{
    Bitmap p(int(pixels.size()), 1, format);
    for (std::size_t x = 0; x < pixels.size(); ++x)
        Set(p, int(x), 0, pixels[x]);
    return p;
}

std::vector<Bgr> PixelsOf(const Bitmap &p)
{
    std::vector<Bgr> pixels;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            pixels.push_back(At(p, x, y));
    return pixels;
}

// Odd width, so that 24-bit rows carry padding bytes.
Bitmap Noise(PixelFormat format, unsigned seed)
{
    std::mt19937 random(seed);
    Bitmap p(37, 23, format);
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            Set(p, x, y, {int(random() % 256), int(random() % 256), int(random() % 256)});
    return p;
}

Bgr Gray(int v) { return {v, v, v}; }

struct PixelCase {
    std::string Name;
    std::function<void(Bitmap &)> Operation;
    Bgr Before, After;
};

TEST(Tone, PointOperationsGiveTheStatedValues)
{
    const auto sepia = [](int amount) { return [amount](Bitmap &b) { Sepia(b, amount); }; };
    const auto colorize = [](QColor tint) { return [tint](Bitmap &b) { Colorize(b, tint); }; };
    const QColor orange(255, 128, 0);
    const std::vector<PixelCase> cases = {
        {"gray of pure red", Grayscale, {0, 0, 255}, Gray(85)},
        {"gray is the plain mean, truncated", Grayscale, {1, 1, 2}, Gray(1)},
        {"gray of white does not overflow", Grayscale, Gray(255), Gray(255)},
        {"gray of mixed", Grayscale, {10, 20, 31}, Gray(20)},
        {"sepia of white", sepia(kSepiaAmount), Gray(255), Gray(255)},
        {"sepia of black", sepia(kSepiaAmount), Gray(0), {0, 10, 27}},
        {"sepia of mid gray", sepia(kSepiaAmount), Gray(128), {128, 138, 155}},
        {"sepia limits at 255", sepia(kSepiaAmount), Gray(240), {240, 250, 255}},
        {"sepia of pure red uses the mean", sepia(kSepiaAmount), {0, 0, 255}, {85, 95, 112}},
        {"sepia of amount 100", sepia(100), Gray(0), {0, 17, 44}},
        {"sepia of amount 0 is gray", sepia(0), {10, 20, 31}, Gray(20)},
        {"negative sepia stays at 0", sepia(-60), Gray(5), {5, 0, 0}},
        {"colorize white", colorize(orange), Gray(255), {0, 128, 255}},
        {"colorize light gray", colorize(orange), Gray(200), {0, 100, 200}},
        {"colorize with white keeps", colorize(Qt::white), {17, 99, 203}, {17, 99, 203}},
        {"colorize with black", colorize(Qt::black), {17, 99, 203}, Gray(0)},
        {"colorize truncates", colorize(QColor(1, 2, 254)), Gray(254), {253, 1, 0}},
        {"invert", InvertColors, {0, 100, 255}, {255, 155, 0}},
    };
    for (const PixelFormat format : kFormats)
        for (const PixelCase &c : cases) {
            SCOPED_TRACE(c.Name + (format == PixelFormat::pf24bit ? " (24 bits)" : " (32 bits)"));
            // Neighbours with other values show that every pixel is worked on by its own value.
            Bitmap picture = Row({Gray(0), c.Before, Gray(0), c.Before}, format);
            Bitmap black = Row({Gray(0)}, format);
            c.Operation(picture);
            c.Operation(black);
            EXPECT_EQ(At(picture, 1, 0), c.After);
            EXPECT_EQ(At(picture, 3, 0), c.After);
            EXPECT_EQ(At(picture, 0, 0), At(black, 0, 0));
            EXPECT_EQ(picture.Width(), 4);
            EXPECT_EQ(picture.Height(), 1);
        }
}

// Every operation against its formula written out per pixel, on noisy pictures wide enough that
// rows are worked on in blocks of pixels with a remainder, in each format the program hands in.
TEST(Tone, EveryPixelFollowsTheFormula)
{
    using PerPixel = std::function<Bgr(Bgr)>;
    struct FormulaCase {
        std::string Name;
        std::function<void(Bitmap &)> Operation;
        std::function<PerPixel(const Bitmap &)> Formula;  // given the picture before the operation
    };
    const auto constant = [](PerPixel f) { return [f](const Bitmap &) { return f; }; };
    const auto mean = [](Bgr c) { return (c.b + c.g + c.r) / 3; };
    const auto sepia = [&](int amount) {
        const int greenAdd = int(std::nearbyint(amount * 0.167)), redAdd = int(std::nearbyint(amount * 0.444));
        return FormulaCase{"sepia " + std::to_string(amount), [amount](Bitmap &b) { Sepia(b, amount); },
                           constant([=](Bgr c) {
                               const int g = mean(c);
                               return Bgr{g, std::clamp(g + greenAdd, 0, 255), std::clamp(g + redAdd, 0, 255)};
                           })};
    };
    const auto colorize = [](int r, int g, int b) {
        return FormulaCase{"colorize", [=](Bitmap &p) { Colorize(p, QColor(r, g, b)); },
                           [=](const Bitmap &) { return PerPixel([=](Bgr c) { return Bgr{b * c.b / 255, g * c.g / 255, r * c.r / 255}; }); }};
    };
    TColorAdjustment adjustment;
    adjustment.Brightness = -20;
    adjustment.Contrast = 10;
    const std::vector<FormulaCase> cases = {
        {"grayscale", Grayscale, constant([&](Bgr c) { return Gray(mean(c)); })},
        sepia(kSepiaAmount),
        sepia(-60),
        sepia(1000),
        {"invert", InvertColors, constant([](Bgr c) { return Bgr{255 - c.b, 255 - c.g, 255 - c.r}; })},
        colorize(255, 128, 0),
        colorize(1, 2, 254),
        colorize(77, 201, 139),
        {"auto levels", [](Bitmap &b) { ASSERT_TRUE(AutoLevels(b)); },
         [](const Bitmap &before) {
             std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
             for (const Bgr &c : PixelsOf(before))
                 for (const auto &[i, v] : {std::pair{0, c.b}, std::pair{1, c.g}, std::pair{2, c.r}}) {
                     low[i] = std::min(low[i], v);
                     high[i] = std::max(high[i], v);
                 }
             return PerPixel([=](Bgr c) {
                 const auto stretch = [&](int i, int v) { return int((v - low[i]) * (255.0 / (high[i] - low[i]))); };
                 return Bgr{stretch(0, c.b), stretch(1, c.g), stretch(2, c.r)};
             });
         }},
        {"auto adjust", AutoAdjust, constant([=](Bgr c) {
             return Bgr{TransferValue(adjustment, 10000, c.b), TransferValue(adjustment, 10000, c.g),
                        TransferValue(adjustment, 10000, c.r)};
         })},
    };
    for (const PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf32bit, PixelFormat::pfDevice})
        for (const FormulaCase &c : cases)
            for (const int width : {53, 8, 5}) {
                SCOPED_TRACE(c.Name + ", width " + std::to_string(width) + ", " + std::to_string(Bitmap::BytesPerPixelOf(format)) + " bytes");
                std::mt19937 random{unsigned(width)};
                Bitmap picture(width, 7, format);
                for (int y = 0; y < picture.Height(); ++y) {
                    std::uint8_t *row = picture.ScanLine(y);
                    for (int i = 0; i < width * picture.BytesPerPixel(); ++i)
                        row[i] = std::uint8_t(random());  // fourth bytes too
                }
                const Bitmap before = picture;
                const PerPixel formula = c.Formula(before);
                c.Operation(picture);
                for (int y = 0; y < picture.Height(); ++y)
                    for (int x = 0; x < width; ++x) {
                        ASSERT_EQ(At(picture, x, y), formula(At(before, x, y))) << "at " << x << ", " << y;
                        if (picture.BytesPerPixel() == 4 && c.Name != "invert") {
                            // Kept where the operation works on 32 bits in place, else opaque.
                            const bool kept = c.Name == "auto adjust" && before.BytesPerPixel() == 4;
                            ASSERT_EQ(picture.ScanLine(y)[4 * x + 3], kept ? before.ScanLine(y)[4 * x + 3] : 255)
                                << "fourth byte at " << x << ", " << y;
                        }
                    }
            }
}

TEST(Tone, OperationsEndInTheirWorkingFormat)
{
    struct FormatCase {
        std::string Name;
        std::function<void(Bitmap &)> Operation;
        std::optional<PixelFormat> Result;  // none: the picture keeps its format
    };
    const std::vector<FormatCase> cases = {
        {"grayscale", Grayscale, PixelFormat::pf24bit},
        {"sepia", [](Bitmap &b) { Sepia(b, kSepiaAmount); }, std::nullopt},
        {"invert", InvertColors, PixelFormat::pf32bit},
        {"colorize", [](Bitmap &b) { Colorize(b, Qt::red); }, PixelFormat::pf24bit},
        {"auto levels", [](Bitmap &b) { AutoLevels(b); }, PixelFormat::pf24bit},
        {"auto adjust", AutoAdjust, PixelFormat::pf32bit},
    };
    for (const FormatCase &c : cases)
        for (const PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf32bit, PixelFormat::pfDevice}) {
            SCOPED_TRACE(c.Name);
            Bitmap picture = Noise(format, 3);
            c.Operation(picture);
            EXPECT_EQ(picture.Format(), c.Result.value_or(format));
            EXPECT_EQ(picture.Width(), 37);
            EXPECT_EQ(picture.Height(), 23);
            Bitmap empty(0, 0, format);
            c.Operation(empty);
            EXPECT_TRUE(empty.Empty());
        }
}

TEST(Tone, InvertTwiceRestoresThePicture)
{
    for (const PixelFormat format : kFormats) {
        const Bitmap original = Noise(format, 7);
        Bitmap picture = original;
        InvertColors(picture);
        EXPECT_EQ(At(picture, 5, 9), (Bgr{255 - At(original, 5, 9).b, 255 - At(original, 5, 9).g,
                                          255 - At(original, 5, 9).r}));
        InvertColors(picture);
        EXPECT_EQ(PixelsOf(picture), PixelsOf(original));
    }
}

TEST(Tone, InvertComplementsTheFourthByteToo)
{
    Bitmap picture(2, 1, PixelFormat::pf32bit);
    std::uint8_t *p = picture.ScanLine(0);
    const std::uint8_t before[8] = {1, 2, 3, 4, 250, 251, 252, 0};
    std::copy(std::begin(before), std::end(before), p);
    InvertColors(picture);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p[i], 255 - before[i]) << "byte " << i;
}

TEST(Tone, AutoLevelsStretchesEachChannelOnItsOwn)
{
    for (const PixelFormat format : kFormats) {
        // Blue spans 40 ... 80, green 0 ... 25, red 10 ... 20.
        Bitmap picture = Row({{40, 0, 10}, {60, 25, 15}, {80, 12, 20}}, format);
        ASSERT_TRUE(AutoLevels(picture));
        EXPECT_EQ(At(picture, 0, 0), (Bgr{0, 0, 0}));
        EXPECT_EQ(At(picture, 1, 0), (Bgr{127, 254, 127}));  // Trunc(20 * 6.375), 25 * 10.2 below 255
        EXPECT_EQ(At(picture, 2, 0), (Bgr{255, 122, 255}));  // Trunc(12 * 10.2)
    }
}

TEST(Tone, AutoLevelsMapsTheTopOfSomeSpansTo254)
{
    // The spans d for which d * (255.0 / d) falls just below 255 in double precision.
    const std::vector<int> below = {25,  29,  50,  53,  58,  91,  93,  100, 103, 105, 106,
                                    116, 117, 121, 182, 185, 186, 187, 191, 200, 203, 206,
                                    207, 210, 212, 217, 221, 232, 233, 234, 235, 242};
    for (int span = 1; span <= 255; ++span) {
        const int low = (span * 7) % (256 - span);  // the top depends on the span only
        Bitmap picture = Row({Gray(low), Gray(low + span)}, PixelFormat::pf24bit);
        ASSERT_TRUE(AutoLevels(picture)) << "span " << span;
        const int top = std::ranges::count(below, span) ? 254 : 255;
        EXPECT_EQ(At(picture, 1, 0), Gray(top)) << "span " << span << " from " << low;
        EXPECT_EQ(At(picture, 0, 0), Gray(0)) << "span " << span;
    }
}

TEST(Tone, AutoLevelsLeavesAFullRangeAlone)
{
    for (const PixelFormat format : kFormats) {
        Bitmap picture = Noise(format, 11);
        Set(picture, 0, 0, Gray(0));
        Set(picture, 1, 0, Gray(255));
        const std::vector<Bgr> before = PixelsOf(picture);
        EXPECT_TRUE(AutoLevels(picture));
        EXPECT_EQ(PixelsOf(picture), before);
    }
}

TEST(Tone, AutoLevelsRefusesAFlatChannel)
{
    struct FlatCase {
        std::string Name;
        std::vector<Bgr> Pixels;
    };
    const std::vector<FlatCase> cases = {
        {"one colour", {{30, 60, 90}, {30, 60, 90}}},
        {"no blue", {{0, 10, 20}, {0, 200, 100}, {0, 50, 250}}},
        {"flat green", {{0, 7, 20}, {255, 7, 100}}},
        {"flat red only", {{3, 10, 99}, {200, 100, 99}}},
        {"single pixel", {{1, 2, 3}}},
    };
    for (const PixelFormat format : kFormats)
        for (const FlatCase &c : cases) {
            SCOPED_TRACE(c.Name);
            Bitmap picture = Row(c.Pixels, format);
            EXPECT_FALSE(AutoLevels(picture));
            EXPECT_EQ(PixelsOf(picture), c.Pixels);
        }
}

TEST(Tone, AutoAdjustDarkensAndStrengthensContrastThroughTheAdjustment)
{
    TColorAdjustment expected;
    expected.Brightness = -20;
    expected.Contrast = 10;
    for (const PixelFormat format : kFormats) {
        // Every value once in each channel, in a different order per channel and row.
        Bitmap picture(256, 2, format);
        for (int x = 0; x < 256; ++x) {
            Set(picture, x, 0, {x, 255 - x, (x * 7) % 256});
            Set(picture, x, 1, {(x * 7) % 256, x, 255 - x});
        }
        const Bitmap before = picture;
        AutoAdjust(picture);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 256; ++x) {
                const Bgr in = At(before, x, y);
                const Bgr want{TransferValue(expected, 10000, in.b), TransferValue(expected, 10000, in.g),
                               TransferValue(expected, 10000, in.r)};
                ASSERT_EQ(At(picture, x, y), want) << "at " << x << ", " << y;
            }
        // What the user sees: mid gray gets darker, light and dark grays move further apart.
        EXPECT_LT(At(picture, 128, 0).b, 128);
        EXPECT_GT(At(picture, 200, 0).b - At(picture, 60, 0).b, 200 - 60);
    }
}

}  // namespace
