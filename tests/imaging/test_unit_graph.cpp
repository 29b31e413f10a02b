// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Graph.h"

#include "tests/support/TestFiles.h"

#include <cmath>
#include <functional>
#include "tests/support/Pixels.h"

#include <gtest/gtest.h>
#include <random>

using namespace lmk;
using lmktest::At;
using lmktest::Bgr;
using lmktest::Set;

namespace {

Bitmap Picture(int w, int h, PixelFormat f, const std::function<Bgr(int, int)> &colour)
{
    Bitmap p(w, h, f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(p, x, y, colour(x, y));
    return p;
}

Bitmap Noise(int w, int h, PixelFormat f, unsigned seed = 1)
{
    std::mt19937 random(seed);
    return Picture(w, h, f, [&](int, int) { return Bgr{int(random() % 256), int(random() % 256), int(random() % 256)}; });
}

Bitmap Flat(int w, int h, Bgr c, PixelFormat f = PixelFormat::pf24bit)
{
    Bitmap p(w, h, f);
    p.Fill(std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b));
    return p;
}

// A smooth picture whose bicubic interpolation stays within 0 ... 255.
Bitmap Smooth(int w, int h)
{
    return Picture(w, h, PixelFormat::pf24bit, [](int x, int y) {
        const int v = int(128 + 90 * std::sin(x / 5.0) * std::cos(y / 7.0));
        return Bgr{v, 255 - v, v / 2 + 60};
    });
}

double Triangle(double x) { return std::max(0.0, 1.0 - std::fabs(x)); }

double Cubic(double x)
{
    x = std::fabs(x);
    if (x < 1)
        return 1.5 * x * x * x - 2.5 * x * x + 1;
    if (x < 2)
        return -0.5 * x * x * x + 2.5 * x * x - 4 * x + 2;
    return 0;
}

// Output j of `dest` samples over `source` samples, straight from the definition of a
// prefiltered kernel, in double precision.
std::vector<double> Weights(int source, int dest, int j, double (*kernel)(double), double radius)
{
    const double scale = double(source) / dest;
    const double widen = std::max(scale, 1.0);
    const double centre = (j + 0.5) * scale;
    std::vector<double> w(std::size_t(source), 0.0);
    double sum = 0;
    for (int i = 0; i < source; ++i)
        if (std::fabs(i + 0.5 - centre) < radius * widen)
            sum += w[std::size_t(i)] = kernel((i + 0.5 - centre) / widen);
    for (double &v : w)
        v /= sum;
    return w;
}

// The picture scaled to dw x dh in double precision, channel c.
double Reference(const Bitmap &p, int dw, int dh, int x, int y, int c, double (*kernel)(double), double radius)
{
    const std::vector<double> wx = Weights(p.Width(), dw, x, kernel, radius);
    const std::vector<double> wy = Weights(p.Height(), dh, y, kernel, radius);
    double v = 0;
    for (int sy = 0; sy < p.Height(); ++sy)
        for (int sx = 0; sx < p.Width(); ++sx) {
            const Bgr s = At(p, sx, sy);
            v += wx[std::size_t(sx)] * wy[std::size_t(sy)] * (c == 0 ? s.b : c == 1 ? s.g : s.r);
        }
    return v;
}

}  // namespace

TEST(ScaledCopy, FitsTheBoxByTheLongerSide)
{
    struct Case { int w, h, bw, bh, tw, th; };
    const Case cases[] = {
        {100, 50, 240, 270, 100, 50},  // never enlarged
        {480, 300, 240, 270, 240, 150},
        {300, 480, 240, 270, 169, 270},  // Round(168.75)
        {240, 100, 240, 270, 240, 100},  // equal to the box width: scaled (to the same size)
        {1000, 900, 240, 100, 240, 216}, // a wide picture may come out higher than the box
        {6000, 4000, 240, 270, 240, 160},
    };
    for (const Case &c : cases) {
        const Bitmap source = Flat(c.w, c.h, {10, 120, 230});
        Bitmap target;
        ScaledCopy(source, target, c.bw, c.bh);
        EXPECT_EQ(target.Width(), c.tw) << c.w << "x" << c.h;
        EXPECT_EQ(target.Height(), c.th) << c.w << "x" << c.h;
        EXPECT_EQ(target.Format(), PixelFormat::pf24bit);
        EXPECT_EQ(At(target, c.tw - 1, c.th - 1), (Bgr{10, 120, 230}));
    }
}

TEST(ResizeHalftone, SizeRules)
{
    struct Case { int w, h, nw, nh; bool keep; int tw, th; };
    const Case cases[] = {
        {400, 100, 300, 50, true, 200, 50},   // 300 x 75 first, then limited to the height
        {400, 100, 300, 50, false, 300, 50},
        {100, 400, 300, 50, true, 12, 50},    // Trunc(50 * 0.25)
        {300, 300, 80, 60, true, 60, 60},     // square: the height leads
        {640, 480, 240, 289, true, 240, 180},
    };
    for (const Case &c : cases) {
        Bitmap p = Flat(c.w, c.h, {1, 2, 3});
        ResizeHalftone(p, c.nw, c.nh, c.keep);
        EXPECT_EQ(p.Width(), c.tw) << c.w << "x" << c.h << " into " << c.nw << "x" << c.nh;
        EXPECT_EQ(p.Height(), c.th) << c.w << "x" << c.h << " into " << c.nw << "x" << c.nh;
        EXPECT_EQ(p.Format(), PixelFormat::pfDevice);
        EXPECT_EQ(At(p, 0, 0), (Bgr{1, 2, 3}));
    }
    Bitmap empty;
    EXPECT_THROW(ResizeHalftone(empty, 10, 10, true), FloatDivisionByZero);
}

TEST(ResizeHalftone, AveragesBlocks)
{
    Bitmap p = Picture(4, 4, PixelFormat::pf32bit, [](int x, int y) {
        const int v = (x / 2) * 100 + (y / 2) * 40 + (x % 2) * 2 + (y % 2) * 4;
        return Bgr{v, v, v};
    });
    ResizeHalftone(p, 2, 2, false);
    EXPECT_EQ(At(p, 0, 0).g, 3);
    EXPECT_EQ(At(p, 1, 0).g, 103);
    EXPECT_EQ(At(p, 0, 1).g, 43);
    EXPECT_EQ(At(p, 1, 1).g, 143);
}

TEST(ResizeHighQuality, SizeRulesWithProportions)
{
    struct Case { int w, h, bw, bh; bool keep; int tw, th; };
    const Case cases[] = {
        {4000, 3000, 105, 105, true, 105, 78},
        {3000, 4000, 105, 105, true, 78, 105},
        {500, 500, 105, 105, true, 105, 105},
        {640, 480, 300, 200, false, 300, 200},
    };
    for (const Case &c : cases) {
        Bitmap p = Flat(c.w, c.h, {200, 100, 50});
        ResizeHighQuality(p, c.bw, c.bh, c.keep, InterpolationMode::HighQualityBicubic);
        EXPECT_EQ(p.Width(), c.tw) << c.w << "x" << c.h;
        EXPECT_EQ(p.Height(), c.th) << c.w << "x" << c.h;
        EXPECT_EQ(p.Format(), PixelFormat::pf32bit);
    }
    Bitmap empty;
    EXPECT_THROW(ResizeHighQuality(empty, 105, 105, true, InterpolationMode::HighQualityBicubic), FloatDivisionByZero);
    Bitmap small = Flat(4, 4, {0, 0, 0});
    EXPECT_THROW(ResizeHighQuality(small, 100000, 100000, false, InterpolationMode::HighQuality), PictureTooLarge);
    EXPECT_EQ(small.Width(), 4) << "a refused size leaves the picture as it was";
}

TEST(ResizeHighQuality, FlatStaysFlatInEveryModeAndDirection)
{
    const InterpolationMode modes[] = {InterpolationMode::HighQuality, InterpolationMode::HighQualityBilinear,
                                       InterpolationMode::HighQualityBicubic};
    struct Size { int w, h, tw, th; };
    const Size sizes[] = {{301, 203, 105, 70}, {40, 30, 173, 97}, {64, 64, 64, 64}, {999, 3, 10, 1}};
    for (InterpolationMode mode : modes)
        for (const Size &s : sizes) {
            Bitmap p = Flat(s.w, s.h, {17, 128, 251}, PixelFormat::pf32bit);
            ResizeHighQuality(p, s.tw, s.th, false, mode);
            for (int y = 0; y < s.th; ++y)
                for (int x = 0; x < s.tw; ++x)
                    ASSERT_EQ(At(p, x, y), (Bgr{17, 128, 251})) << int(mode) << " " << s.w << "->" << s.tw;
        }
}

TEST(ResizeHighQuality, TheOuterRingFallsOutside)
{
    // Resizing W x H to (W - 2) x (H - 2) scales to W x H, which copies, and cuts off the ring:
    // the result is exactly the inner picture.
    for (InterpolationMode mode : {InterpolationMode::HighQualityBilinear, InterpolationMode::HighQualityBicubic}) {
        const Bitmap source = Noise(50, 31, PixelFormat::pf24bit);
        Bitmap p = source;
        ResizeHighQuality(p, 48, 29, false, mode);
        for (int y = 0; y < 29; ++y)
            for (int x = 0; x < 48; ++x)
                ASSERT_EQ(At(p, x, y), At(source, x + 1, y + 1)) << x << "," << y;
    }
}

TEST(ResizeHighQuality, MatchesThePrefilteredKernelOnTheWiderGrid)
{
    struct Case { InterpolationMode mode; int w, h, tw, th; };
    const Case cases[] = {
        {InterpolationMode::HighQualityBicubic, 37, 23, 11, 7},
        {InterpolationMode::HighQualityBicubic, 9, 7, 20, 15},
        {InterpolationMode::HighQualityBilinear, 37, 23, 11, 7},
        {InterpolationMode::HighQuality, 12, 40, 30, 9},
    };
    for (const Case &c : cases) {
        const Bitmap source = Smooth(c.w, c.h);
        Bitmap p = source;
        ResizeHighQuality(p, c.tw, c.th, false, c.mode);
        const bool cubic = c.mode == InterpolationMode::HighQualityBicubic;
        for (int y = 0; y < c.th; ++y)
            for (int x = 0; x < c.tw; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    // Output (x, y) is output (x + 1, y + 1) of the (w + 2) x (h + 2) scaling.
                    const double expected = Reference(source, c.tw + 2, c.th + 2, x + 1, y + 1, ch,
                                                      cubic ? Cubic : Triangle, cubic ? 2.0 : 1.0);
                    const Bgr got = At(p, x, y);
                    const int v = ch == 0 ? got.b : ch == 1 ? got.g : got.r;
                    ASSERT_NEAR(v, expected, 1.0) << c.w << "->" << c.tw << " at " << x << "," << y;
                }
    }
}

TEST(ResizeHighQuality, ShrinkingARampIsSmooth)
{
    const Bitmap ramp = Picture(600, 40, PixelFormat::pf24bit, [](int x, int) {
        const int v = x * 255 / 599;
        return Bgr{v, v, v};
    });
    for (InterpolationMode mode : {InterpolationMode::HighQualityBilinear, InterpolationMode::HighQualityBicubic}) {
        Bitmap p = ramp;
        ResizeHighQuality(p, 50, 4, false, mode);
        for (int x = 2; x < 49; ++x) {  // the outermost outputs lean on the clipped kernel
            const int step = At(p, x, 2).g - At(p, x - 1, 2).g;
            EXPECT_GE(step, 3) << x;
            EXPECT_LE(step, 7) << x;
        }
    }
}

TEST(BlendBitmaps, WeightsTheTwoPicturesOverTheCommonArea)
{
    struct Case { int weight, a, b, expected; };
    const Case cases[] = {{128, 255, 0, 128}, {255, 77, 200, 77}, {0, 77, 200, 200}, {100, 10, 250, 155}};
    for (const Case &c : cases) {
        Bitmap a = Flat(4, 3, {c.a, c.a, c.a}, PixelFormat::pf32bit);
        Bitmap b = Flat(2, 5, {c.b, c.b, c.b});
        Bitmap &result = BlendBitmaps(a, b, c.weight);
        EXPECT_EQ(&result, &a);
        EXPECT_EQ(a.Format(), PixelFormat::pf24bit);
        EXPECT_EQ(At(a, 1, 2), (Bgr{c.expected, c.expected, c.expected})) << c.weight;
        EXPECT_EQ(At(a, 2, 0), (Bgr{c.a, c.a, c.a})) << "outside the common area";
    }
}

TEST(Brighten, AddsTheScaledOffsetClamped)
{
    struct Case { int amount, value, expected; };
    const Case cases[] = {{-40, 40, 0}, {-40, 200, 149}, {10, 100, 112}, {10, 250, 255}, {0, 77, 77}, {-1, 50, 49}};
    for (const Case &c : cases) {
        Bitmap p = Flat(3, 2, {c.value, c.value, c.value}, PixelFormat::pf32bit);
        Brighten(p, c.amount);
        EXPECT_EQ(p.Format(), PixelFormat::pf24bit);
        EXPECT_EQ(At(p, 2, 1), (Bgr{c.expected, c.expected, c.expected})) << c.amount << " " << c.value;
    }
}

TEST(RotateFlip, EveryKindIsItsPixelPermutation)
{
    using Source = std::function<QPoint(int x, int y, int w, int h)>;  // old pixel of new (x, y)
    struct Kind { int kind; bool swaps; Source from; };
    const Kind kinds[] = {
        {0, true, [](int x, int y, int, int h) { return QPoint(y, h - 1 - x); }},
        {1, true, [](int x, int y, int w, int) { return QPoint(w - 1 - y, x); }},
        {2, false, [](int x, int y, int w, int) { return QPoint(w - 1 - x, y); }},
        {3, false, [](int x, int y, int, int h) { return QPoint(x, h - 1 - y); }},
    };
    const QSize sizes[] = {{4, 2}, {1, 1}, {130, 67}, {65, 1}};
    for (const Kind &k : kinds)
        for (const QSize &s : sizes)
            for (PixelFormat f : {PixelFormat::pf24bit, PixelFormat::pf32bit}) {
                const Bitmap source = Noise(s.width(), s.height(), f, unsigned(s.width()));
                Bitmap p = source;
                RotateFlip(p, k.kind);
                EXPECT_EQ(p.Format(), PixelFormat::pf32bit);
                ASSERT_EQ(p.Width(), k.swaps ? s.height() : s.width());
                ASSERT_EQ(p.Height(), k.swaps ? s.width() : s.height());
                for (int y = 0; y < p.Height(); ++y)
                    for (int x = 0; x < p.Width(); ++x) {
                        const QPoint o = k.from(x, y, s.width(), s.height());
                        ASSERT_EQ(At(p, x, y), At(source, o.x(), o.y())) << k.kind << " " << x << "," << y;
                    }
            }
}

TEST(RotateFlip, TurningRightPutsTheTopLeftCornerTopRightAndLeftTurnsBack)
{
    const Bitmap source = Noise(4, 2, PixelFormat::pf32bit);
    Bitmap p = source;
    RotateFlip(p, 0);
    EXPECT_EQ(p.Width(), 2);
    EXPECT_EQ(p.Height(), 4);
    EXPECT_EQ(At(p, 1, 0), At(source, 0, 0));
    RotateFlip(p, 1);
    ASSERT_EQ(p.Width(), 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(p, x, y), At(source, x, y));
    EXPECT_THROW(RotateFlip(p, 4), std::invalid_argument);
}

TEST(LoadPictureFile, ReadsWhatQtReadsAndGivesEmptyForTheRest)
{
    lmktest::TempFolder folder;
    const QString gif = folder.Path(QStringLiteral("bild.gif"));
    int exitCode = -1;
    lmktest::RunTool(QStringLiteral("convert"), {QStringLiteral("-size"), QStringLiteral("3x2"),
                                                 QStringLiteral("xc:#FF8000"), gif}, &exitCode);
    ASSERT_EQ(exitCode, 0) << "ImageMagick is needed to make the fixture";
    Bitmap p;
    EXPECT_TRUE(LoadPictureFile(gif, p));
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Height(), 2);
    EXPECT_EQ(p.Format(), PixelFormat::pf32bit);
    EXPECT_EQ(At(p, 2, 1), (Bgr{0, 128, 255}));

    folder.Write(QStringLiteral("kaputt.gif"), QByteArray("GIF89a\x01\x00garbage", 15));
    for (const QString &name : {folder.Path(QStringLiteral("kaputt.gif")), folder.Path(QStringLiteral("fehlt.png"))}) {
        Bitmap q = Flat(5, 5, {1, 1, 1});
        EXPECT_TRUE(LoadPictureFile(name, q));
        EXPECT_TRUE(q.Empty()) << name.toStdString();
    }
}

TEST(FitControlHeight, SetsTheWidthFromTheProportion)
{
    struct Control {
        int w = 0, h = 0;
        void resize(int width, int height) { w = width, h = height; }
    } control;
    FitControlHeight(control, 4, 3, 100);
    EXPECT_EQ(control.w, 133);
    EXPECT_EQ(control.h, 100);
    FitControlHeight(control, 3000, 4000, 601);
    EXPECT_EQ(control.w, 450);  // Trunc(450.75)
    EXPECT_THROW(FitControlHeight(control, 1, 0, 10), FloatDivisionByZero);
}
