// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKRibbonToolBar.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace lmk;

namespace {

using M = TLMKRibbonToolButtonMode;

QFont MenuFont() { return QFont(QStringLiteral("Segoe UI"), 9); }

QImage Render(QWidget &widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

QColor At(const QImage &image, int x, int y) { return QColor(image.pixel(x, y)); }

// ---- Button width ----------------------------------------------------------------------------

struct WidthCase {
    const char *name;
    const char *caption;
    bool autosize;
    int width;
    M mode;
    // The caption's lines as the button wraps them; the widest in bold, in whole pixels, + 6 is
    // the width (at least 38). Unused when `expected` is set.
    std::vector<const char *> lines;
    int expected;
};

class RibbonButtonWidthTest : public testing::TestWithParam<WidthCase> {};

TEST_P(RibbonButtonWidthTest, FollowsTheCaptionInTheBoldMenuFont)
{
    const WidthCase &c = GetParam();
    int expected = c.expected;
    if (expected == 0) {
        QFont bold = MenuFont();
        bold.setBold(true);
        const QFontMetricsF metrics(bold);
        int widest = 0;  // whole pixels that hold the line
        for (const char *line : c.lines)
            widest = std::max(widest, int(std::ceil(metrics.horizontalAdvance(QString::fromUtf8(line)))));
        expected = std::max(widest + 6, 38);
    }
    EXPECT_EQ(RibbonButtonWidth(QString::fromUtf8(c.caption), MenuFont(), c.autosize, c.width, c.mode), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RibbonButtonWidthTest,
    testing::Values(
        WidthCase{"TwoLineCaption", "Hilfe- themen", true, 38, M::bmButton, {"Hilfe-", "themen"}, 0},
        WidthCase{"OneLongWord", "Rückgängig", true, 38, M::bmButton, {"Rückgängig"}, 0},
        WidthCase{"WrappedAtTheSpace", "Programm beenden", true, 38, M::bmButton, {"Programm", "beenden"}, 0},
        WidthCase{"AcceleratorNotMeasured", "&Archiv", true, 38, M::bmButton, {"Archiv"}, 0},
        WidthCase{"ShortCaptionKeepsMinimum", "Info", true, 38, M::bmButton, {}, 38},
        WidthCase{"EmptyAfterTrimming", "   ", true, 80, M::bmButton, {}, 38},
        WidthCase{"SetWidth", "Programm beenden", false, 50, M::bmButton, {}, 50},
        WidthCase{"SetWidthAtLeast24", "Info", false, 10, M::bmButton, {}, 24},
        WidthCase{"Group", "Programm beenden", true, 80, M::bmGroup, {}, 3},
        WidthCase{"Separator", "", false, 80, M::bmSeparator, {}, 3}),
    [](const testing::TestParamInfo<WidthCase> &info) { return std::string(info.param.name); });

TEST(RibbonButtonWidth, DoesNotDependOnTheWidthAnEarlierCaptionGave)
{
    TLMKRibbonToolBar bar;
    bar.SetMenuFont(MenuFont());
    TToolButtonCollectionItem &item = bar.AddToolButton().SetCaption(QStringLiteral("Programm beenden"));
    item.SetCaption(QStringLiteral("Foto scannen"));
    EXPECT_EQ(item.Button()->width(),
              RibbonButtonWidth(QStringLiteral("Foto scannen"), MenuFont(), true, 38, M::bmButton));
}

// ---- Layout ----------------------------------------------------------------------------------

struct LayoutCase {
    const char *name;
    std::vector<TRibbonLayoutEntry> entries;
    std::vector<QRect> buttons;
    int end;
};

class RibbonLayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(RibbonLayoutTest, PlacesButtonsLeftToRight)
{
    const LayoutCase &c = GetParam();
    const TRibbonLayout layout = RibbonLayout(c.entries);
    EXPECT_EQ(layout.Buttons, c.buttons);
    EXPECT_EQ(layout.End, c.end);
}

const TRibbonLayoutEntry kButton38{true, M::bmButton, true, 38, 68};
const TRibbonLayoutEntry kButton50{true, M::bmButton, true, 50, 68};
const TRibbonLayoutEntry kSeparator{true, M::bmSeparator, true, 3, 68};
const TRibbonLayoutEntry kGroup{true, M::bmGroup, true, 3, 68};
const TRibbonLayoutEntry kHiddenButton{false, M::bmButton, true, 60, 68};
const TRibbonLayoutEntry kHiddenSeparator{false, M::bmSeparator, true, 3, 68};

// Rectangles as QRect(left, top, width, height).
INSTANTIATE_TEST_SUITE_P(
    Cases, RibbonLayoutTest,
    testing::Values(
        LayoutCase{"TwoButtons", {kButton38, kButton50}, {{4, 4, 38, 68}, {44, 4, 50, 68}}, 96},
        // 2 before a separator and 4 after it.
        LayoutCase{"Separator", {kButton38, kSeparator, kButton50}, {{4, 4, 38, 68}, {46, 0, 3, 93}, {53, 4, 50, 68}}, 105},
        LayoutCase{"Group", {kButton38, kGroup, kButton50}, {{4, 4, 38, 68}, {44, 0, 3, 72}, {49, 4, 50, 68}}, 101},
        LayoutCase{"HiddenButtonLeavesNoGap", {kButton38, kHiddenButton, kButton50}, {{4, 4, 38, 68}, {}, {44, 4, 50, 68}}, 96},
        LayoutCase{"HiddenSeparatorLeavesNoGap", {kButton38, kHiddenSeparator, kButton50}, {{4, 4, 38, 68}, {}, {44, 4, 50, 68}}, 96},
        LayoutCase{"FixedHeightKept", {{true, M::bmButton, false, 40, 30}, {true, M::bmSeparator, false, 3, 10}},
                   {{4, 4, 40, 30}, {48, 0, 3, 24}}, 55},
        LayoutCase{"Empty", {}, {}, 4}),
    [](const testing::TestParamInfo<LayoutCase> &info) { return std::string(info.param.name); });

// ---- The bar ---------------------------------------------------------------------------------

// The main window's bar: dark style, 784 x 77, no caption, position and height as placed.
class RibbonBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        Window.resize(800, 120);
        Bar = new TLMKRibbonToolBar(&Window);
        Bar->SetStyle(TLMKRibbonStyle::rsBlack);
        Bar->SetMenuFont(MenuFont());
        Bar->SetShowCaption(false);
        Bar->SetAutoTop(false);
        Bar->SetAutoHeight(false);
        Bar->SetAutoWidth(false);
        Bar->setGeometry(0, 0, 784, 77);
    }

    TToolButtonCollectionItem &AddButton(const QString &caption, int *clicks = nullptr)
    {
        TToolButtonCollectionItem &item = Bar->AddToolButton().SetCaption(caption);
        if (clicks != nullptr)
            item.SetOnClick([clicks] { ++*clicks; });
        return item;
    }

    // The bar's pixel at a point of a button.
    static QColor ButtonPixel(const QImage &bar, const TToolButtonCollectionItem &item, int x, int y)
    {
        return At(bar, item.Button()->x() + x, item.Button()->y() + y);
    }

    QWidget Window;
    TLMKRibbonToolBar *Bar = nullptr;
};

TEST_F(RibbonBarTest, HiddenButtonLeavesNoGapAndReturnsInPlace)
{
    TToolButtonCollectionItem &first = AddButton(QStringLiteral("Foto scannen"));
    TToolButtonCollectionItem &second = AddButton(QStringLiteral("Bilddatei öffnen"));
    TToolButtonCollectionItem &third = AddButton(QStringLiteral("Info"));
    const int thirdLeft = third.Button()->x();
    second.SetShowButton(false);
    EXPECT_TRUE(second.Button()->isHidden());
    EXPECT_EQ(third.Button()->x(), first.Button()->geometry().right() + 1 + 2);
    second.SetShowButton(true);
    EXPECT_EQ(third.Button()->x(), thirdLeft);
}

TEST_F(RibbonBarTest, ItemsGiveTheirButtonsGeometryAndDefaults)
{
    TToolButtonCollectionItem &item = Bar->AddToolButton();
    EXPECT_EQ(item.Caption(), QStringLiteral("Button 0"));
    EXPECT_EQ(item.Name(), QStringLiteral("TToolButtonCollectionItem0"));
    EXPECT_FALSE(item.ShowHint());
    EXPECT_TRUE(item.ShowButton() && item.Autosize() && item.Enabled());
    EXPECT_EQ(item.Width(), 38);
    EXPECT_EQ(item.ImageIndex(), -1);
    EXPECT_EQ(item.ButtonMode(), M::bmButton);

    TToolButtonCollectionItem &separator = Bar->AddToolButton().SetButtonMode(M::bmSeparator);
    EXPECT_EQ(separator.Index(), 1);
    EXPECT_EQ(item.Button()->geometry(), QRect(4, 4, item.Button()->ButtonWidth(), 68));
    EXPECT_EQ(separator.Button()->geometry(), QRect(4 + item.Button()->width() + 2 + 2, 0, 3, 93));
}

TEST_F(RibbonBarTest, DeletingAnItemFreesItsButtonAndClosesTheGap)
{
    AddButton(QStringLiteral("Foto scannen"));
    TToolButtonCollectionItem &second = AddButton(QStringLiteral("Rückgängig"));
    TToolButtonCollectionItem &third = AddButton(QStringLiteral("Info"));
    QPointer<TLMKRibbonToolButton> removed = second.Button();
    QSignalSpy destroyed(removed.data(), &QObject::destroyed);
    Bar->DeleteToolButton(1);
    EXPECT_EQ(Bar->ToolButtonCount(), 2);
    EXPECT_EQ(third.Index(), 1);
    EXPECT_EQ(third.Button()->x(), 4 + Bar->ToolButton(0).Button()->width() + 2);
    EXPECT_TRUE(removed.isNull() || destroyed.wait(2000));
}

TEST_F(RibbonBarTest, AutoWidthFitsTheButtons)
{
    AddButton(QStringLiteral("Foto scannen"));
    Bar->AddToolButton().SetButtonMode(M::bmSeparator);
    TToolButtonCollectionItem &last = AddButton(QStringLiteral("Info"));
    Bar->SetAutoWidth(true);
    EXPECT_EQ(Bar->width(), last.Button()->geometry().right() + 1 + 2 - 4);
}

TEST_F(RibbonBarTest, WithoutCaptionOnlyGradientAndBottomLine)
{
    Bar->SetCaption(QStringLiteral("Werkzeuge"));
    const auto onlyGradient = [](const QImage &image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 1; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(0, y))
                    return false;
        return true;
    };
    const QImage plain = Render(*Bar);
    EXPECT_TRUE(onlyGradient(plain));
    EXPECT_EQ(At(plain, 0, 0), QColor(0x70706E));
    EXPECT_EQ(At(plain, 0, 75), QColor(0x5A5A5A));  // the last row above the line
    EXPECT_EQ(At(plain, 0, 76), QColor(0x2A2A2A));
    for (int y = 1; y < 76; ++y)  // falling steadily from BarColor1 to BarColor2
        EXPECT_LE(qRed(plain.pixel(0, y)), qRed(plain.pixel(0, y - 1))) << y;

    Bar->SetShowCaption(true);  // the same bar with its caption band differs
    EXPECT_FALSE(onlyGradient(Render(*Bar)));
}

TEST_F(RibbonBarTest, DisabledButtonGraySymbolDisabledCaptionNeverHover)
{
    // A symbol on a key colour: a red square on magenta.
    QImage symbol(32, 32, QImage::Format_RGB32);
    symbol.fill(qRgb(255, 0, 255));
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            symbol.setPixel(x, y, qRgb(255, 0, 0));
    Bar->SetImages({symbol});
    TToolButtonCollectionItem &on = AddButton(QStringLiteral("Bearbeiten")).SetImageIndex(0);
    TToolButtonCollectionItem &off = AddButton(QStringLiteral("Bearbeiten")).SetImageIndex(0).SetEnabled(false);
    Window.show();

    const auto symbolPixel = [](const QImage &bar, const TToolButtonCollectionItem &item, int x, int y) {
        return ButtonPixel(bar, item, item.Button()->width() / 2 - 16 + x, 3 + y);
    };
    // Caption pixels: the brightest pixel of the caption area is the caption colour.
    const auto brightestCaptionPixel = [](const QImage &bar, const TToolButtonCollectionItem &item) {
        const QRect area = RibbonCaptionRect(item.Button()->size()).translated(item.Button()->pos());
        QRgb brightest = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(bar.pixel(x, y)) > qGray(brightest))
                    brightest = bar.pixel(x, y);
        return QColor(brightest);
    };

    QImage image = Render(*Bar);
    EXPECT_EQ(symbolPixel(image, on, 16, 16), QColor(255, 0, 0));
    EXPECT_EQ(symbolPixel(image, off, 16, 16), QColor(76, 76, 76));
    // The key colour is left out in both: the bar shows through.
    EXPECT_EQ(symbolPixel(image, on, 2, 2), At(image, 0, 3 + 2 + 4));
    EXPECT_EQ(symbolPixel(image, off, 2, 2), At(image, 0, 3 + 2 + 4));
    EXPECT_EQ(brightestCaptionPixel(image, on), QColor(0xFFFFFF));
    EXPECT_EQ(brightestCaptionPixel(image, off), QColor(0xB9B9B9));

    // The pointer over both: only the enabled one shows the hover look.
    for (TToolButtonCollectionItem *item : {&on, &off}) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), item->Button()->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(item->Button(), &enter);
    }
    image = Render(*Bar);
    const TLMKRibbonToolButtonColors &colors = Bar->ButtonColors();
    EXPECT_EQ(on.Button()->Look(), TRibbonLook::Hover);
    EXPECT_EQ(ButtonPixel(image, on, 0, 0), colors.HoverColor1);  // corner left out by the frame
    EXPECT_EQ(ButtonPixel(image, on, 1, 0), colors.FrameHoverColor);
    EXPECT_EQ(ButtonPixel(image, on, 2, 25), colors.HoverColor3);
    EXPECT_EQ(off.Button()->Look(), TRibbonLook::Normal);
    EXPECT_EQ(ButtonPixel(image, off, 1, 0), At(image, 0, off.Button()->y()));
    EXPECT_EQ(ButtonPixel(image, off, 2, 25), At(image, 0, off.Button()->y() + 25));
}

TEST_F(RibbonBarTest, PressedLookWhileHeldAndShownPressed)
{
    TToolButtonCollectionItem &item = AddButton(QStringLiteral("Ansicht"));
    TToolButtonCollectionItem &downed = AddButton(QStringLiteral("Archiv")).SetDowned(true);
    Window.show();
    QTest::mousePress(item.Button(), Qt::LeftButton);
    const QImage image = Render(*Bar);
    const TLMKRibbonToolButtonColors &colors = Bar->ButtonColors();
    for (TToolButtonCollectionItem *pressed : {&item, &downed}) {
        EXPECT_EQ(ButtonPixel(image, *pressed, 0, 0), colors.DownColor1);
        EXPECT_EQ(ButtonPixel(image, *pressed, 1, 0), colors.FrameDownColor);
        EXPECT_EQ(ButtonPixel(image, *pressed, 2, 25), colors.DownColor3);
    }
    QTest::mouseRelease(item.Button(), Qt::LeftButton);
}

TEST_F(RibbonBarTest, ClicksReachOnlyEnabledButtonsOfAVisibleBar)
{
    int enabledClicks = 0, disabledClicks = 0, separatorClicks = 0;
    TToolButtonCollectionItem &enabled = AddButton(QStringLiteral("Info"), &enabledClicks);
    TToolButtonCollectionItem &disabled = AddButton(QStringLiteral("Rückgängig"), &disabledClicks).SetEnabled(false);
    TToolButtonCollectionItem &separator =
        Bar->AddToolButton().SetButtonMode(M::bmSeparator).SetOnClick([&] { ++separatorClicks; });
    Window.show();

    for (TToolButtonCollectionItem *item : {&enabled, &disabled, &separator})
        QTest::mouseClick(item->Button(), Qt::LeftButton);
    EXPECT_EQ(enabledClicks, 1);
    EXPECT_EQ(disabledClicks, 0);
    EXPECT_EQ(separatorClicks, 0);

    // Released off the button: no click.
    QTest::mousePress(enabled.Button(), Qt::LeftButton);
    QTest::mouseRelease(enabled.Button(), Qt::LeftButton, {}, QPoint(-3, 10));
    EXPECT_EQ(enabledClicks, 1);

    Bar->hide();
    enabled.Button()->Click();
    EXPECT_EQ(enabledClicks, 1);
}

TEST_F(RibbonBarTest, ClickHandlerMayDeleteItsOwnButton)
{
    TToolButtonCollectionItem &item = AddButton(QStringLiteral("Info"));
    int clicks = 0;
    item.SetOnClick([&] {
        ++clicks;
        Bar->DeleteToolButton(0);
    });
    Window.show();
    QTest::mouseClick(item.Button(), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Bar->ToolButtonCount(), 0);
}

TEST_F(RibbonBarTest, AltAndTheAcceleratorLetterClicks)
{
    int archiveClicks = 0, scanClicks = 0;
    AddButton(QStringLiteral("&Archiv"), &archiveClicks);
    TToolButtonCollectionItem &scan = AddButton(QStringLiteral("Foto &scannen"), &scanClicks).SetEnabled(false);
    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));

    QTest::keyClick(&Window, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(archiveClicks, 1);
    QTest::keyClick(&Window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(scanClicks, 0);
    scan.SetEnabled(true);
    QTest::keyClick(&Window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(scanClicks, 1);
    QTest::keyClick(&Window, Qt::Key_A);  // without Alt nothing
    EXPECT_EQ(archiveClicks, 1);
}

TEST_F(RibbonBarTest, HintIsTheTooltipWhileShown)
{
    TToolButtonCollectionItem &item = AddButton(QStringLiteral("Info")).SetHint(QStringLiteral("Informationen zum Programm (F2)"));
    EXPECT_TRUE(item.Button()->toolTip().isEmpty());
    item.SetShowHint(true);
    EXPECT_EQ(item.Button()->toolTip(), QStringLiteral("Informationen zum Programm (F2)"));
}

TEST_F(RibbonBarTest, MainWindowsBarKeepsHeightAndTopButSnapsLeft)
{
    Window.show();
    Bar->setGeometry(10, 5, 784, 77);
    EXPECT_EQ(Bar->geometry(), QRect(0, 5, 784, 77));
    Bar->resize(700, 77);
    EXPECT_EQ(Bar->geometry(), QRect(0, 5, 700, 77));
}

TEST(RibbonBarDefaults, SnapToTop25AndHeight94)
{
    QWidget window;
    window.resize(500, 200);
    auto *bar = new TLMKRibbonToolBar(&window);
    window.show();
    EXPECT_EQ(bar->geometry(), QRect(0, 25, 400, 94));
    bar->move(30, 60);
    EXPECT_EQ(bar->pos(), QPoint(0, 25));
    bar->resize(300, 50);
    EXPECT_EQ(bar->size(), QSize(300, 94));
}

}  // namespace
