// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Bitmap.h"
#include "imaging/Numeric.h"

#include <QPainter>
#include <cstring>
#include <gtest/gtest.h>

using namespace lmk;

TEST(Numeric, RoundHalvesToEvenTruncTowardZero)
{
    struct Case { double x; int round; int trunc; };
    const Case cases[] = {
        {26.5, 26, 26}, {27.5, 28, 27}, {-2.5, -2, -2}, {10.5, 10, 10}, {11.5, 12, 11},
        {-0.7, -1, 0}, {168.75, 169, 168}, {0.49999, 0, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Round(c.x), c.round) << c.x;
        EXPECT_EQ(Trunc(c.x), c.trunc) << c.x;
    }
    EXPECT_EQ(Div(-7, 2), -3);
    EXPECT_EQ(Clamp(-5), 0);
    EXPECT_EQ(Clamp(300), 255);
    EXPECT_THROW(FDiv(1.0, 0.0), FloatDivisionByZero);
    EXPECT_THROW(FDiv(0.0, 0.0), FloatDivisionByZero);
}

static Bitmap Gradient(int w, int h, PixelFormat f)
{
    Bitmap b(w, h, f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t *p = b.ScanLine(y) + x * b.BytesPerPixel();
            p[0] = std::uint8_t(x);
            p[1] = std::uint8_t(y);
            p[2] = std::uint8_t(x + y);
        }
    return b;
}

TEST(Bitmap, FormatConversionKeepsColourAndCopiesAreDeep)
{
    Bitmap a = Gradient(7, 5, PixelFormat::pf24bit);  // odd width: rows are padded
    EXPECT_EQ(a.Stride(), 24);
    Bitmap b = a;
    b.SetFormat(PixelFormat::pf32bit);
    EXPECT_EQ(b.Stride(), 28);
    const std::uint8_t *buffer = b.ScanLine(0);
    b.SetFormat(PixelFormat::pf24bit);
    EXPECT_EQ(b.ScanLine(0), buffer);  // narrowed inside its own buffer
    EXPECT_EQ(b.Stride(), 24);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(0, std::memcmp(a.ScanLine(y), b.ScanLine(y), 21)) << y;
    b.ScanLine(0)[0] = 99;
    EXPECT_EQ(a.ScanLine(0)[0], 0);
}

TEST(Bitmap, QImageWrapSharesThePixels)
{
    for (PixelFormat f : {PixelFormat::pf24bit, PixelFormat::pf32bit}) {
        Bitmap b(10, 4, f);
        b.Fill(0, 0, 0);
        {
            QImage view = b.WrapAsQImage();
            QPainter p(&view);
            p.fillRect(2, 1, 3, 2, QColor(10, 20, 30));
        }
        const std::uint8_t *px = b.ScanLine(1) + 2 * b.BytesPerPixel();
        EXPECT_EQ(px[0], 30);  // blue first
        EXPECT_EQ(px[1], 20);
        EXPECT_EQ(px[2], 10);
        EXPECT_EQ(b.ScanLine(0)[2], 0);
    }
}

TEST(Bitmap, FromQImageComposesTransparencyOntoWhite)
{
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));
    img.setPixel(1, 0, qRgba(255, 0, 0, 255));
    const Bitmap b = Bitmap::FromQImage(img);
    const std::uint8_t *p = b.ScanLine(0);
    EXPECT_EQ(p[0], 255); EXPECT_EQ(p[1], 255); EXPECT_EQ(p[2], 255);
    EXPECT_EQ(p[3], 0);   EXPECT_EQ(p[4], 0);   EXPECT_EQ(p[5], 255);
}

TEST(Bitmap, RefusesSizesBeyondMemoryBeforeAllocating)
{
    EXPECT_THROW(Bitmap(100000, 100000), PictureTooLarge);
    EXPECT_THROW(Bitmap(-1, 5), PictureTooLarge);
    EXPECT_TRUE(Bitmap::FitsInMemory(16384, 16384));
    EXPECT_FALSE(Bitmap::FitsInMemory(16385, 16384));
    EXPECT_TRUE(Bitmap(0, 0).Empty());
}
