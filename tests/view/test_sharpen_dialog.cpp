// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKDsgGroupBox.h"
#include "imaging/Bitmap.h"
#include "imaging/Unit_Graph.h"
#include "tests/support/Pixels.h"
#include "view/TPicturePreview.h"
#include "view/Unit_DLG_Sharpen.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>

using namespace lmk;
using lmktest::Bgr;

namespace {

// A 32-bit picture with fine detail, so that sharpening changes it at every strength used.
Bitmap Detailed(int width, int height)
{
    Bitmap picture(width, height, PixelFormat::pf32bit);
    picture.Fill(0, 0, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            lmktest::Set(picture, x, y, Bgr{((x / 3 + y / 2) % 2) * 120 + 60, (x * 7 + y * 3) % 200 + 20, (x * y) % 180 + 40});
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

Bitmap SharpenedCopy(const Bitmap &picture, int strength)
{
    Bitmap copy = picture;
    copy.SetFormat(PixelFormat::pf24bit);
    if (strength > 0)
        Sharpen(copy, float(strength));
    return copy;
}

QString WithoutMnemonic(QString text) { return text.remove('&'); }

TEST(SharpenDialog, OpensWithStrengthTwoAppliedAndOKEnabled)
{
    const Bitmap picture = Detailed(40, 30);
    TDLG_Sharpen dialog(nullptr, picture);
    EXPECT_EQ(dialog.windowTitle(), "Bild schärfen");
    EXPECT_EQ(dialog.ScrollBox_Sharpen->size(), QSize(305, 305));
    EXPECT_EQ(dialog.GroupBox_Sharpen->Caption(), " Schärfe ");
    EXPECT_TRUE(dialog.GroupBox_Sharpen->isAncestorOf(dialog.TrackBar_Sharpen));
    EXPECT_TRUE(dialog.GroupBox_Sharpen->isAncestorOf(dialog.Label_Position_Sharpen));
    EXPECT_EQ(dialog.TrackBar_Sharpen->minimum(), 0);
    EXPECT_EQ(dialog.TrackBar_Sharpen->maximum(), 4);
    EXPECT_EQ(dialog.TrackBar_Sharpen->value(), 2);
    EXPECT_EQ(dialog.Label_Position_Sharpen->text(), "2");
    EXPECT_EQ(WithoutMnemonic(dialog.Button_OK->text()), "Übernehmen");
    EXPECT_EQ(dialog.Button_Cancel->text(), "Abbrechen");
    EXPECT_EQ(WithoutMnemonic(dialog.Button_Help->text()), "Hilfe");
    EXPECT_TRUE(dialog.Button_OK->isEnabled());

    const Bitmap expected = SharpenedCopy(picture, 2);
    ASSERT_FALSE(SamePixels(expected, SharpenedCopy(picture, 0)));  // the fixture shows sharpening
    EXPECT_TRUE(SamePixels(dialog.GetSharpenBitmap(), expected));
    // The preview paints the result itself, at 100 %.
    EXPECT_EQ(dialog.Image_Sharpen->Picture(), &dialog.GetSharpenBitmap());
    EXPECT_EQ(dialog.Image_Sharpen->size(), QSize(40, 30));
}

TEST(SharpenDialog, EachPositionStartsFromTheUnsharpenedPicture)
{
    const Bitmap picture = Detailed(50, 40);
    TDLG_Sharpen dialog(nullptr, picture);
    dialog.show();
    for (int position : {3, 4, 2, 0, 1, 3}) {
        dialog.TrackBar_Sharpen->setValue(position);
        EXPECT_EQ(dialog.Label_Position_Sharpen->text(), QString::number(position));
        EXPECT_TRUE(SamePixels(dialog.GetSharpenBitmap(), SharpenedCopy(picture, position))) << position;
        EXPECT_EQ(dialog.Image_Sharpen->Picture(), &dialog.GetSharpenBitmap());
    }
}

TEST(SharpenDialog, PositionZeroShowsThePictureUnchangedAndDisablesOK)
{
    const Bitmap picture = Detailed(50, 40);
    TDLG_Sharpen dialog(nullptr, picture);
    dialog.show();
    dialog.TrackBar_Sharpen->setFocus();
    QTest::keyClick(dialog.TrackBar_Sharpen, Qt::Key_Home);
    EXPECT_EQ(dialog.TrackBar_Sharpen->value(), 0);
    EXPECT_TRUE(SamePixels(dialog.GetSharpenBitmap(), SharpenedCopy(picture, 0)));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Button_OK->isEnabled(), 300 + 100);
    QTest::keyClick(dialog.TrackBar_Sharpen, Qt::Key_Right);
    EXPECT_EQ(dialog.TrackBar_Sharpen->value(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(dialog.Button_OK->isEnabled(), 300 + 100);
}

TEST(SharpenDialog, TheCallersPictureStaysAsItWas)
{
    const Bitmap picture = Detailed(30, 20);
    const Bitmap before = picture;
    Bitmap result;
    {
        TDLG_Sharpen dialog(nullptr, picture);
        QTimer::singleShot(0, &dialog, [&] {
            dialog.TrackBar_Sharpen->setValue(4);
            dialog.Button_OK->click();
        });
        ASSERT_EQ(dialog.exec(), QDialog::Accepted);
        result = dialog.GetSharpenBitmap();
    }
    EXPECT_TRUE(SamePixels(picture, before));  // still 32 bits, every byte the same
    EXPECT_EQ(picture.Format(), PixelFormat::pf32bit);
    EXPECT_TRUE(SamePixels(result, SharpenedCopy(before, 4)));
}

TEST(SharpenDialog, ALargePictureOpensScrolledToItsMiddle)
{
    const Bitmap picture = Detailed(1000, 800);
    TDLG_Sharpen dialog(nullptr, picture);
    dialog.show();
    const QScrollBar *horizontal = dialog.ScrollBox_Sharpen->horizontalScrollBar();
    const QScrollBar *vertical = dialog.ScrollBox_Sharpen->verticalScrollBar();
    EXPECT_GT(horizontal->maximum(), 600);
    EXPECT_GT(vertical->maximum(), 400);
    EXPECT_EQ(horizontal->value(), horizontal->maximum() / 2);
    EXPECT_EQ(vertical->value(), vertical->maximum() / 2);
    EXPECT_EQ(dialog.Image_Sharpen->size(), QSize(1000, 800));
}

TEST(SharpenDialog, EscapeCancels)
{
    const Bitmap picture = Detailed(20, 20);
    TDLG_Sharpen dialog(nullptr, picture);
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

}  // namespace
