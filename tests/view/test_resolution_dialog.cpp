// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Bitmap.h"
#include "imaging/Unit_Graph.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/Pixels.h"
#include "view/Unit_DLG_Resolution.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace lmk;
using lmktest::Bgr;

namespace {

using Check = TDLG_Resolution::TSizeCheck;

// A picture with detail in every pixel, so the interpolation modes give different results.
Bitmap Pattern(int width, int height)
{
    Bitmap picture(width, height, PixelFormat::pf32bit);
    picture.Fill(0, 0, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            lmktest::Set(picture, x, y, Bgr{(x * 37 + y * 11) % 256, (x * x + 3 * y) % 256, ((x ^ y) * 29) % 256});
    return picture;
}

bool SamePixels(const Bitmap &a, const Bitmap &b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), std::size_t(a.Width()) * a.BytesPerPixel()) != 0)
            return false;
    return true;
}

QString WithoutMnemonic(QString text) { return text.remove('&'); }

int RunModal(QDialog &dialog, const std::function<void()> &action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.exec();
}

// The dialog shown and active, so the edits can take the keyboard focus.
void ShowActive(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Puts the focus into the edit and types `keys` over its whole text, as a user would.
void TypeInto(QLineEdit *edit, const QString &keys)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(edit->window()));
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, keys);
}

TEST(ResolutionDialog, OpensWithThePictureSizeAndItsControls)
{
    Bitmap picture(1600, 1200, PixelFormat::pf32bit);
    picture.Fill(10, 20, 30);
    TDLG_Resolution dialog(nullptr, picture);
    EXPECT_EQ(dialog.windowTitle(), "Bildgröße ändern");
    EXPECT_EQ(WithoutMnemonic(dialog.Label_Width->text()), "Breite:");
    EXPECT_EQ(WithoutMnemonic(dialog.Label_Height->text()), "Höhe:");
    EXPECT_EQ(dialog.Label_Width->buddy(), dialog.Edit_Width);
    EXPECT_EQ(dialog.Label_Height->buddy(), dialog.Edit_Height);
    EXPECT_EQ(dialog.Edit_Width->text(), "1600");
    EXPECT_EQ(dialog.Edit_Height->text(), "1200");
    EXPECT_EQ(WithoutMnemonic(dialog.CheckBox_Proportional->text()), "Proportionen beibehalten");
    EXPECT_TRUE(dialog.CheckBox_Proportional->isChecked());
    EXPECT_EQ(WithoutMnemonic(dialog.Label_InterpolationMode->text()), "Interpolationsmodus:");
    QStringList entries;
    for (int i = 0; i < dialog.ComboBox_InterpolationMode->count(); ++i)
        entries << dialog.ComboBox_InterpolationMode->itemText(i);
    EXPECT_EQ(entries, QStringList({"HighQuality", "HighQualityBicubic", "HighQualityBilinear"}));
    EXPECT_EQ(dialog.ComboBox_InterpolationMode->currentText(), "HighQualityBicubic");
    EXPECT_FALSE(dialog.ComboBox_InterpolationMode->isEditable());
    EXPECT_EQ(WithoutMnemonic(dialog.Button_OK->text()), "Übernehmen");
    EXPECT_EQ(dialog.Button_Cancel->text(), "Abbrechen");
    EXPECT_EQ(dialog.Button_Help->text(), "?");
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

struct CouplingCase {
    const char *name;
    bool heightFocused;  // else the width edit is typed into
    bool proportional;
    const char *typed;
    const char *width, *height;  // both edits afterwards
};

class ResolutionCouplingTest : public testing::TestWithParam<CouplingCase> {};

TEST_P(ResolutionCouplingTest, TheFocusedEditDrivesTheOther)
{
    const CouplingCase &c = GetParam();
    Bitmap picture(1600, 1200, PixelFormat::pf32bit);
    picture.Fill(0, 0, 0);
    TDLG_Resolution dialog(nullptr, picture);
    ShowActive(dialog);
    dialog.CheckBox_Proportional->setChecked(c.proportional);
    TypeInto(c.heightFocused ? dialog.Edit_Height : dialog.Edit_Width, QString::fromUtf8(c.typed));
    EXPECT_EQ(dialog.Edit_Width->text(), c.width);
    EXPECT_EQ(dialog.Edit_Height->text(), c.height);
    EXPECT_EQ(picture.Width(), 1600);  // nothing changes before OK
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolutionCouplingTest,
    testing::Values(CouplingCase{"Width800", false, true, "800", "800", "600"},
                    CouplingCase{"Width1RoundsUp", false, true, "1", "1", "1"},         // Round(0.75)
                    CouplingCase{"Width3RoundsDown", false, true, "3", "3", "2"},       // Round(2.25)
                    CouplingCase{"Width2HalfToEven", false, true, "2", "2", "2"},       // Round(1.5)
                    CouplingCase{"Height600", true, true, "600", "800", "600"},
                    CouplingCase{"Height3", true, true, "3", "4", "3"},
                    CouplingCase{"Height5", true, true, "5", "7", "5"},                 // Round(6.67)
                    CouplingCase{"OnlyDigitsGoIn", false, true, "8x0-0 ", "800", "600"},
                    CouplingCase{"Unchecked", false, false, "800", "800", "1200"},
                    CouplingCase{"UncheckedHeight", true, false, "10", "1600", "10"},
                    // Emptied: the other edit keeps the value of the last digit typed away.
                    CouplingCase{"Emptied", false, true, "8\b", "", "6"},
                    // 74999999 belongs to 99999999; a width of 999999999 could not be a picture's
                    // side at all, so the height is left from there on instead of growing into
                    // ever larger numbers.
                    CouplingCase{"HugeWidthStopsDriving", false, true, "99999999999", "99999999999", "74999999"}),
    [](const testing::TestParamInfo<CouplingCase> &info) { return std::string(info.param.name); });

TEST(ResolutionDialog, AnEditWithoutFocusDrivesNothing)
{
    Bitmap picture(1600, 1200, PixelFormat::pf32bit);
    picture.Fill(0, 0, 0);
    TDLG_Resolution dialog(nullptr, picture);
    ShowActive(dialog);
    dialog.Edit_Height->setFocus();
    dialog.Edit_Width->setText("800");
    EXPECT_EQ(dialog.Edit_Height->text(), "1200");
    dialog.Button_OK->setFocus();
    dialog.Edit_Height->setText("300");
    EXPECT_EQ(dialog.Edit_Width->text(), "800");
}

TEST(ResolutionDialog, CoupledSizeKeepsLargeNumbersIn64Bits)
{
    // 100000 x 46341 overflows 32 bits; the result still follows the picture's proportion.
    EXPECT_EQ(TDLG_Resolution::CoupledSize(100000, 46341, 46340), 99998);
    EXPECT_EQ(TDLG_Resolution::CoupledSize(268435456, 1, 1), 268435456);  // the longest possible side
    EXPECT_EQ(TDLG_Resolution::CoupledSize(268435457, 1, 1), std::nullopt);
    EXPECT_EQ(TDLG_Resolution::CoupledSize(200000000, 1, 2), std::nullopt);  // result too long
    EXPECT_EQ(TDLG_Resolution::ParseSize("99999999999999999999999999999"), std::int64_t(1) << 40);
    EXPECT_EQ(TDLG_Resolution::ParseSize(""), std::nullopt);
    EXPECT_EQ(TDLG_Resolution::ParseSize("00120"), 120);
}

TEST(ResolutionDialog, SizeChecksInTheirOrder)
{
    struct {
        const char *width, *height;
        Check check;
    } const cases[] = {
        {"", "", Check::NotANumber},          {"", "0", Check::NotANumber},
        {"0", "", Check::NotANumber},         {"0", "5", Check::TooSmall},
        {"5", "0", Check::TooSmall},          {"1", "1", Check::Accepted},
        {"16384", "16384", Check::Accepted},  // exactly 1 GiB at 32 bits
        {"16385", "16384", Check::TooLarge},  {"2147483648", "1", Check::TooLarge},
        {"99999999999", "1200", Check::TooLarge},
        {"0", "99999999999", Check::TooSmall},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TDLG_Resolution::CheckSize(c.width, c.height), c.check) << c.width << " x " << c.height;
}

struct MessageCase {
    const char *name;
    const char *width, *height;
    const char *message;
};

class ResolutionMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ResolutionMessageTest, RefusedSizesAreReportedAndTheDialogStaysOpen)
{
    const MessageCase &c = GetParam();
    Bitmap picture = Pattern(160, 120);
    const Bitmap before = picture;
    TDLG_Resolution dialog(nullptr, picture);
    dialog.CheckBox_Proportional->setChecked(false);
    lmktest::TMessageBoxAnswerer answerer("OK");
    bool stayedOpen = false;
    const int result = RunModal(dialog, [&] {
        dialog.Edit_Width->setText(c.width);
        dialog.Edit_Height->setText(c.height);
        dialog.Button_OK->click();
        stayedOpen = dialog.isVisible() && dialog.result() == 0;
        EXPECT_EQ(dialog.Edit_Width->text(), c.width);
        EXPECT_EQ(dialog.Edit_Height->text(), c.height);
        dialog.Button_Cancel->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(answerer.Texts, QStringList{QString::fromUtf8(c.message)});
    EXPECT_EQ(answerer.Titles, QStringList{"Fehlermeldung"});
    EXPECT_TRUE(SamePixels(picture, before));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolutionMessageTest,
    testing::Values(MessageCase{"EmptyWidth", "", "120", "Die angegebenen Werte sind fehlerhaft!"},
                    MessageCase{"EmptyHeight", "160", "", "Die angegebenen Werte sind fehlerhaft!"},
                    MessageCase{"ZeroWidth", "0", "120", "Die neuen Abmessungen sind zu klein!"},
                    MessageCase{"ZeroHeight", "160", "0", "Die neuen Abmessungen sind zu klein!"},
                    MessageCase{"BeyondThirtyTwoBits", "99999999999", "120", "Die neuen Abmessungen sind zu groß!"},
                    MessageCase{"MoreThanOneGiB", "40000", "40000", "Die neuen Abmessungen sind zu groß!"}),
    [](const testing::TestParamInfo<MessageCase> &info) { return std::string(info.param.name); });

TEST(ResolutionDialog, OKResizesToExactlyTheTypedSizeWithTheChosenMode)
{
    const Bitmap original = Pattern(64, 48);
    {
        // The fixture tells the kernels apart, so a wrong mode could not pass unseen.
        Bitmap bicubic = original, bilinear = original;
        ResizeHighQuality(bicubic, 30, 17, false, InterpolationMode::HighQualityBicubic);
        ResizeHighQuality(bilinear, 30, 17, false, InterpolationMode::HighQualityBilinear);
        ASSERT_FALSE(SamePixels(bicubic, bilinear));
    }
    struct {
        const char *entry;
        InterpolationMode mode;
    } const cases[] = {{"HighQuality", InterpolationMode::HighQuality},
                       {"HighQualityBicubic", InterpolationMode::HighQualityBicubic},
                       {"HighQualityBilinear", InterpolationMode::HighQualityBilinear}};
    for (const auto &c : cases) {
        EXPECT_EQ(TDLG_Resolution::ModeFor(c.entry), c.mode);
        Bitmap picture = original;
        TDLG_Resolution dialog(nullptr, picture);
        const int result = RunModal(dialog, [&] {
            dialog.CheckBox_Proportional->setChecked(false);
            dialog.Edit_Width->setText("30");
            dialog.Edit_Height->setText("17");  // not the picture's proportion: taken as typed
            dialog.ComboBox_InterpolationMode->setCurrentText(c.entry);
            dialog.Button_OK->click();
        });
        EXPECT_EQ(result, QDialog::Accepted) << c.entry;
        Bitmap expected = original;
        ResizeHighQuality(expected, 30, 17, false, c.mode);
        EXPECT_EQ(picture.Width(), 30);
        EXPECT_EQ(picture.Height(), 17);
        EXPECT_TRUE(SamePixels(picture, expected)) << c.entry;
    }
}

TEST(ResolutionDialog, ReturnInAnEditConfirmsAndEscapeCancels)
{
    Bitmap picture = Pattern(160, 120);
    {
        TDLG_Resolution dialog(nullptr, picture);
        const int result = RunModal(dialog, [&] {
            TypeInto(dialog.Edit_Width, "80");
            QTest::keyClick(dialog.Edit_Width, Qt::Key_Return);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(picture.Width(), 80);
        EXPECT_EQ(picture.Height(), 60);
    }
    const Bitmap before = picture;
    TDLG_Resolution dialog(nullptr, picture);
    const int result = RunModal(dialog, [&] {
        TypeInto(dialog.Edit_Width, "20");
        QTest::keyClick(dialog.Edit_Width, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(SamePixels(picture, before));
}

}  // namespace
