// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Canvas.h"
#include "imaging/Unit_Graph.h"
#include "tests/support/Pixels.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>
#include <random>

using namespace lmk;
using lmktest::At;
using lmktest::Bgr;
using lmktest::Set;

namespace {

Bitmap Noise(int w, int h, PixelFormat f, unsigned seed = 1)
{
    Bitmap p(w, h, f);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(p, x, y, {int(random() % 256), int(random() % 256), int(random() % 256)});
    return p;
}

bool SamePixels(const Bitmap &a, const Bitmap &b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (!(At(a, x, y) == At(b, x, y)))
                return false;
    return true;
}

// Grey picture of one row per value list.
Bitmap GreyRows(std::initializer_list<std::initializer_list<int>> rows)
{
    Bitmap p(int(rows.begin()->size()), int(rows.size()), PixelFormat::pf24bit);
    int y = 0;
    for (const auto &row : rows) {
        int x = 0;
        for (int v : row)
            Set(p, x++, y, {v, v, v});
        ++y;
    }
    return p;
}

int Dark(const Bitmap &p, const QRect &r)  // pixels clearly darker than the white background
{
    int n = 0;
    for (int y = r.y(); y < r.y() + r.height(); ++y)
        for (int x = r.x(); x < r.x() + r.width(); ++x)
            n += At(p, x, y).g < 128;
    return n;
}

QRect DarkBounds(const Bitmap &p)
{
    QRect box;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (At(p, x, y).g < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

Bitmap White(int w, int h, PixelFormat f = PixelFormat::pf32bit)
{
    Bitmap p(w, h, f);
    p.Fill(255, 255, 255);
    return p;
}

}  // namespace

TEST(ColorAdjustment, NeutralRecordIsTheIdentityOnEveryValue)
{
    const TColorAdjustment neutral;
    EXPECT_TRUE(neutral.IsNeutral());
    Bitmap p(256, 3, PixelFormat::pf32bit);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(TransferValue(neutral, 10000, v), v);
        Set(p, v, 0, {v, v, v});
        Set(p, v, 1, {v, 255 - v, (v * 7) % 256});
        Set(p, v, 2, {(v * 13) % 256, v, 255 - v});
    }
    const Bitmap before = p;
    Canvas canvas(p);
    canvas.Stretch = StretchMode::Halftone;
    canvas.SetColorAdjustment(neutral);
    canvas.CopyRect(QRect(0, 0, 256, 3), canvas, QRect(0, 0, 256, 3));
    EXPECT_TRUE(SamePixels(p, before));
}

TEST(ColorAdjustment, GammaFollowsThePowerLaw)
{
    for (const int gamma : {2500, 5000, 8000, 12500, 17500}) {
        TColorAdjustment a;
        a.RedGamma = std::uint16_t(gamma);
        for (int v = 0; v < 256; ++v) {
            const int expected = int(std::nearbyint(255.0 * std::pow(v / 255.0, 10000.0 / gamma)));
            EXPECT_EQ(TransferValue(a, a.RedGamma, v), expected) << gamma << " " << v;
        }
    }
    // Through the canvas only the red channel follows the red gamma.
    Bitmap p = GreyRows({{0, 64, 128, 192, 255}});
    Canvas canvas(p);
    canvas.Stretch = StretchMode::Halftone;
    TColorAdjustment a;
    a.RedGamma = 5000;
    canvas.SetColorAdjustment(a);
    canvas.StretchDraw(QRect(0, 0, 5, 1), p);
    const int values[] = {0, 64, 128, 192, 255};
    for (int x = 0; x < 5; ++x) {
        const int v = values[x];
        EXPECT_EQ(At(p, x, 0), (Bgr{v, v, TransferValue(a, 5000, v)})) << x;
    }
    EXPECT_EQ(At(p, 2, 0).r, int(std::nearbyint(255.0 * std::pow(128 / 255.0, 2.0))));
}

TEST(ColorAdjustment, BrightnessAndContrastActAboutTheMiddle)
{
    struct Case { int brightness, contrast; };
    const Case cases[] = {{-100, 0}, {-20, 10}, {0, -100}, {0, -50}, {0, 50}, {0, 100}, {40, 0}, {100, 100}};
    for (const Case &c : cases) {
        TColorAdjustment a;
        a.Brightness = std::int16_t(c.brightness);
        a.Contrast = std::int16_t(c.contrast);
        int previous = -1;
        for (int v = 0; v < 256; ++v) {
            const int out = TransferValue(a, 10000, v);
            EXPECT_GE(out, previous) << "curves never fall, at " << v;
            previous = out;
            if (c.contrast == 0 && c.brightness > 0) {
                EXPECT_GE(out, v);
            }
            if (c.contrast == 0 && c.brightness < 0) {
                EXPECT_LE(out, v);
            }
            if (c.brightness == 0 && c.contrast > 0) {
                EXPECT_TRUE(v < 128 ? out <= v : out >= v) << v;
            }
            if (c.brightness == 0 && c.contrast < 0) {
                EXPECT_TRUE(v < 128 ? out >= v : out <= v) << v;
            }
        }
    }
    TColorAdjustment brighter;
    brighter.Brightness = 10;
    EXPECT_GT(TransferValue(brighter, 10000, 100), 100);
    TColorAdjustment stronger;
    stronger.Contrast = 10;
    EXPECT_LT(TransferValue(stronger, 10000, 60), 60);
    EXPECT_GT(TransferValue(stronger, 10000, 200), 200);
    EXPECT_EQ(TransferValue(stronger, 10000, 128), 128);
}

TEST(ColorAdjustment, RefusesRecordsOutsideTheRanges)
{
    Bitmap p = White(2, 2);
    Canvas canvas(p);
    TColorAdjustment good;
    good.Brightness = -20;
    canvas.SetColorAdjustment(good);
    const auto bad = [](auto change) {
        TColorAdjustment a;
        change(a);
        return a;
    };
    const TColorAdjustment refused[] = {
        bad([](TColorAdjustment &a) { a.Size = 23; }),
        bad([](TColorAdjustment &a) { a.RedGamma = 0; }),
        bad([](TColorAdjustment &a) { a.BlueGamma = 2499; }),
        bad([](TColorAdjustment &a) { a.Contrast = 101; }),
        bad([](TColorAdjustment &a) { a.Brightness = -101; }),
        bad([](TColorAdjustment &a) { a.ReferenceWhite = 5999; }),
        bad([](TColorAdjustment &a) { a.ReferenceBlack = 4001; }),
        bad([](TColorAdjustment &a) { a.Flags = 1; }),
    };
    for (const TColorAdjustment &a : refused) {
        EXPECT_THROW(canvas.SetColorAdjustment(a), std::invalid_argument);
        EXPECT_EQ(canvas.ColorAdjustment(), good);
    }
}

TEST(ColorAdjustment, InPlaceEqualsCopyAndDownscaleMapsTheAverages)
{
    TColorAdjustment a;
    a.Brightness = -20;
    a.Contrast = 10;
    a.GreenGamma = 14000;
    Bitmap inPlace = Noise(31, 17, PixelFormat::pf32bit);
    Bitmap target(31, 17, PixelFormat::pf32bit);
    Canvas copyCanvas(target);
    copyCanvas.Stretch = StretchMode::Halftone;
    copyCanvas.SetColorAdjustment(a);
    copyCanvas.StretchDraw(QRect(0, 0, 31, 17), inPlace);
    Canvas own(inPlace);
    own.Stretch = StretchMode::Halftone;
    own.SetColorAdjustment(a);
    own.StretchDraw(QRect(0, 0, 31, 17), inPlace);
    EXPECT_TRUE(SamePixels(inPlace, target));

    // 2 x 2 blocks of one grey each: the average is exact, then it goes through the curve.
    Bitmap blocks = GreyRows({{10, 10, 200, 200}, {10, 10, 200, 200}});
    Bitmap small(2, 1, PixelFormat::pf24bit);
    Canvas s(small);
    s.Stretch = StretchMode::Halftone;
    s.SetColorAdjustment(a);
    s.StretchDraw(QRect(0, 0, 2, 1), blocks);
    EXPECT_EQ(At(small, 0, 0).b, TransferValue(a, 10000, 10));
    EXPECT_EQ(At(small, 1, 0).g, TransferValue(a, 14000, 200));
}

TEST(HalftoneStretch, EachPixelIsTheAreaWeightedMean)
{
    struct Case {
        Bitmap source;
        int w, h;
        Bitmap expected;
    };
    const Case cases[] = {
        // 4 x 4 -> 2 x 2: plain means of 2 x 2 blocks
        {GreyRows({{0, 4, 100, 104}, {8, 12, 108, 112}, {40, 40, 255, 255}, {60, 60, 255, 251}}), 2, 2,
         GreyRows({{6, 106}, {50, 254}})},
        // 3 -> 2: each output covers one and a half source pixels (weights 2/3 and 1/3)
        {GreyRows({{0, 90, 180}}), 2, 1, GreyRows({{30, 150}})},
        {GreyRows({{0}, {90}, {180}}), 1, 2, GreyRows({{30}, {150}})},
        // 2 -> 3: enlarging averages where an output straddles two sources
        {GreyRows({{0, 150}}), 3, 1, GreyRows({{0, 75, 150}})},
    };
    for (const Case &c : cases) {
        Bitmap target(c.w, c.h, PixelFormat::pf24bit);
        Canvas canvas(target);
        canvas.Stretch = StretchMode::Halftone;
        canvas.StretchDraw(QRect(0, 0, c.w, c.h), c.source);
        EXPECT_TRUE(SamePixels(target, c.expected)) << c.source.Width() << "x" << c.source.Height();
    }
}

TEST(HalftoneStretch, EqualSizesCopyExactlyInEveryFormat)
{
    for (PixelFormat from : {PixelFormat::pf24bit, PixelFormat::pf32bit})
        for (PixelFormat to : {PixelFormat::pf24bit, PixelFormat::pf32bit, PixelFormat::pfDevice}) {
            const Bitmap source = Noise(53, 29, from);
            Bitmap target(53, 29, to);
            Canvas canvas(target);
            canvas.Stretch = StretchMode::Halftone;
            canvas.StretchDraw(QRect(0, 0, 53, 29), source);
            EXPECT_TRUE(SamePixels(source, target));
            if (target.BytesPerPixel() == 4) {
                EXPECT_EQ(target.ScanLine(28)[52 * 4 + 3], 255);
            }
        }
}

TEST(HalftoneStretch, ClippedPartMatchesTheWholeStretch)
{
    const Bitmap source = Noise(90, 70, PixelFormat::pf24bit);
    Bitmap whole(40, 30, PixelFormat::pf24bit);
    Canvas w(whole);
    w.Stretch = StretchMode::Halftone;
    w.StretchDraw(QRect(0, 0, 40, 30), source);

    // The same stretch placed at (-7, -5) on a smaller picture, clipped further to a band.
    Bitmap part = White(20, 20, PixelFormat::pf24bit);
    Canvas p(part);
    p.Stretch = StretchMode::Halftone;
    p.SetClipRect(QRect(0, 3, 20, 10));
    p.StretchDraw(QRect(-7, -5, 40, 30), source);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const Bgr expected = (y >= 3 && y < 13) ? At(whole, x + 7, y + 5) : Bgr{255, 255, 255};
            ASSERT_EQ(At(part, x, y), expected) << x << "," << y;
        }
}

TEST(CopyAndStretch, ColourOnColourRepeatsOrDropsPixels)
{
    const Bitmap source = GreyRows({{10, 20}, {30, 40}});
    Bitmap big(4, 4, PixelFormat::pf32bit);
    Canvas canvas(big);
    canvas.StretchDraw(QRect(0, 0, 4, 4), source);
    EXPECT_TRUE(SamePixels(big, GreyRows({{10, 10, 20, 20}, {10, 10, 20, 20}, {30, 30, 40, 40}, {30, 30, 40, 40}})));

    const Bitmap wide = GreyRows({{1, 2, 3, 4, 5, 6}});
    Bitmap narrow(3, 1, PixelFormat::pf24bit);
    Canvas n(narrow);
    n.StretchDraw(QRect(0, 0, 3, 1), wide);
    EXPECT_TRUE(SamePixels(narrow, GreyRows({{2, 4, 6}})));
}

TEST(CopyAndStretch, CopyRectBetweenAndWithinCanvases)
{
    Bitmap a = Noise(30, 20, PixelFormat::pf32bit, 3);
    Bitmap b = White(30, 20, PixelFormat::pf24bit);
    Canvas ca(a);
    Canvas cb(b);
    cb.CopyRect(QRect(5, 4, 10, 8), ca, QRect(12, 6, 10, 8));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= 5 && x < 15 && y >= 4 && y < 12;
            ASSERT_EQ(At(b, x, y), inside ? At(a, x + 7, y + 2) : (Bgr{255, 255, 255}));
        }

    // Overlapping copy within one picture reads the picture as it was before.
    const Bitmap before = a;
    ca.CopyRect(QRect(1, 1, 29, 19), ca, QRect(0, 0, 29, 19));
    for (int y = 1; y < 20; ++y)
        for (int x = 1; x < 30; ++x)
            ASSERT_EQ(At(a, x, y), At(before, x - 1, y - 1));
    EXPECT_THROW(ca.CopyRect(QRect(0, 0, 5, 5), cb, QRect(28, 0, 5, 5)), std::out_of_range);
}

TEST(CopyAndStretch, KeyedCopyLeavesOutTheKeyColour)
{
    Bitmap source = GreyRows({{0, 50}, {50, 0}});
    Set(source, 1, 1, {1, 2, 3});  // near the key but not it
    Bitmap target = White(4, 4, PixelFormat::pf32bit);
    Canvas canvas(target);
    canvas.KeyedStretchDraw(QRect(0, 0, 4, 4), source, QRect(0, 0, 2, 2), QColor(0, 0, 0));
    EXPECT_EQ(At(target, 0, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(target, 1, 1), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(target, 2, 0), (Bgr{50, 50, 50}));
    EXPECT_EQ(At(target, 0, 3), (Bgr{50, 50, 50}));
    EXPECT_EQ(At(target, 3, 3), (Bgr{1, 2, 3}));
}

TEST(CopyAndStretch, ConstantAlphaBlend)
{
    struct Case { int alpha, source, target, expected; };
    const Case cases[] = {
        {0, 0, 200, 200}, {255, 0, 200, 0}, {128, 255, 0, 128}, {156, 0, 255, 99}, {4, 0, 255, 251}, {100, 30, 90, 66},
    };
    for (const Case &c : cases) {
        const Bitmap source = GreyRows({{c.source}});
        Bitmap target = GreyRows({{c.target, c.target}});
        target.SetFormat(PixelFormat::pf32bit);
        Canvas canvas(target);
        canvas.AlphaBlend(QRect(0, 0, 1, 1), source, QRect(0, 0, 1, 1), c.alpha);
        EXPECT_EQ(At(target, 0, 0).g, c.expected) << c.alpha;
        EXPECT_EQ(At(target, 1, 0).g, c.target) << "outside the rectangle";
        const double exact = c.source * c.alpha / 255.0 + c.target * (255 - c.alpha) / 255.0;
        EXPECT_LE(std::abs(At(target, 0, 0).g - exact), 0.5);
    }
}

TEST(FloodFill, StopsAtFourConnectedBoundaries)
{
    // A diagonal line of black pixels separates the two halves for horizontal and vertical
    // neighbours, although the halves touch at the corners.
    Bitmap p = White(12, 12, PixelFormat::pf24bit);
    for (int i = 0; i < 12; ++i)
        Set(p, i, i, {0, 0, 0});
    Canvas canvas(p);
    canvas.BrushColor = QColor(255, 0, 0);
    canvas.FloodFill(QPoint(8, 2));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const Bgr expected = x == y ? Bgr{0, 0, 0} : x > y ? Bgr{0, 0, 255} : Bgr{255, 255, 255};
            ASSERT_EQ(At(p, x, y), expected) << x << "," << y;
        }
    // Seed on a colour equal to the brush: nothing changes.
    canvas.FloodFill(QPoint(8, 2));
    EXPECT_EQ(At(p, 8, 2), (Bgr{0, 0, 255}));
    // The clip limits the fill.
    canvas.BrushColor = QColor(0, 255, 0);
    canvas.SetClipRect(QRect(0, 6, 5, 6));
    canvas.FloodFill(QPoint(0, 11));
    EXPECT_EQ(At(p, 0, 11), (Bgr{0, 255, 0}));
    EXPECT_EQ(At(p, 4, 11), (Bgr{0, 255, 0}));
    EXPECT_EQ(At(p, 5, 11), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(p, 0, 5), (Bgr{255, 255, 255}));
}

TEST(FloodFill, FillsA24MegapixelSerpentineWithoutRecursion)
{
    // Walls on every other row with the gap alternating at the right and left end make one
    // path through the whole picture, the worst case for a recursive fill.
    const int w = 6000;
    const int h = 4000;
    Bitmap p = White(w, h, PixelFormat::pf32bit);
    for (int y = 1; y < h; y += 2) {
        std::uint8_t *row = p.ScanLine(y);
        const int gap = (y / 2) % 2 == 0 ? w - 1 : 0;
        for (int x = 0; x < w; ++x)
            if (x != gap)
                std::memset(row + x * 4, 0, 3);
    }
    Canvas canvas(p);
    canvas.BrushColor = QColor(0, 0, 255);
    canvas.FloodFill(QPoint(0, 0));
    std::int64_t filled = 0;
    std::int64_t walls = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *row = p.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            filled += row[x * 4] == 255 && row[x * 4 + 2] == 0;
            walls += row[x * 4] == 0 && row[x * 4 + 1] == 0 && row[x * 4 + 2] == 0;
        }
    }
    EXPECT_EQ(filled, std::int64_t(w) * h / 2 + h / 2);  // the free rows and every gap
    EXPECT_EQ(walls, std::int64_t(w - 1) * (h / 2));
}

TEST(Gradient, RunsFromTopColourToBottomColour)
{
    Bitmap p = White(5, 11, PixelFormat::pf24bit);
    Canvas canvas(p);
    canvas.GradientFillVertical(QRect(1, 0, 3, 11), QColor(0x24, 0x60, 0x7A), QColor(0x27, 0x56, 0x6B));
    EXPECT_EQ(At(p, 1, 0), (Bgr{0x7A, 0x60, 0x24}));
    EXPECT_EQ(At(p, 3, 10), (Bgr{0x6B, 0x56, 0x27}));
    EXPECT_EQ(At(p, 0, 5), (Bgr{255, 255, 255}));
    for (int y = 1; y < 11; ++y) {
        EXPECT_LE(At(p, 2, y).b, At(p, 2, y - 1).b);
        EXPECT_GE(At(p, 2, y).r, At(p, 2, y - 1).r);
    }
    EXPECT_EQ(At(p, 2, 5).b, 114);  // halfway: Round(114.5), halves to even
}

TEST(Pens, InvertingPenChangesEachCoveredPixelOnceAndTwiceRestores)
{
    struct Case { PenStyle style; int width; bool frame; QPoint a, b; };
    const Case cases[] = {
        {PenStyle::Solid, 1, false, {0, 0}, {39, 17}},   {PenStyle::Solid, 3, false, {35, 2}, {3, 28}},
        {PenStyle::Dotted, 1, false, {5, 25}, {35, 25}}, {PenStyle::Solid, 1, true, {2, 3}, {30, 20}},
        {PenStyle::Solid, 4, true, {-2, -2}, {44, 34}},  {PenStyle::Dotted, 2, true, {4, 4}, {10, 10}},
    };
    for (const Case &c : cases) {
        Bitmap p = Noise(40, 30, PixelFormat::pf32bit, 7);
        const Bitmap before = p;
        Canvas canvas(p);
        canvas.Pen = {Qt::black, c.style, PenMode::Invert, c.width};
        const auto draw = [&] {
            if (c.frame)
                canvas.FrameRect(QRect(c.a, QSize(c.b.x() - c.a.x(), c.b.y() - c.a.y())));
            else
                canvas.Line(c.a, c.b);
        };
        draw();
        int inverted = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const Bgr o = At(before, x, y);
                const Bgr n = At(p, x, y);
                if (!(n == o)) {
                    ASSERT_EQ(n, (Bgr{255 - o.b, 255 - o.g, 255 - o.r})) << x << "," << y;
                    ++inverted;
                }
            }
        EXPECT_GT(inverted, 0);
        draw();
        EXPECT_TRUE(SamePixels(p, before)) << "width " << c.width;
    }
}

TEST(Pens, OutlineCoversTheOutermostPixelsAndLinesIncludeBothEnds)
{
    Bitmap p = White(12, 8, PixelFormat::pf24bit);
    Canvas canvas(p);
    canvas.Pen = {Qt::black, PenStyle::Solid, PenMode::Invert, 1};
    canvas.FrameRect(QRect(1, 1, 10, 6));
    int black = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool edge = x >= 1 && x <= 10 && y >= 1 && y <= 6 && (x == 1 || x == 10 || y == 1 || y == 6);
            EXPECT_EQ(At(p, x, y).g == 0, edge) << x << "," << y;
            black += At(p, x, y).g == 0;
        }
    EXPECT_EQ(black, 2 * 10 + 2 * 4);  // corners inverted once, not twice

    Bitmap q = White(10, 3, PixelFormat::pf32bit);
    Canvas c2(q);
    c2.Pen = {QColor(255, 0, 0), PenStyle::Solid, PenMode::Copy, 1};
    c2.Line(QPoint(2, 1), QPoint(7, 1));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(At(q, x, 1), ((x >= 2 && x <= 7) ? Bgr{0, 0, 255} : Bgr{255, 255, 255})) << x;
    c2.Pen = {QColor(0, 0, 255), PenStyle::Dotted, PenMode::Copy, 1};
    c2.Line(QPoint(0, 0), QPoint(9, 0));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(At(q, x, 0), (x % 2 == 0 ? Bgr{255, 0, 0} : Bgr{255, 255, 255})) << x;
    c2.Pen.Width = 3;
    c2.Pen.Style = PenStyle::Solid;
    c2.SetClipRect(QRect(0, 0, 10, 2));
    c2.Line(QPoint(5, 2), QPoint(5, 2));
    EXPECT_EQ(At(q, 5, 1), (Bgr{255, 0, 0}));
    EXPECT_EQ(At(q, 5, 2), (Bgr{255, 255, 255})) << "outside the clip";
}

TEST(Fill, FillRectAndClearCanvasKeepToTheClip)
{
    Bitmap p = Noise(20, 10, PixelFormat::pf32bit);
    const Bitmap before = p;
    Canvas canvas(p);
    canvas.BrushColor = QColor(10, 20, 30);
    canvas.FillRect(QRect(-5, -5, 10, 8));
    EXPECT_EQ(At(p, 4, 2), (Bgr{30, 20, 10}));
    EXPECT_EQ(p.ScanLine(2)[4 * 4 + 3], 255);
    EXPECT_EQ(At(p, 5, 2), At(before, 5, 2));
    EXPECT_EQ(At(p, 4, 3), At(before, 4, 3));
    canvas.SetClipRect(QRect(10, 0, 100, 5));
    ClearCanvas(canvas);
    EXPECT_EQ(At(p, 10, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(p, 19, 4), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(p, 9, 0), At(before, 9, 0));
    EXPECT_EQ(At(p, 19, 5), At(before, 19, 5));
    canvas.ResetClip();
    ClearCanvas(canvas);
    EXPECT_EQ(DarkBounds(p), QRect());
}

TEST(Text, DrawsInsideItsRectangleWithTheRequestedAlignment)
{
    const QRect box(20, 10, 200, 40);
    for (unsigned flags : {unsigned(TextLeft), unsigned(TextCenter), unsigned(TextRight)}) {
        Bitmap p = White(240, 60);
        Canvas canvas(p);
        canvas.Font = {QStringLiteral("Liberation Sans"), 20, Qt::black};
        canvas.DrawText(box, QStringLiteral("Lumikon"), flags | TextSingleLine);
        const QRect ink = DarkBounds(p);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(box.contains(ink)) << flags;
        const int leftGap = ink.x() - box.x();
        const int rightGap = box.x() + box.width() - (ink.x() + ink.width());
        if (flags == TextLeft) {
            EXPECT_LE(leftGap, 3);
        }
        if (flags == TextRight) {
            EXPECT_LE(rightGap, 3);
        }
        if (flags == TextCenter) {
            EXPECT_LE(std::abs(leftGap - rightGap), 3);
        }
    }
}

TEST(Text, ClipsWrapsAndMeasures)
{
    Bitmap p = White(200, 100);
    Canvas canvas(p);
    canvas.Font = {QStringLiteral("Liberation Sans"), 30, Qt::black};
    // Too long for the rectangle: clipped at its right edge unless clipping is off.
    canvas.DrawText(QRect(0, 0, 60, 40), QStringLiteral("Weihnachten"), TextSingleLine);
    EXPECT_GT(Dark(p, QRect(0, 0, 60, 40)), 0);
    EXPECT_EQ(Dark(p, QRect(60, 0, 140, 100)), 0);
    canvas.DrawText(QRect(0, 50, 60, 40), QStringLiteral("Weihnachten"), TextSingleLine | TextNoClip);
    EXPECT_GT(Dark(p, QRect(60, 50, 140, 50)), 0);

    const QString words = QStringLiteral("ein Text mit vielen Worten, der umbrechen muss");
    const int line = canvas.TextBlockHeight(QRect(0, 0, 1000, 10), QStringLiteral("Wg"), TextSingleLine);
    const int wrapped = canvas.TextBlockHeight(QRect(0, 0, 150, 10), words, TextWordWrap);
    EXPECT_GE(line, 30);
    EXPECT_GE(wrapped, 3 * line);
    EXPECT_NEAR(canvas.TextBlockHeight(QRect(0, 0, 150, 10), QStringLiteral("eins\r\nzwei"), TextWordWrap), 2 * line, 2);
    // Ampersands are drawn, not taken as mnemonics.
    EXPECT_GT(canvas.TextWidth(QStringLiteral("a&b")), canvas.TextWidth(QStringLiteral("ab")));
    EXPECT_EQ(canvas.TextHeight(QStringLiteral("Wg")), line);

    // The clip rectangle cuts text too; a colour other than black lands as that colour.
    Bitmap q = White(200, 60, PixelFormat::pf24bit);
    Canvas c2(q);
    c2.Font = {QStringLiteral("DejaVu Sans"), 24, QColor(0, 0, 255), true};
    c2.SetClipRect(QRect(0, 0, 30, 60));
    c2.TextOut(QPoint(2, 2), QStringLiteral("MMMMMM"));
    EXPECT_GT(Dark(q, QRect(0, 0, 30, 60)), 0);
    EXPECT_EQ(Dark(q, QRect(30, 0, 170, 60)), 0);
    bool blue = false;
    for (int x = 0; x < 30; ++x)
        for (int y = 0; y < 60; ++y)
            blue |= At(q, x, y) == Bgr{255, 0, 0};
    EXPECT_TRUE(blue);
}

TEST(Text, FontFamiliesListTheInstalledFonts)
{
    const QStringList families = Canvas::FontFamilies();
    EXPECT_TRUE(families.contains(QStringLiteral("Liberation Sans")));
    EXPECT_TRUE(families.contains(QStringLiteral("DejaVu Sans")));
    QStringList sorted = families;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(families, sorted);
}
