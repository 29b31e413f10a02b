// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Message.h"
#include "app/Unit_Var.h"
#include "controls/TLMKDsgGroupBox.h"
#include "view/Unit_DLG_DPIValue.h"
#include "view/Unit_DLG_JPGQuality.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace lmk;

namespace {

// Runs the dialog modally, as the program does, and performs `action` once it is open.
int RunModal(QDialog &dialog, const std::function<void()> &action)
{
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        action();
    });
    return dialog.exec();
}

void PressKey(QDialog &dialog, Qt::Key key)
{
    QWidget *target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
    QTest::keyClick(target, key);
}

QString WithoutMnemonic(QString text) { return text.remove('&'); }

// Both dialogs are fixed in size and open in the middle of the screen.
void ExpectFixedAndCentred(QDialog &dialog)
{
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QPoint dialogCentre = dialog.geometry().center();
    EXPECT_LE((screenCentre - dialogCentre).manhattanLength(), 2);
}

TEST(JpegQualityDialog, TextsAndControls)
{
    JpegQuality = 100;
    TDLG_JPGQuality dialog;
    EXPECT_EQ(dialog.windowTitle(), "JPG-Komprimierung");
    EXPECT_EQ(dialog.Label_Caption->text(), "Bitte stellen Sie hier die Qualität des Bildes ein. Die Dateigröße kann "
                                            "durch eine geringere Qualität reduziert werden.");
    EXPECT_TRUE(dialog.Label_Caption->wordWrap());
    EXPECT_GT(dialog.Label_Caption->font().pixelSize(), dialog.Label_Min->font().pixelSize());
    EXPECT_EQ(dialog.GroupBox_Quality->Caption(), " Qualität ");
    EXPECT_EQ(dialog.GroupBox_Quality->BorderColor(), QColor(0x70, 0x70, 0x6E));
    EXPECT_TRUE(dialog.GroupBox_Quality->RoundEdges());
    EXPECT_EQ(dialog.Label_Min->text(), "Niedrig");
    EXPECT_EQ(dialog.Label_Max->text(), "Hoch");
    EXPECT_EQ(dialog.TrackBar_Quality->minimum(), 10);
    EXPECT_EQ(dialog.TrackBar_Quality->maximum(), 100);
    EXPECT_EQ(dialog.TrackBar_Quality->tickInterval(), 10);
    EXPECT_NE(dialog.TrackBar_Quality->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(dialog.Label_Position->text(), "100 %");
    EXPECT_EQ(dialog.Button_OK->text(), "OK");
    EXPECT_TRUE(dialog.Button_OK->isDefault());
    EXPECT_EQ(dialog.Button_Cancel->text(), "Abbrechen");
    EXPECT_EQ(WithoutMnemonic(dialog.Button_Help->text()), "Hilfe");
    for (QWidget *control : std::initializer_list<QWidget *>{dialog.TrackBar_Quality, dialog.Label_Min, dialog.Label_Max,
                                                             dialog.Label_Position})
        EXPECT_TRUE(dialog.GroupBox_Quality->isAncestorOf(control)) << control->objectName().toStdString();
    EXPECT_EQ(dialog.findChild<QSlider *>("TrackBar_Quality"), dialog.TrackBar_Quality);
    ExpectFixedAndCentred(dialog);
}

TEST(JpegQualityDialog, SliderArithmetic)
{
    struct {
        int quality, position;
    } const cases[] = {{1, 10}, {5, 10}, {9, 10}, {10, 10}, {55, 55}, {100, 100}, {250, 100}, {-3, 10}};
    for (const auto &c : cases)
        EXPECT_EQ(TDLG_JPGQuality::SliderPositionFor(c.quality), c.position) << c.quality;
    EXPECT_EQ(TDLG_JPGQuality::PositionText(55), "55 %");
    EXPECT_EQ(TDLG_JPGQuality::PositionText(100), "100 %");
}

enum class Close { OK, Cancel, Escape, Return, CloseBox };

struct JpegCase {
    const char *name;
    int stored;
    int slider;
    const char *label;
    int moveTo;  // 0: leave the slider
    Close close;
    int result;
    int storedAfter;
};

class JpegQualityRunTest : public testing::TestWithParam<JpegCase> {};

void CloseDialog(QDialog &dialog, QPushButton *ok, QPushButton *cancel, Close how)
{
    switch (how) {
    case Close::OK: ok->click(); break;
    case Close::Cancel: cancel->click(); break;
    case Close::Escape: PressKey(dialog, Qt::Key_Escape); break;
    case Close::Return: PressKey(dialog, Qt::Key_Return); break;
    case Close::CloseBox: dialog.close(); break;
    }
}

TEST_P(JpegQualityRunTest, OpensAtTheStoredQualityAndStoresOnlyOnOK)
{
    const JpegCase &c = GetParam();
    JpegQuality = c.stored;
    TDLG_JPGQuality dialog;
    EXPECT_EQ(dialog.TrackBar_Quality->value(), c.slider);
    EXPECT_EQ(dialog.Label_Position->text(), c.label);
    const int result = RunModal(dialog, [&] {
        if (c.moveTo) {
            dialog.TrackBar_Quality->setValue(c.moveTo);
            EXPECT_EQ(dialog.Label_Position->text(), TDLG_JPGQuality::PositionText(c.moveTo));
        }
        CloseDialog(dialog, dialog.Button_OK, dialog.Button_Cancel, c.close);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(JpegQuality, c.storedAfter);
    EXPECT_EQ(dialog.GetJPGQuality(), c.moveTo ? c.moveTo : c.slider);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JpegQualityRunTest,
    testing::Values(JpegCase{"KeepsFiftyFive", 55, 55, "55 %", 0, Close::OK, QDialog::Accepted, 55},
                    JpegCase{"LowStoredAsTen", 5, 10, "10 %", 0, Close::OK, QDialog::Accepted, 10},
                    JpegCase{"CancelKeepsLow", 5, 10, "10 %", 0, Close::Cancel, QDialog::Rejected, 5},
                    JpegCase{"MovedAndConfirmedWithReturn", 100, 100, "100 %", 73, Close::Return,
                             QDialog::Accepted, 73},
                    JpegCase{"EscapeCancels", 80, 80, "80 %", 30, Close::Escape, QDialog::Rejected, 80},
                    JpegCase{"CloseBoxCancels", 80, 80, "80 %", 30, Close::CloseBox, QDialog::Rejected, 80}),
    [](const testing::TestParamInfo<JpegCase> &info) { return std::string(info.param.name); });

TEST(JpegQualityDialog, ArrowKeysMoveTheFocusedSlider)
{
    JpegQuality = 50;
    TDLG_JPGQuality dialog;
    const int result = RunModal(dialog, [&] {
        ASSERT_EQ(dialog.focusWidget(), dialog.TrackBar_Quality);
        PressKey(dialog, Qt::Key_Right);
        PressKey(dialog, Qt::Key_PageUp);
        EXPECT_EQ(dialog.Label_Position->text(), "61 %");
        PressKey(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(JpegQuality, 61);
}

// "Hilfe" opens the help (or says why it cannot) and leaves the dialog open.
TEST(JpegQualityDialog, HelpKeepsTheDialogOpen)
{
    JpegQuality = 70;
    TDLG_JPGQuality dialog;
    bool openAfterHelp = false;
    const int result = RunModal(dialog, [&] {
        // A message about a missing help file is modal; answer it when it shows up.
        QTimer::singleShot(0, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->accept();
        });
        dialog.Button_Help->click();
        openAfterHelp = dialog.isVisible() && dialog.result() == 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window != &dialog && window->isVisible() && !window->inherits("QMessageBox"))
                window->close();
        dialog.Button_Cancel->click();
    });
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(JpegQuality, 70);
}

TEST(DpiDialog, TextsAndEntries)
{
    DpiIndex = 4;
    TDLG_DPIValue dialog;
    EXPECT_EQ(dialog.windowTitle(), "DPI");
    EXPECT_EQ(dialog.Label_Caption->text(), "Bitte wählen Sie hier einen DPI-Wert (Standard: 300)");
    EXPECT_EQ(WithoutMnemonic(dialog.Label_DPI->text()), "DPI:");
    EXPECT_EQ(dialog.Label_DPI->buddy(), dialog.ComboBox_DPI);
    QStringList entries;
    for (int i = 0; i < dialog.ComboBox_DPI->count(); ++i)
        entries << dialog.ComboBox_DPI->itemText(i);
    EXPECT_EQ(entries, QStringList({"100", "150", "200", "240", "300", "400", "600", "1200"}));
    EXPECT_FALSE(dialog.ComboBox_DPI->isEditable());
    EXPECT_EQ(dialog.ComboBox_DPI->maxVisibleItems(), 12);
    EXPECT_EQ(dialog.ComboBox_DPI->currentText(), "300");
    EXPECT_EQ(dialog.Button_OK->text(), "OK");
    EXPECT_TRUE(dialog.Button_OK->isDefault());
    EXPECT_EQ(dialog.Button_Cancel->text(), "Abbrechen");
    EXPECT_EQ(dialog.findChildren<QPushButton *>().size(), 2);  // no help button
    ExpectFixedAndCentred(dialog);
}

struct DpiCase {
    const char *name;
    int stored;
    const char *selected;
    const char *choose;  // nullptr: leave the selection
    Close close;
    int result;
    int storedAfter;
};

class DpiRunTest : public testing::TestWithParam<DpiCase> {};

TEST_P(DpiRunTest, OpensAtTheStoredIndexAndStoresOnlyOnOK)
{
    const DpiCase &c = GetParam();
    DpiIndex = c.stored;
    TDLG_DPIValue dialog;
    EXPECT_EQ(dialog.ComboBox_DPI->currentText(), c.selected);
    const int result = RunModal(dialog, [&] {
        if (c.choose)
            dialog.ComboBox_DPI->setCurrentIndex(dialog.ComboBox_DPI->findText(c.choose));
        CloseDialog(dialog, dialog.Button_OK, dialog.Button_Cancel, c.close);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(DpiIndex, c.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DpiRunTest,
    testing::Values(DpiCase{"ChooseTwoFortyFromTwelveHundred", 7, "1200", "240", Close::OK, QDialog::Accepted, 3},
                    DpiCase{"ReturnConfirms", 0, "100", "600", Close::Return, QDialog::Accepted, 6},
                    DpiCase{"CancelKeeps", 7, "1200", "240", Close::Cancel, QDialog::Rejected, 7},
                    DpiCase{"EscapeKeeps", 2, "200", "400", Close::Escape, QDialog::Rejected, 2},
                    DpiCase{"CloseBoxKeeps", 2, "200", "400", Close::CloseBox, QDialog::Rejected, 2},
                    // An index from outside the table never leaves the list without selection.
                    DpiCase{"OutOfRangeSelectsStandard", 9, "300", nullptr, Close::OK, QDialog::Accepted, 4}),
    [](const testing::TestParamInfo<DpiCase> &info) { return std::string(info.param.name); });

TEST(DpiDialog, KeyboardChoosesAnEntry)
{
    DpiIndex = 4;
    TDLG_DPIValue dialog;
    const int result = RunModal(dialog, [&] {
        ASSERT_EQ(dialog.focusWidget(), dialog.ComboBox_DPI);
        PressKey(dialog, Qt::Key_Down);
        PressKey(dialog, Qt::Key_Down);
        EXPECT_EQ(dialog.ComboBox_DPI->currentText(), "600");
        PressKey(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(DpiIndex, 6);
}

TEST(NoticeWindow, SmallToolWindowOnTopWithCentredMessage)
{
    const QString message = "Die Schriftarten werden geladen. Bitte warten Sie einen Augenblick, das kann "
                            "etwas dauern...";
    TForm_Message notice(nullptr, message);
    EXPECT_EQ(notice.windowTitle(), "Information");
    EXPECT_EQ(notice.size(), QSize(TForm_Message::kClientWidth, TForm_Message::kClientHeight));
    EXPECT_EQ(notice.minimumSize(), notice.maximumSize());
    const Qt::WindowFlags flags = notice.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    const auto *label = notice.findChild<QLabel *>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), message);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_EQ(notice.Message(), message);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    EXPECT_LE((notice.geometry().center() - screenCentre).manhattanLength(), 2);

    notice.ShowNow();
    EXPECT_TRUE(notice.isVisible());
    // The long message wraps inside the window instead of being cut off at its sides.
    EXPECT_LE(label->geometry().width(), TForm_Message::kClientWidth);
    EXPECT_GT(label->heightForWidth(label->width()), label->fontMetrics().height());
    EXPECT_LE(label->heightForWidth(label->width()), TForm_Message::kClientHeight);
}

}  // namespace
