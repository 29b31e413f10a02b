// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKDsgGroupBox.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace lmk;

namespace {

const QColor kDialogBorder(0x70, 0x70, 0x6E);
const QColor kFocusBorder(0x24, 0x61, 0x7A);
const QColor kDialogBackground(0xF0, 0xF0, 0xF0);

using P = TCaptionPosition;
using B = TBorderStyle;

struct GeometryCase {
    const char *name;
    QSize text;
    QSize image;
    P position;
    B style;
    bool ctl3D;
    QRect part;
    int textLeft;
    QRect frame;
    QRect inner;
};

class GroupBoxGeometryTest : public testing::TestWithParam<GeometryCase> {};

TEST_P(GroupBoxGeometryTest, PartFrameAndInnerArea)
{
    const GeometryCase &c = GetParam();
    const TGroupBoxGeometry g = GroupBoxGeometry({200, 100}, c.text, c.image, c.position, c.style, c.ctl3D);
    EXPECT_EQ(g.CaptionPart, c.part);
    EXPECT_EQ(g.TextLeft, c.textLeft);
    EXPECT_EQ(g.Frame, c.frame);
    EXPECT_EQ(g.Inner, c.inner);
    EXPECT_EQ(g.Interrupted, !c.text.isEmpty() || !c.image.isEmpty());
    // The margins a layout sees are those of the inner area.
    EXPECT_EQ(QRect(0, 0, 200, 100).marginsRemoved(
                  GroupBoxInnerMargins(c.text, c.image, c.position, c.style, c.ctl3D)),
              c.inner);
}

// Rectangles as QRect(left, top, width, height); a box of 200 x 100.
INSTANTIATE_TEST_SUITE_P(
    Cases, GroupBoxGeometryTest,
    testing::Values(
        // No caption: the part is still 2 high, so the frame's top edge lies at y = 1.
        GeometryCase{"EmptyTopLeft", {0, 0}, {0, 0}, P::cpTopLeft, B::bsSingle, false, {8, 0, 0, 2}, 8,
                     {0, 1, 200, 99}, {2, 3, 196, 95}},
        GeometryCase{"TextTopLeft", {50, 15}, {0, 0}, P::cpTopLeft, B::bsSingle, false, {8, 0, 50, 17}, 8,
                     {0, 8, 200, 92}, {2, 18, 196, 80}},
        GeometryCase{"TextTopRight", {50, 15}, {0, 0}, P::cpTopRight, B::bsSingle, false, {142, 0, 50, 17}, 142,
                     {0, 8, 200, 92}, {2, 18, 196, 80}},
        GeometryCase{"OddTextTopCenter", {51, 15}, {0, 0}, P::cpTopCenter, B::bsSingle, false, {74, 0, 51, 17},
                     74, {0, 8, 200, 92}, {2, 18, 196, 80}},
        GeometryCase{"TextBottomLeft", {50, 15}, {0, 0}, P::cpBottomLeft, B::bsSingle, false, {8, 83, 50, 17}, 8,
                     {0, 0, 200, 92}, {2, 2, 196, 80}},
        GeometryCase{"DoubleBottomCenterOnePixelLess", {50, 15}, {0, 0}, P::cpBottomCenter, B::bsDouble, false,
                     {75, 83, 50, 17}, 75, {0, 0, 200, 93}, {3, 3, 194, 79}},
        GeometryCase{"EmptyBottomRightKeepsFrame", {0, 0}, {0, 0}, P::cpBottomRight, B::bsSingle, false,
                     {192, 98, 0, 2}, 192, {0, 0, 200, 100}, {2, 2, 196, 95}},
        GeometryCase{"ImageAndText", {50, 15}, {16, 16}, P::cpTopLeft, B::bsSingle, false, {8, 0, 69, 18}, 27,
                     {0, 9, 200, 91}, {2, 19, 196, 79}},
        GeometryCase{"TallImageOnly", {0, 0}, {16, 20}, P::cpTopLeft, B::bsSingle, false, {8, 0, 16, 22}, 24,
                     {0, 11, 200, 89}, {2, 23, 196, 75}},
        // The thick three-dimensional double frame is wider than the empty part: m = t = 4.
        GeometryCase{"Double3DEmpty", {0, 0}, {0, 0}, P::cpTopLeft, B::bsDouble, true, {8, 0, 0, 2}, 8,
                     {0, 2, 200, 98}, {5, 5, 190, 90}},
        GeometryCase{"NoBorder", {50, 15}, {0, 0}, P::cpTopLeft, B::bsNone, false, {8, 0, 50, 17}, 8,
                     {0, 8, 200, 92}, {2, 18, 196, 80}}),
    [](const testing::TestParamInfo<GeometryCase> &info) { return std::string(info.param.name); });

TEST(GroupBoxGeometry, BorderThickness)
{
    EXPECT_EQ(GroupBoxBorderThickness(B::bsNone, false), 1);
    EXPECT_EQ(GroupBoxBorderThickness(B::bsNone, true), 1);
    EXPECT_EQ(GroupBoxBorderThickness(B::bsSingle, false), 1);
    EXPECT_EQ(GroupBoxBorderThickness(B::bsSingle, true), 2);
    EXPECT_EQ(GroupBoxBorderThickness(B::bsDouble, false), 2);
    EXPECT_EQ(GroupBoxBorderThickness(B::bsDouble, true), 4);
}

TEST(GroupBoxCaption, MeasuredAsOneLineWithAmpersandsLiteral)
{
    const QFont font = DialogFont();
    const QFontMetrics metrics(font);
    EXPECT_EQ(GroupBoxCaptionSize(font, QString()), QSize(0, 0));
    EXPECT_EQ(GroupBoxCaptionSize(font, " Vorschau "), QSize(metrics.horizontalAdvance(" Vorschau "), metrics.height()));
    EXPECT_EQ(GroupBoxCaptionSize(font, "Text & Farbe").width(), metrics.horizontalAdvance("Text & Farbe"));
    EXPECT_GT(GroupBoxCaptionSize(font, "A&B").width(), metrics.horizontalAdvance("AB"));
}

TEST(GroupBoxCaption, DialogFontIsTheArialMetricTwin)
{
    const QFontInfo info(DialogFont());
    if (info.family() != "Liberation Sans")
        GTEST_SKIP() << "fonts-liberation not installed, Arial maps to " << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 13);
}

TEST(GroupBoxDefaults, AsDocumented)
{
    TLMKDsgGroupBox box;
    EXPECT_EQ(box.BorderStyle(), B::bsSingle);
    EXPECT_EQ(box.CaptionPosition(), P::cpTopLeft);
    EXPECT_FALSE(box.RoundEdges());
    EXPECT_EQ(box.BorderColor(), QColor(0x9F, 0xAE, 0xC2));
    EXPECT_EQ(box.BorderFocusColor(), kFocusBorder);
    EXPECT_TRUE(box.Images().isEmpty());
    EXPECT_EQ(box.ImageIndex(), -1);
    EXPECT_FALSE(box.Transparent());
    EXPECT_FALSE(box.Ctl3D());
    EXPECT_EQ(box.font().family(), "Arial");
    EXPECT_EQ(box.font().pointSize(), 10);
}

QImage Grab(QWidget &w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

TEST(GroupBoxPainting, EmptyCaptionGivesUnbrokenFrameAtYOne)
{
    TLMKDsgGroupBox box;
    box.resize(200, 100);
    box.SetColor(kDialogBackground);
    const QImage shot = Grab(box);
    const QColor border = box.BorderColor();
    for (int x = 0; x < 200; ++x) {
        ASSERT_EQ(shot.pixelColor(x, 1), border) << "top edge at x " << x;
        ASSERT_EQ(shot.pixelColor(x, 99), border) << "bottom edge at x " << x;
        ASSERT_EQ(shot.pixelColor(x, 0), kDialogBackground) << "above the frame at x " << x;
    }
    for (int y = 1; y < 100; ++y) {
        ASSERT_EQ(shot.pixelColor(0, y), border) << "left edge at y " << y;
        ASSERT_EQ(shot.pixelColor(199, y), border) << "right edge at y " << y;
    }
    EXPECT_EQ(shot.pixelColor(100, 50), kDialogBackground);
}

struct CaptionCase {
    const char *name;
    QString caption;
    bool glyphs;  // the caption shows letters, which may cover the frame's row
};

class GroupBoxCaptionGapTest : public testing::TestWithParam<CaptionCase> {};

// With the dialogs' look, the frame's top edge runs through the middle of the caption's height
// and is absent from x = 7 to x = 8 + pw.
TEST_P(GroupBoxCaptionGapTest, FrameInterruptedBehindCaption)
{
    const CaptionCase &c = GetParam();
    TLMKDsgGroupBox box(c.caption);
    SetDialogLook(box);
    box.resize(300, 120);
    const TGroupBoxGeometry g = box.Geometry();
    const QSize text = GroupBoxCaptionSize(box.font(), c.caption);
    const int pw = text.width();
    const int edge = (text.height() + 2) / 2;
    ASSERT_EQ(g.Frame.top(), edge);
    const QImage shot = Grab(box);
    EXPECT_EQ(shot.pixelColor(6, edge), kDialogBorder);
    EXPECT_EQ(shot.pixelColor(9 + pw, edge), kDialogBorder);
    EXPECT_EQ(shot.pixelColor(150 + pw / 2, edge), kDialogBorder);
    const int from = 7, to = 8 + pw;
    for (int x = from; x <= to; ++x) {
        if (c.glyphs && x > 9 && x < to - 2)
            continue;  // letters may be drawn here in the frame's colour
        EXPECT_EQ(shot.pixelColor(x, edge), kDialogBackground) << "x " << x;
    }
    if (c.glyphs) {
        int inked = 0;
        for (int y = 0; y < text.height() + 2; ++y)
            for (int x = 8; x < 8 + pw; ++x)
                inked += shot.pixelColor(x, y) != kDialogBackground;
        EXPECT_GT(inked, 20);
    }
}

INSTANTIATE_TEST_SUITE_P(Captions, GroupBoxCaptionGapTest,
                         testing::Values(CaptionCase{"Vorschau", " Vorschau ", true},
                                         CaptionCase{"OnlySpaces", "        ", false}),
                         [](const testing::TestParamInfo<CaptionCase> &info) { return std::string(info.param.name); });

struct CornerCase {
    const char *name;
    bool round;
    bool cornerDrawn;
};

class GroupBoxCornerTest : public testing::TestWithParam<CornerCase> {};

TEST_P(GroupBoxCornerTest, RoundEdgesLeaveTheCornerPixelOut)
{
    TLMKDsgGroupBox box;
    box.SetColor(kDialogBackground);
    box.SetRoundEdges(GetParam().round);
    box.resize(100, 60);
    const QImage shot = Grab(box);
    EXPECT_EQ(shot.pixelColor(0, 1) == box.BorderColor(), GetParam().cornerDrawn);
    EXPECT_EQ(shot.pixelColor(99, 59) == box.BorderColor(), GetParam().cornerDrawn);
    EXPECT_EQ(shot.pixelColor(50, 1), box.BorderColor());
    EXPECT_EQ(shot.pixelColor(0, 30), box.BorderColor());
}

INSTANTIATE_TEST_SUITE_P(Corners, GroupBoxCornerTest,
                         testing::Values(CornerCase{"Square", false, true}, CornerCase{"Round", true, false}),
                         [](const testing::TestParamInfo<CornerCase> &info) { return std::string(info.param.name); });

TEST(GroupBoxPainting, DoubleFrameHasSecondLineTwoPixelsInside)
{
    TLMKDsgGroupBox box;
    box.SetColor(kDialogBackground);
    box.SetBorderStyle(B::bsDouble);
    box.resize(100, 60);
    const QImage shot = Grab(box);
    EXPECT_EQ(shot.pixelColor(0, 30), box.BorderColor());
    EXPECT_EQ(shot.pixelColor(1, 30), kDialogBackground);
    EXPECT_EQ(shot.pixelColor(2, 30), box.BorderColor());
    EXPECT_EQ(shot.pixelColor(3, 30), kDialogBackground);
    box.SetBorderStyle(B::bsNone);
    EXPECT_EQ(Grab(box).pixelColor(0, 30), kDialogBackground);
}

struct LayoutCase {
    const char *name;
    P position;
};

class GroupBoxLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(GroupBoxLayoutTest, LayoutPlacesChildrenInTheInnerArea)
{
    TLMKDsgGroupBox box(" Aufteilung ");
    SetDialogLook(box);
    box.SetCaptionPosition(GetParam().position);
    auto *layout = new QVBoxLayout(&box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *child = new QWidget;
    child->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(child);
    box.resize(240, 120);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(child->geometry(), box.Geometry().Inner);
}

INSTANTIATE_TEST_SUITE_P(Positions, GroupBoxLayoutTest,
                         testing::Values(LayoutCase{"Top", P::cpTopLeft}, LayoutCase{"Bottom", P::cpBottomCenter}),
                         [](const testing::TestParamInfo<LayoutCase> &info) { return std::string(info.param.name); });

TEST(GroupBoxLook, ControlsInsideStayReadableUnderADarkPalette)
{
    const QPalette saved = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x33, 0x33, 0x33));
    dark.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    dark.setColor(QPalette::Button, QColor(0x3C, 0x3C, 0x3C));
    dark.setColor(QPalette::ButtonText, QColor(0xE6, 0xE6, 0xE6));
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    QApplication::setPalette(dark);
    {
        QWidget dialog;
        auto *box = new TLMKDsgGroupBox(" Qualität ", &dialog);
        SetDialogLook(*box);
        auto *label = new QLabel("Niedrig", box);
        EXPECT_EQ(box->Color(), kDialogBackground);
        EXPECT_EQ(box->BorderColor(), kDialogBorder);
        EXPECT_TRUE(box->RoundEdges());
        EXPECT_EQ(box->font().pixelSize(), 13);
        EXPECT_EQ(label->font().pixelSize(), 13);
        EXPECT_LT(label->palette().color(QPalette::WindowText).lightness(), 80);
        EXPECT_LT(label->palette().color(QPalette::ButtonText).lightness(), 80);
        EXPECT_EQ(label->palette().color(QPalette::Window), kDialogBackground);
        EXPECT_EQ(label->palette().color(QPalette::Highlight), QColor(0x2A, 0x82, 0xDA));
        // Outside the box the dark palette holds.
        EXPECT_EQ(dialog.palette().color(QPalette::WindowText), QColor(0xE6, 0xE6, 0xE6));
    }
    QApplication::setPalette(saved);
}

// While the slider inside has the focus, frame and caption take the focus colour; when the
// focus moves to a button outside, they return to the border colour.
TEST(GroupBoxFocus, FrameColourFollowsTheFocus)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *box = new TLMKDsgGroupBox(" Qualität ");
    SetDialogLook(*box);
    auto *inner = new QVBoxLayout(box);
    auto *slider = new QSlider(Qt::Horizontal);
    inner->addWidget(slider);
    auto *button = new QPushButton("OK");
    column->addWidget(box);
    column->addWidget(button);
    window.resize(300, 160);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const auto frameColour = [&] { return Grab(*box).pixelColor(box->width() / 2, box->Geometry().Frame.top()); };
    // Inked caption pixels tinted like the focus colour (bluish) or like the border colour (grey).
    struct Tint {
        int bluish = 0, grey = 0;
    };
    const auto captionTint = [&] {
        const QImage shot = Grab(*box);
        const QRect part = box->Geometry().CaptionPart;
        Tint tint;
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c.lightness() > 190)
                    continue;  // background, or so faint an edge that its tint says little
                if (c.blue() - c.red() > 20)
                    ++tint.bluish;
                else if (std::abs(c.blue() - c.red()) <= 6)
                    ++tint.grey;
            }
        return tint;
    };

    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    EXPECT_FALSE(box->Focused());
    EXPECT_EQ(frameColour(), kDialogBorder);

    slider->setFocus();
    QTRY_VERIFY(box->Focused());
    EXPECT_EQ(frameColour(), kFocusBorder);
    EXPECT_GT(captionTint().bluish, 10);
    EXPECT_EQ(captionTint().grey, 0);

    button->setFocus();
    QTRY_VERIFY(!box->Focused());
    EXPECT_EQ(frameColour(), kDialogBorder);
    EXPECT_EQ(captionTint().bluish, 0);
    EXPECT_GT(captionTint().grey, 10);
}

}  // namespace
