// SPDX-License-Identifier: GPL-3.0-or-later
// The shared pieces of the painted buttons: look rule, exact gradients, symbol preparation and
// the colour set of the dark style.
#include "controls/RibbonColors.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace lmk;

namespace {

TEST(RibbonLook, PressedHoverOrNormal)
{
    struct Case {
        bool downed, down, enter, enabled;
        TRibbonLook look;
    };
    using L = TRibbonLook;
    const Case cases[] = {
        {false, false, false, true, L::Normal},  {false, false, true, true, L::Hover},
        {false, true, true, true, L::Pressed},   {false, true, false, true, L::Normal},  // held, pointer off
        {false, false, true, false, L::Normal},  {false, true, true, false, L::Normal},  // disabled never
        {true, false, false, false, L::Pressed}, {true, false, true, true, L::Pressed},  // shown pressed
    };
    for (const Case &c : cases)
        EXPECT_EQ(RibbonButtonLook(c.downed, c.down, c.enter, c.enabled), c.look)
            << c.downed << c.down << c.enter << c.enabled;
}

TEST(RibbonGradient, RunsExactlyFromFirstToLastRowAndColumn)
{
    QImage image(5, 5, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        FillVerticalGradient(painter, QRect(0, 0, 1, 5), QColor(0, 0, 0), QColor(100, 200, 40));
        FillHorizontalGradient(painter, QRect(1, 0, 4, 1), QColor(90, 0, 0), QColor(0, 0, 90));
    }
    const QRgb column[] = {qRgb(0, 0, 0), qRgb(25, 50, 10), qRgb(50, 100, 20), qRgb(75, 150, 30), qRgb(100, 200, 40)};
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(image.pixel(0, y), column[y]) << y;
    const QRgb row[] = {qRgb(90, 0, 0), qRgb(60, 0, 30), qRgb(30, 0, 60), qRgb(0, 0, 90)};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(image.pixel(x + 1, 0), row[x]) << x;
}

TEST(RibbonSymbol, GrayIsTheWeightedSumShiftedRight)
{
    EXPECT_EQ(SymbolGray(200, 100, 50), 124);  // (15400 + 15100 + 1400) >> 8
    EXPECT_EQ(SymbolGray(255, 255, 255), 255);
    EXPECT_EQ(SymbolGray(255, 0, 0), 76);
}

// A 4 x 1 symbol without alpha: key colour, red, the gray red turns into, key colour again.
QImage KeyedSymbol()
{
    QImage symbol(4, 1, QImage::Format_RGB32);
    symbol.setPixel(0, 0, qRgb(255, 0, 0));
    symbol.setPixel(1, 0, qRgb(200, 100, 50));
    symbol.setPixel(2, 0, qRgb(76, 76, 76));
    symbol.setPixel(3, 0, qRgb(255, 0, 0));
    return symbol;
}

TEST(RibbonSymbol, WithoutAlphaTheColourOfTheFirstPixelIsLeftOut)
{
    const QImage enabled = PreparedSymbol(KeyedSymbol(), true);
    EXPECT_EQ(qAlpha(enabled.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(enabled.pixel(3, 0)), 0);
    EXPECT_EQ(enabled.pixel(1, 0), qRgba(200, 100, 50, 255));
    EXPECT_EQ(enabled.pixel(2, 0), qRgba(76, 76, 76, 255));

    // Disabled: the pixels are gray, and a pixel whose gray equals the key's gray stays.
    const QImage disabled = PreparedSymbol(KeyedSymbol(), false);
    EXPECT_EQ(qAlpha(disabled.pixel(0, 0)), 0);
    EXPECT_EQ(disabled.pixel(1, 0), qRgba(124, 124, 124, 255));
    EXPECT_EQ(disabled.pixel(2, 0), qRgba(76, 76, 76, 255));
}

TEST(RibbonSymbol, WithAlphaKeepsItsFirstPixelAndFadesWhenDisabled)
{
    QImage symbol(2, 1, QImage::Format_ARGB32);
    symbol.setPixel(0, 0, qRgba(200, 100, 50, 255));
    symbol.setPixel(1, 0, qRgba(200, 100, 50, 128));
    const QImage enabled = PreparedSymbol(symbol, true);
    EXPECT_EQ(enabled.pixel(0, 0), qRgba(200, 100, 50, 255));
    EXPECT_EQ(enabled.pixel(1, 0), qRgba(200, 100, 50, 128));
    const QImage disabled = PreparedSymbol(symbol, false);
    EXPECT_EQ(disabled.pixel(0, 0), qRgba(124, 124, 124, 102));
    EXPECT_EQ(disabled.pixel(1, 0), qRgba(124, 124, 124, 51));
}

TEST(RibbonSymbol, DrawnStretchedByNearestPixelOverTheBackground)
{
    QImage target(8, 2, QImage::Format_RGB32);
    target.fill(qRgb(10, 20, 30));
    {
        QPainter painter(&target);
        DrawButtonSymbol(painter, QRect(0, 0, 8, 2), KeyedSymbol(), true);
    }
    const QRgb expected[] = {qRgb(10, 20, 30), qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(200, 100, 50),
                             qRgb(76, 76, 76),  qRgb(76, 76, 76),  qRgb(10, 20, 30),   qRgb(10, 20, 30)};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(target.pixel(x, y), expected[x]) << x << "," << y;
}

TEST(RibbonColorSets, DarkStyleHasTheMainWindowsColours)
{
    const TLMKRibbonToolBarColors bar = RibbonToolBarColors(TLMKRibbonStyle::rsBlack);
    EXPECT_EQ(bar, (TLMKRibbonToolBarColors{QColor(0x70706E), QColor(0x5A5A5A), QColor(0xC5C5C2), QColor(0x2A2A2A)}));
    const TLMKRibbonToolButtonColors b = RibbonToolButtonColors(TLMKRibbonStyle::rsBlack);
    const TLMKRibbonToolButtonColors expected{
        QColor(0xB9B9B9), QColor(0x7D7D7D), QColor(0x555555), QColor(0x7D7D7B),  // hover
        QColor(0x4D4D4D), QColor(0x3F4140), QColor(0x303231), QColor(0x3E3E3E),  // down
        QColor(0x444444), QColor(0x1F1F1F),                                      // frames
        QColor(0xFFFFFF), QColor(0xFFFFFF), QColor(0xFFFFFF), QColor(0xB9B9B9),  // fonts
        QColor(0x1F1F1F), QColor(0x828282), QColor(0x70706E), QColor(0x5A5A5A)};  // separators
    EXPECT_EQ(b, expected);
}

TEST(RibbonCaption, AcceleratorMarkerIsRemoved)
{
    EXPECT_EQ(StripAccelerator(QStringLiteral("&Archiv")), QStringLiteral("Archiv"));
    EXPECT_EQ(StripAccelerator(QStringLiteral("Bild && Text")), QStringLiteral("Bild & Text"));
    EXPECT_EQ(StripAccelerator(QStringLiteral("Ende&")), QStringLiteral("Ende"));
}

}  // namespace
