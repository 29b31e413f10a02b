// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's tests run in a private home folder with pictures made for them.
#pragma once

#include "app/Unit_Lumikon.h"
#include "controls/TVistaGradPanel.h"
#include "imaging/PictureFiles.h"
#include "tests/support/TestFiles.h"

#include <QTest>
#include <gtest/gtest.h>

namespace lmktest {

class MainWindowHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("HOME", QFile::encodeName(Home.Root()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Home.Path("config")));
        qunsetenv("XDG_DOCUMENTS_DIR");
    }
    QString Documents() const { return Home.Path("Documents/LMK Lumikon"); }
    // A one-colour PNG file of w × h pixels.
    QString Picture(int w, int h, const QString &name = QStringLiteral("bild.png"))
    {
        lmk::Bitmap picture(w, h, lmk::PixelFormat::pf24bit);
        picture.Fill(90, 120, 150);
        const QString path = Home.Path(name);
        lmk::EncodePngFile(picture, path, 72);
        return path;
    }
    // An edit of 10 x 20 pixels, told apart from the opened picture by its size.
    static lmk::Bitmap Edited()
    {
        lmk::Bitmap picture(10, 20, lmk::PixelFormat::pf24bit);
        picture.Fill(1, 2, 3);
        return picture;
    }
    // The text of a status field: "StatusBar_Quelle", "StatusBar_Size" or "StatusBar_DPI".
    static QString StatusText(lmk::TForm_Lumikon &window, const char *field)
    {
        const auto *panel = window.findChild<lmk::TVistaGradPanel *>(QString::fromLatin1(field));
        return panel ? panel->Caption() : QStringLiteral("<no field %1>").arg(QString::fromLatin1(field));
    }

    // A key press as the user makes it: it goes to the control that has the focus.
    static void PressKey(QWidget &window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, Qt::Key(key), modifiers);
    }

    TempFolder Home;
};

}  // namespace lmktest
