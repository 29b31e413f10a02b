// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpContexts.h"
#include "app/Unit_Help.h"
#include "app/Unit_Var.h"
#include "controls/TLMKDsgGroupBox.h"
#include "imaging/Bitmap.h"
#include "imaging/Canvas.h"
#include "imaging/Unit_Graph.h"
#include "tests/support/Pixels.h"
#include "view/TPicturePreview.h"
#include "view/Unit_DLG_Editor.h"
#include "view/Unit_DLG_Resolution.h"
#include "view/Unit_DLG_Sharpen.h"
#include "tests/support/ModalDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

using namespace lmk;
using lmktest::Bgr;

namespace {

constexpr TOneBasedArray<int, 6> kDefaults{{0, 0, 100, 7500, 7500, 7500}};

// Smooth colour ramps: neighbouring pixels differ little, as in a photo.
Bitmap Ramps(int width, int height)
{
    Bitmap picture(width, height, PixelFormat::pf32bit);
    picture.Fill(0, 0, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            lmktest::Set(picture, x, y, Bgr{x * 255 / width, y * 255 / height, (x + y) * 127 / (width + height) + 64});
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

// The largest difference of one channel between two pictures of the same size.
int LargestDifference(const Bitmap &a, const Bitmap &b)
{
    int largest = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const Bgr p = lmktest::At(a, x, y), q = lmktest::At(b, x, y);
            largest = std::max({largest, std::abs(p.b - q.b), std::abs(p.g - q.g), std::abs(p.r - q.r)});
        }
    return largest;
}

// The adjustment worked out step by step, independently of the dialog: a halftone copy of the
// picture onto itself with brightness, contrast and gamma + 2500, then Saturate.
Bitmap Adjusted(Bitmap picture, const TAdjustValues &v)
{
    picture.SetFormat(PixelFormat::pf24bit);
    Canvas canvas(picture);
    TColorAdjustment record;
    record.Brightness = std::int16_t(v.Brightness);
    record.Contrast = std::int16_t(v.Contrast);
    record.RedGamma = std::uint16_t(v.RedGamma + 2500);
    record.GreenGamma = std::uint16_t(v.GreenGamma + 2500);
    record.BlueGamma = std::uint16_t(v.BlueGamma + 2500);
    canvas.SetColorAdjustment(record);
    canvas.Stretch = StretchMode::Halftone;
    const QRect whole(0, 0, picture.Width(), picture.Height());
    canvas.CopyRect(whole, canvas, whole);
    if (v.Saturation != 100)
        Saturate(picture, v.Saturation);
    return picture;
}

void SetValues(TDLG_Editor &dialog, const TAdjustValues &v)
{
    dialog.TrackBar_Brightness->setValue(v.Brightness);
    dialog.TrackBar_Contrast->setValue(v.Contrast);
    dialog.TrackBar_Saturation->setValue(v.Saturation);
    dialog.TrackBar_RedGamma->setValue(v.RedGamma);
    dialog.TrackBar_GreenGamma->setValue(v.GreenGamma);
    dialog.TrackBar_BlueGamma->setValue(v.BlueGamma);
}

QStringList LabelTexts(const TDLG_Editor &dialog)
{
    return {dialog.Label_Position_Brightness->text(), dialog.Label_Position_Contrast->text(),
            dialog.Label_Position_Saturation->text(), dialog.Label_Position_RedGamma->text(),
            dialog.Label_Position_GreenGamma->text(), dialog.Label_Position_BlueGamma->text()};
}

QString WithoutMnemonic(QString text) { return text.remove('&'); }

// Every test starts from the settings of a first run.
class EditorDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        EditKeep = false;
        EditValue = kDefaults;
    }
};

const TAdjustValues kStrong{30, 25, 150, 9000, 7500, 6000};

TEST_F(EditorDialogTest, ControlsAndLabelsAtTheDefaults)
{
    TDLG_Editor dialog(nullptr, Ramps(100, 80));
    EXPECT_EQ(dialog.windowTitle(), "Farben, Helligkeit und Kontrast anpassen");
    struct {
        TLMKDsgGroupBox *box;
        const char *caption;
        QWidget *inside;
    } const groups[] = {{dialog.GroupBox_Source, " Vorher ", dialog.Image_Source},
                        {dialog.GroupBox_Dest, " Nachher ", dialog.Image_Dest},
                        {dialog.GroupBox_Brightness, " Helligkeit ", dialog.TrackBar_Brightness},
                        {dialog.GroupBox_Contrast, " Kontrast ", dialog.TrackBar_Contrast},
                        {dialog.GroupBox_Saturation, " Sättigung ", dialog.TrackBar_Saturation},
                        {dialog.GroupBox_ColorBalance, " Farbbalance ", dialog.TrackBar_BlueGamma}};
    for (const auto &g : groups) {
        EXPECT_EQ(g.box->Caption(), g.caption);
        EXPECT_TRUE(g.box->isAncestorOf(g.inside)) << g.caption;
    }
    struct {
        QSlider *slider;
        int minimum, maximum, position;
    } const sliders[] = {{dialog.TrackBar_Brightness, -100, 100, 0},  {dialog.TrackBar_Contrast, -100, 100, 0},
                         {dialog.TrackBar_Saturation, 0, 200, 100},    {dialog.TrackBar_RedGamma, 0, 15000, 7500},
                         {dialog.TrackBar_GreenGamma, 0, 15000, 7500}, {dialog.TrackBar_BlueGamma, 0, 15000, 7500}};
    for (const auto &s : sliders) {
        EXPECT_EQ(s.slider->minimum(), s.minimum) << s.slider->objectName().toStdString();
        EXPECT_EQ(s.slider->maximum(), s.maximum) << s.slider->objectName().toStdString();
        EXPECT_EQ(s.slider->value(), s.position) << s.slider->objectName().toStdString();
    }
    EXPECT_EQ(LabelTexts(dialog), QStringList({"0", "0", "50", "0", "0", "0"}));
    EXPECT_EQ(WithoutMnemonic(dialog.Label_Red->text()), "Rot");
    EXPECT_EQ(WithoutMnemonic(dialog.Label_Green->text()), "Grün");
    EXPECT_EQ(WithoutMnemonic(dialog.Label_Blue->text()), "Blau");
    EXPECT_EQ(WithoutMnemonic(dialog.CheckBox_Keep->text()), "Einstellungen beibehalten");
    EXPECT_EQ(WithoutMnemonic(dialog.Button_Back->text()), "Zurücksetzen");
    EXPECT_EQ(WithoutMnemonic(dialog.Button_OK->text()), "Übernehmen");
    EXPECT_EQ(dialog.Button_Cancel->text(), "Abbrechen");
    EXPECT_EQ(WithoutMnemonic(dialog.Button_Help->text()), "Hilfe");
    EXPECT_EQ(dialog.Image_Source->size(), QSize(240, 270));
    EXPECT_EQ(dialog.Image_Dest->size(), QSize(240, 270));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    // It fits a screen of 800 x 600 with room for the title bar.
    EXPECT_LE(dialog.width(), 800);
    EXPECT_LE(dialog.height(), 600 - 40);
}

TEST_F(EditorDialogTest, LabelFormulas)
{
    TDLG_Editor dialog(nullptr, Ramps(20, 20));
    struct {
        QSlider *slider;
        QLabel *label;
        int position;
        const char *text;
    } const cases[] = {
        {dialog.TrackBar_RedGamma, dialog.Label_Position_RedGamma, 149, "-50"},
        {dialog.TrackBar_RedGamma, dialog.Label_Position_RedGamma, 150, "-49"},
        {dialog.TrackBar_GreenGamma, dialog.Label_Position_GreenGamma, 0, "-50"},
        {dialog.TrackBar_BlueGamma, dialog.Label_Position_BlueGamma, 15000, "50"},
        {dialog.TrackBar_BlueGamma, dialog.Label_Position_BlueGamma, 7649, "0"},
        {dialog.TrackBar_Saturation, dialog.Label_Position_Saturation, 0, "0"},
        {dialog.TrackBar_Saturation, dialog.Label_Position_Saturation, 199, "99"},
        {dialog.TrackBar_Saturation, dialog.Label_Position_Saturation, 200, "100"},
        {dialog.TrackBar_Brightness, dialog.Label_Position_Brightness, -37, "-37"},
        {dialog.TrackBar_Contrast, dialog.Label_Position_Contrast, 100, "100"},
    };
    for (const auto &c : cases) {
        c.slider->setValue(c.position);
        EXPECT_EQ(c.label->text(), c.text) << c.slider->objectName().toStdString() << " " << c.position;
    }
}

TEST_F(EditorDialogTest, KeptValuesRenderAtOnce)
{
    EditKeep = true;
    EditValue = {{kStrong.Brightness, kStrong.Contrast, kStrong.Saturation, kStrong.RedGamma, kStrong.GreenGamma,
                  kStrong.BlueGamma}};
    TDLG_Editor dialog(nullptr, Ramps(120, 90));
    EXPECT_TRUE(dialog.CheckBox_Keep->isChecked());
    EXPECT_EQ(dialog.TrackBar_Saturation->value(), 150);
    EXPECT_EQ(LabelTexts(dialog), QStringList({"30", "25", "75", "10", "0", "-10"}));
    const Bitmap &before = *dialog.Image_Source->Picture();
    ASSERT_NE(dialog.Image_Dest->Picture(), nullptr);
    const Bitmap expected = Adjusted(before, kStrong);
    ASSERT_FALSE(SamePixels(expected, before));
    EXPECT_TRUE(SamePixels(*dialog.Image_Dest->Picture(), expected));
}

TEST_F(EditorDialogTest, WithoutKeepTheStoredValuesWaitAndTheAfterPreviewIsTheBeforePreview)
{
    EditValue = {{30, 25, 150, 9000, 7500, 6000}};
    TDLG_Editor dialog(nullptr, Ramps(120, 90));
    EXPECT_FALSE(dialog.CheckBox_Keep->isChecked());
    EXPECT_EQ(LabelTexts(dialog), QStringList({"0", "0", "50", "0", "0", "0"}));
    ASSERT_NE(dialog.Image_Dest->Picture(), nullptr);
    EXPECT_TRUE(SamePixels(*dialog.Image_Dest->Picture(), *dialog.Image_Source->Picture()));
}

TEST_F(EditorDialogTest, StoredValuesOutsideTheRangesStopAtTheLimits)
{
    EditKeep = true;
    EditValue = {{500, -500, 300, 20000, -1, 7500}};
    TDLG_Editor dialog(nullptr, Ramps(20, 20));
    EXPECT_EQ(dialog.Values().Brightness, 100);
    EXPECT_EQ(dialog.Values().Contrast, -100);
    EXPECT_EQ(dialog.Values().Saturation, 200);
    EXPECT_EQ(dialog.Values().RedGamma, 15000);
    EXPECT_EQ(dialog.Values().GreenGamma, 0);
}

TEST_F(EditorDialogTest, MovedSlidersReachTheAfterPreviewWithoutPilingUp)
{
    TDLG_Editor dialog(nullptr, Ramps(120, 90));
    dialog.show();
    const Bitmap before = *dialog.Image_Source->Picture();
    dialog.TrackBar_Brightness->setValue(40);
    dialog.TrackBar_Brightness->setValue(20);
    const Bitmap expected = Adjusted(before, {20, 0, 100, 7500, 7500, 7500});
    QTRY_VERIFY_WITH_TIMEOUT(SamePixels(*dialog.Image_Dest->Picture(), expected), 100 + 100);
    SetValues(dialog, kStrong);
    const Bitmap strong = Adjusted(before, kStrong);
    QTRY_VERIFY_WITH_TIMEOUT(SamePixels(*dialog.Image_Dest->Picture(), strong), 100 + 100);
    // Back at neutral positions, the after-preview is the before-preview again.
    SetValues(dialog, {});
    QTRY_VERIFY_WITH_TIMEOUT(SamePixels(*dialog.Image_Dest->Picture(), before), 100 + 100);
    EXPECT_TRUE(SamePixels(*dialog.Image_Source->Picture(), before));
}

TEST_F(EditorDialogTest, ResetGoesBackToTheDefaults)
{
    EditKeep = true;
    EditValue = {{-20, 40, 30, 1000, 12000, 3000}};
    TDLG_Editor dialog(nullptr, Ramps(120, 90));
    dialog.show();
    ASSERT_FALSE(SamePixels(*dialog.Image_Dest->Picture(), *dialog.Image_Source->Picture()));
    dialog.Button_Back->click();
    EXPECT_EQ(LabelTexts(dialog), QStringList({"0", "0", "50", "0", "0", "0"}));
    EXPECT_EQ(dialog.Values().Saturation, 100);
    EXPECT_EQ(dialog.Values().BlueGamma, 7500);
    QTRY_VERIFY_WITH_TIMEOUT(SamePixels(*dialog.Image_Dest->Picture(), *dialog.Image_Source->Picture()), 100 + 100);
    EXPECT_TRUE(dialog.CheckBox_Keep->isChecked());  // the check box is not a slider
}

TEST_F(EditorDialogTest, TheSettingsAreStoredOnEveryClose)
{
    struct {
        const char *name;
        bool accept;
    } const cases[] = {{"OK", true}, {"Cancel", false}};
    for (const auto &c : cases) {
        SetUp();
        {
            TDLG_Editor dialog(nullptr, Ramps(60, 40));
            QTimer::singleShot(0, &dialog, [&] {
                dialog.CheckBox_Keep->setChecked(true);
                SetValues(dialog, kStrong);
                QTest::keyClick(&dialog, c.accept ? Qt::Key_Return : Qt::Key_Escape);
            });
            EXPECT_EQ(dialog.exec(), c.accept ? QDialog::Accepted : QDialog::Rejected) << c.name;
        }
        EXPECT_TRUE(EditKeep) << c.name;
        EXPECT_EQ(EditValue, (TOneBasedArray<int, 6>{{30, 25, 150, 9000, 7500, 6000}})) << c.name;
    }
    // Positions are stored also when the check box is off; they wait for the next Keep.
    {
        EditKeep = true;
        TDLG_Editor dialog(nullptr, Ramps(60, 40));
        dialog.CheckBox_Keep->setChecked(false);
        dialog.TrackBar_Contrast->setValue(-60);
    }
    EXPECT_FALSE(EditKeep);
    EXPECT_EQ(EditValue[2], -60);
}

TEST_F(EditorDialogTest, AtTheDefaultsTheResultIsThePicture)
{
    Bitmap picture = Ramps(300, 200);
    TDLG_Editor dialog(nullptr, picture);
    Bitmap expected = picture;
    expected.SetFormat(PixelFormat::pf24bit);
    EXPECT_TRUE(SamePixels(dialog.GetAdjustBitmap(), expected));
    EXPECT_EQ(picture.Format(), PixelFormat::pf32bit);  // the caller's picture is not touched
}

// A picture that fits the preview is its own preview, so the preview shows exactly the result.
TEST_F(EditorDialogTest, ASmallPicturesResultIsItsAfterPreview)
{
    for (const QSize size : {QSize(200, 150), QSize(240, 100), QSize(100, 270)}) {
        TDLG_Editor dialog(nullptr, Ramps(size.width(), size.height()));
        dialog.show();
        SetValues(dialog, kStrong);
        QTRY_VERIFY_WITH_TIMEOUT(!SamePixels(*dialog.Image_Dest->Picture(), *dialog.Image_Source->Picture()),
                                 100 + 100);
        const Bitmap result = dialog.GetAdjustBitmap();
        EXPECT_EQ(dialog.Image_Source->Picture()->Width(), size.width());
        EXPECT_TRUE(SamePixels(result, *dialog.Image_Dest->Picture())) << size.width() << " x " << size.height();
        EXPECT_TRUE(SamePixels(dialog.GetAdjustBitmap(), result));  // asking twice gives the same
    }
}

// A large picture: the halftone copy maps every pixel through the same curves, but averaging
// before or after the curves rounds differently, so the scaled result and the preview may
// differ by a few levels on smooth content.
TEST_F(EditorDialogTest, TheFullSizeResultAgreesWithThePreview)
{
    TDLG_Editor dialog(nullptr, Ramps(960, 720));
    dialog.show();
    SetValues(dialog, kStrong);
    QTRY_VERIFY_WITH_TIMEOUT(!SamePixels(*dialog.Image_Dest->Picture(), *dialog.Image_Source->Picture()), 100 + 100);
    const Bitmap result = dialog.GetAdjustBitmap();
    EXPECT_EQ(result.Width(), 960);
    EXPECT_EQ(result.Height(), 720);
    Bitmap scaled;
    ScaledCopy(result, scaled, TDLG_Editor::kPreviewWidth, TDLG_Editor::kPreviewHeight);
    const Bitmap &preview = *dialog.Image_Dest->Picture();
    ASSERT_EQ(scaled.Width(), preview.Width());
    ASSERT_EQ(scaled.Height(), preview.Height());
    EXPECT_LE(LargestDifference(scaled, preview), 2);
}

TEST_F(EditorDialogTest, PreviewsStayInsideTheirBox)
{
    struct {
        int width, height;
        QSize preview;
    } const cases[] = {{100, 50, {100, 50}},  {480, 300, {240, 150}}, {300, 480, {169, 270}},
                       {500, 520, {239, 249}}, {2000, 2001, {240, 240}}, {260, 270, {240, 249}}};
    for (const auto &c : cases) {
        TDLG_Editor dialog(nullptr, Ramps(c.width, c.height));
        const Bitmap &preview = *dialog.Image_Source->Picture();
        EXPECT_EQ(QSize(preview.Width(), preview.Height()), c.preview) << c.width << " x " << c.height;
    }
}

// The resize, adjustment and sharpen dialogs: "Hilfe" (and F1) opens the help at the dialog's own
// topic and the dialog stays open.
TEST_F(EditorDialogTest, EachToolDialogsHelpOpensItsTopic)
{
    lmktest::TMessageBoxAnswerer answerer("OK");
    HelpFileName = QStringLiteral(LUMIKON_BINARY_DIR "/Lumikon.chm");
    Bitmap picture = Ramps(40, 30);
    struct {
        const char *name;
        std::function<std::unique_ptr<QDialog>()> make;
        int context;
    } const cases[] = {
        {"Resolution", [&] { return std::make_unique<TDLG_Resolution>(nullptr, picture); }, help::Resolution},
        {"Editor", [&] { return std::make_unique<TDLG_Editor>(nullptr, picture); }, help::Editor},
        {"Sharpen", [&] { return std::make_unique<TDLG_Sharpen>(nullptr, picture); }, help::Sharpen},
    };
    QStringList topics;
    for (const auto &c : cases) {
        for (const bool byKey : {false, true}) {
            const std::unique_ptr<QDialog> dialog = c.make();
            dialog->show();
            dialog->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
            if (HelpWindow())
                HelpWindow()->ShowTopic(QStringLiteral("/index.html"));
            if (byKey)
                QTest::keyClick(dialog.get(), Qt::Key_F1);
            else
                dialog->findChild<QPushButton *>("Button_Help")->click();
            ASSERT_NE(HelpWindow(), nullptr) << c.name;
            EXPECT_EQ(HelpWindow()->CurrentTopic(), HelpWindow()->HelpFile().TopicOfContext(c.context)) << c.name;
            EXPECT_TRUE(dialog->isVisible()) << c.name;
        }
        topics << HelpWindow()->CurrentTopic();
    }
    EXPECT_EQ(topics.size(), QSet<QString>(topics.begin(), topics.end()).size());  // three different pages
    EXPECT_EQ(answerer.Texts, QStringList());
    HelpWindow()->close();
}

}  // namespace
