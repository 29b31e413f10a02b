// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKRibbonTransButton.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace lmk;

namespace {

const QColor kPanelColor(0x4A, 0x4A, 0x4A);

// The main window's quick button: 28 x 28 in the dark style on a dark panel, with a 16 x 16
// symbol of a blue square on a magenta key colour.
class QuickButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        Panel.resize(34, 60);
        QPalette palette = Panel.palette();
        palette.setColor(QPalette::Window, kPanelColor);
        Panel.setPalette(palette);
        Panel.setAutoFillBackground(true);
        Button = new TLMKRibbonTransButton(&Panel);
        Button->setGeometry(3, 2, 28, 28);
        Button->SetStyle(TLMKRibbonStyle::rsBlack);
        QImage symbol(16, 16, QImage::Format_RGB32);
        symbol.fill(qRgb(255, 0, 255));
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x)
                symbol.setPixel(x, y, qRgb(0, 0, 255));
        Button->SetSymbol(symbol);
        Button->SetHint(QStringLiteral("Bild schärfen"));
        Panel.show();
    }

    QImage Render() { return Button->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void Enter()
    {
        QEnterEvent enter(QPointF(14, 14), QPointF(14, 14), Button->mapToGlobal(QPointF(14, 14)));
        QApplication::sendEvent(Button, &enter);
    }

    QWidget Panel;
    TLMKRibbonTransButton *Button = nullptr;
};

TEST_F(QuickButtonTest, DefaultsAndHint)
{
    TLMKRibbonTransButton fresh;
    EXPECT_EQ(fresh.size(), QSize(22, 22));
    EXPECT_TRUE(fresh.Enabled());
    EXPECT_FALSE(fresh.Downed());
    EXPECT_EQ(Button->toolTip(), QStringLiteral("Bild schärfen"));
}

TEST_F(QuickButtonTest, SymbolCentredWithoutItsKeyColour)
{
    const QImage image = Render();
    EXPECT_EQ(QColor(image.pixel(14, 14)), QColor(0, 0, 255));  // symbol at (6, 6) ... (21, 21)
    EXPECT_EQ(QColor(image.pixel(10, 10)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(image.pixel(9, 9)), kPanelColor);  // key colour left out
    EXPECT_EQ(QColor(image.pixel(0, 0)), kPanelColor);  // normal look: no background
}

TEST_F(QuickButtonTest, PressedOnlyWhileThePointerIsOnTheHeldButton)
{
    const TLMKRibbonToolButtonColors &colors = Button->Colors();
    QSignalSpy clicked(Button, &TLMKRibbonTransButton::Clicked);
    const auto expectPressed = [&](bool pressed) {
        const QImage image = Render();
        EXPECT_EQ(Button->Look(), pressed ? TRibbonLook::Pressed : TRibbonLook::Normal);
        EXPECT_EQ(QColor(image.pixel(0, 0)), pressed ? colors.DownColor1 : kPanelColor);
        EXPECT_EQ(QColor(image.pixel(1, 0)), pressed ? colors.FrameDownColor : kPanelColor);
        EXPECT_EQ(QColor(image.pixel(2, 28 / 3)), pressed ? colors.DownColor3 : kPanelColor);
    };

    QTest::mousePress(Button, Qt::LeftButton, {}, QPoint(14, 14));
    expectPressed(true);
    QTest::mouseMove(Button, QPoint(40, 14));  // off the button, still held
    expectPressed(false);
    QTest::mouseMove(Button, QPoint(20, 20));  // back on
    expectPressed(true);
    QTest::mouseRelease(Button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicked.count(), 1);

    // Released off the button: no click.
    QTest::mousePress(Button, Qt::LeftButton, {}, QPoint(14, 14));
    QTest::mouseMove(Button, QPoint(14, -6));
    QTest::mouseRelease(Button, Qt::LeftButton, {}, QPoint(14, -6));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(Button->Held());
}

TEST_F(QuickButtonTest, HoverLookUnderThePointer)
{
    Enter();
    const QImage image = Render();
    EXPECT_EQ(Button->Look(), TRibbonLook::Hover);
    EXPECT_EQ(QColor(image.pixel(0, 0)), Button->Colors().HoverColor1);
    EXPECT_EQ(QColor(image.pixel(1, 0)), Button->Colors().FrameHoverColor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Button, &leave);
    EXPECT_EQ(QColor(Render().pixel(0, 0)), kPanelColor);
}

TEST_F(QuickButtonTest, DisabledGraySymbolNoHoverNoClick)
{
    int handled = 0;
    Button->SetOnClick([&] { ++handled; });
    QSignalSpy clicked(Button, &TLMKRibbonTransButton::Clicked);
    Button->SetEnabled(false);
    Enter();
    const QImage image = Render();
    EXPECT_EQ(Button->Look(), TRibbonLook::Normal);
    EXPECT_EQ(QColor(image.pixel(0, 0)), kPanelColor);
    EXPECT_EQ(QColor(image.pixel(14, 14)), QColor(27, 27, 27));  // (28 * 255) >> 8
    EXPECT_EQ(QColor(image.pixel(9, 9)), kPanelColor);

    QTest::mousePress(Button, Qt::LeftButton, {}, QPoint(14, 14));
    EXPECT_EQ(QColor(Render().pixel(0, 0)), kPanelColor);  // never pressed either
    QTest::mouseRelease(Button, Qt::LeftButton, {}, QPoint(14, 14));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(handled, 0);

    Button->SetEnabled(true);
    QTest::mouseClick(Button, Qt::LeftButton, {}, QPoint(14, 14));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(handled, 1);
}

TEST_F(QuickButtonTest, DownedShowsPressedAndClickNeedsAVisibleParent)
{
    Button->SetDowned(true);
    EXPECT_EQ(QColor(Render().pixel(0, 0)), Button->Colors().DownColor1);
    QSignalSpy clicked(Button, &TLMKRibbonTransButton::Clicked);
    Panel.hide();
    Button->Click();
    EXPECT_EQ(clicked.count(), 0);
}

}  // namespace
