// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TVistaGradPanel.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace lmk;

namespace {

QFont Arial13()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

QImage Render(QWidget &widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The main window's status field and title bar settings.
void SetStatusLook(TVistaGradPanel &panel)
{
    panel.SetGradStyle(TGradStyle::gsDEFAULT);
    panel.SetGradOrientation(TGradOrientation::goTopToBottom);
    panel.SetStartColor(QColor(0x444444));
    panel.SetEndColor(QColor(0x444444));
    panel.SetLineColor(QColor(0x2A2A2A));
    panel.setFont(Arial13());
    panel.SetFontColor(QColor(0xBEBEBE));
}

// The rows and columns that hold caption pixels (any pixel other than the background).
QRect TextBounds(const QImage &image, QRgb background, int rows)
{
    QRect bounds;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(GradPanel, Defaults)
{
    TVistaGradPanel panel;
    EXPECT_EQ(panel.size(), QSize(100, 18));
    EXPECT_EQ(panel.Caption(), QStringLiteral("VistaGradPanel"));
    EXPECT_TRUE(panel.font().bold());
    EXPECT_EQ(panel.font().pointSize(), 9);
    EXPECT_EQ(panel.GradStyle(), TGradStyle::gsBLUE);
    EXPECT_EQ(panel.StartColor(), QColor(0xDCEAFF));
    EXPECT_EQ(panel.EndColor(), QColor(0xB1D3FF));
    EXPECT_EQ(panel.LineColor(), QColor(0x4B5E7C));
    EXPECT_FALSE(panel.AutoSize() || panel.WordBreak() || panel.LeftLine() || panel.ButtomLine());
    EXPECT_EQ(panel.BorderWidth(), 1);
    EXPECT_TRUE(panel.InfoText().isEmpty());
}

struct AutoSizeCase {
    const char *name;
    int textWidth, textHeight;
    QSize picture;
    TAlign align;
    QSize expected;  // from a panel now 100 x 50
};

class GradPanelAutoSizeTest : public testing::TestWithParam<AutoSizeCase> {};

TEST_P(GradPanelAutoSizeTest, SetsTheSizesItsAlignmentLeavesOpen)
{
    const AutoSizeCase &c = GetParam();
    EXPECT_EQ(GradPanelAutoSize({100, 50}, c.textWidth, c.textHeight, c.picture, c.align), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GradPanelAutoSizeTest,
    testing::Values(
        AutoSizeCase{"LeftFieldTakesTextWidthPlus10", 60, 15, {}, TAlign::alLeft, {70, 50}},
        AutoSizeCase{"RightFieldTakesTextWidthPlus10", 60, 15, {}, TAlign::alRight, {70, 50}},
        AutoSizeCase{"TitleBarTakesTextHeightPlus4", 60, 15, {}, TAlign::alTop, {100, 19}},
        AutoSizeCase{"BottomBar", 60, 15, {}, TAlign::alBottom, {100, 19}},
        AutoSizeCase{"ClientKeepsBoth", 60, 15, {}, TAlign::alClient, {100, 50}},
        AutoSizeCase{"UnalignedSetsBoth", 60, 15, {}, TAlign::alNone, {70, 19}},
        AutoSizeCase{"TallPicture", 60, 15, {16, 24}, TAlign::alNone, {92, 28}},
        AutoSizeCase{"SmallPicture", 60, 15, {16, 10}, TAlign::alNone, {92, 19}}),
    [](const testing::TestParamInfo<AutoSizeCase> &info) { return std::string(info.param.name); });

TEST(GradPanel, StatusFieldIsAsWideAsItsTextPlus10)
{
    TVistaGradPanel field;
    SetStatusLook(field);
    field.SetTopLine(true);
    field.SetAlign(TAlign::alRight);
    field.resize(56, 21);
    field.SetCaption(QStringLiteral("1200 DPI"));
    field.SetAutoSize(true);
    const int wanted = QFontMetrics(Arial13()).horizontalAdvance(QStringLiteral("1200 DPI")) + 10;
    EXPECT_EQ(field.width(), wanted);
    EXPECT_EQ(field.height(), 21);
    EXPECT_EQ(field.minimumWidth(), wanted);  // layouts keep it

    field.SetCaption(QStringLiteral("300 DPI"));  // follows the text
    EXPECT_EQ(field.width(), QFontMetrics(Arial13()).horizontalAdvance(QStringLiteral("300 DPI")) + 10);

    field.SetAutoSize(false);  // the width is free again
    field.resize(120, 21);
    EXPECT_EQ(field.width(), 120);
}

TEST(GradPanel, TitleBarCaptionCentredFromTwoPixelsDown)
{
    // The same title bar at two heights: the caption stays at the top, centred left to right.
    QRect bounds[2];
    int heights[2] = {19, 40};
    for (int i = 0; i < 2; ++i) {
        TVistaGradPanel title;
        SetStatusLook(title);
        title.SetOrientation(TOrientation::oCenter);
        title.SetButtomLine(true);
        title.SetCaption(QStringLiteral("Originalbild"));
        title.resize(300, heights[i]);
        const QImage image = Render(title);
        EXPECT_EQ(QColor(image.pixel(0, heights[i] - 1)), QColor(0x2A2A2A));
        bounds[i] = TextBounds(image, qRgb(0x44, 0x44, 0x44), heights[i] - 1);
    }
    ASSERT_FALSE(bounds[0].isEmpty());
    EXPECT_EQ(bounds[0], bounds[1]);
    const QFontMetrics metrics(Arial13());
    // The first line's cell starts at y = 2: the glyphs' tops lie below that, within the ascent.
    EXPECT_GE(bounds[0].top(), 2);
    EXPECT_LE(bounds[0].top(), 2 + metrics.ascent() - metrics.capHeight() + 1);
    // Centred between x = 4 and x = 296.
    EXPECT_NEAR(bounds[0].center().x(), 150, 2);
}

TEST(GradPanel, CaptionFollowsOrientation)
{
    TVistaGradPanel field;
    SetStatusLook(field);
    field.resize(300, 21);
    field.SetCaption(QStringLiteral("Kein Bild vorhanden"));
    const QRgb background = qRgb(0x44, 0x44, 0x44);
    field.SetOrientation(TOrientation::oLeft);
    const QRect left = TextBounds(Render(field), background, 21);
    field.SetOrientation(TOrientation::oRight);
    const QRect right = TextBounds(Render(field), background, 21);
    EXPECT_NEAR(left.left(), 4, 1);
    EXPECT_NEAR(right.right(), 300 - 4, 2);
    EXPECT_NEAR(left.width(), right.width(), 1);  // the same text, placed at another fraction of a pixel
}

TEST(GradPanel, WithoutCaptionOnlyGradientAndLines)
{
    // A divider strip: left-to-right gradient #565654 -> #404040, a line on its right.
    TVistaGradPanel strip;
    strip.SetGradStyle(TGradStyle::gsDEFAULT);
    strip.SetStartColor(QColor(0x565654));
    strip.SetEndColor(QColor(0x404040));
    strip.SetLineColor(QColor(0x252525));
    strip.SetRightLine(true);
    strip.resize(34, 60);
    strip.SetShowCaption(false);
    const auto onlyColumns = [](const QImage &image) {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 1; y < image.height(); ++y)
                if (image.pixel(x, y) != image.pixel(x, 0))
                    return false;
        return true;
    };
    const QImage image = Render(strip);
    EXPECT_TRUE(onlyColumns(image));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(0x565654));
    EXPECT_EQ(QColor(image.pixel(32, 0)), QColor(0x414141));  // the gradient's last column but one
    EXPECT_EQ(QColor(image.pixel(33, 0)), QColor(0x252525));

    strip.SetShowCaption(true);  // the same strip with its caption differs
    EXPECT_FALSE(onlyColumns(Render(strip)));
}

TEST(GradPanel, PictureWithoutItsKeyColourAndCaptionBesideIt)
{
    TVistaGradPanel panel;
    SetStatusLook(panel);
    panel.SetShowCaption(false);
    panel.resize(100, 20);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 255));
    picture.setPixel(4, 4, qRgb(0, 200, 0));
    panel.SetPicIdle(picture);
    const QImage image = Render(panel);
    // Drawn at (3, H div 2 - 4).
    EXPECT_EQ(QColor(image.pixel(3 + 4, 6 + 4)), QColor(0, 200, 0));
    EXPECT_EQ(QColor(image.pixel(3, 6)), QColor(0x444444));
}

TEST(GradPanel, InfoTextInGerman)
{
    const QDateTime tuesday(QDate(2024, 3, 5), QTime(14, 7, 45));
    EXPECT_EQ(GradPanelInfoText(tuesday, true, false, false), QStringLiteral("Dienstag, 05. März 2024"));
    EXPECT_EQ(GradPanelInfoText(tuesday, true, true, true), QStringLiteral("Dienstag, 05. März 2024  (10. KW)  14:07 Uhr"));
    EXPECT_EQ(GradPanelInfoText(tuesday, false, false, true), QStringLiteral("  14:07 Uhr"));
    // 3 January 2021 is a Sunday of the last week of 2020.
    EXPECT_EQ(GradPanelInfoText(QDateTime(QDate(2021, 1, 3), QTime(0, 0)), false, true, false),
              QStringLiteral("  (53. KW)"));
    EXPECT_TRUE(GradPanelInfoText(tuesday, false, false, false).isEmpty());
}

TEST(GradPanel, InfoTextWidensAnAutosizedPanel)
{
    TVistaGradPanel panel;
    SetStatusLook(panel);
    panel.SetAlign(TAlign::alLeft);
    panel.SetCaption(QStringLiteral("Heute"));
    panel.SetAutoSize(true);
    const int captionOnly = panel.width();
    panel.SetShowTime(true);
    ASSERT_FALSE(panel.InfoText().isEmpty());
    EXPECT_TRUE(panel.InfoText().endsWith(QStringLiteral(" Uhr")));
    EXPECT_EQ(panel.width(), captionOnly + QFontMetrics(Arial13()).horizontalAdvance(panel.InfoText()));
    panel.SetShowTime(false);
    EXPECT_EQ(panel.width(), captionOnly);
}

}  // namespace
