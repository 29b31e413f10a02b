// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start and end in a private home folder, its status texts and its keys.
#include "app/HelpContexts.h"
#include "app/Unit_Help.h"
#include "app/Unit_Lumikon.h"
#include "app/Unit_Var.h"
#include "imaging/PictureFiles.h"
#include "view/Unit_DLG_JPGQuality.h"
#include "tests/app/MainWindowHome.h"
#include "tests/support/ModalDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace lmk;

using MainWindow = lmktest::MainWindowHome;

TEST_F(MainWindow, FirstStartCreatesTheFoldersAndEndWritesTheSettings)
{
    {
        lmktest::TMessageBoxAnswerer answerer("OK");  // the missing help file, and no printer
        TForm_Lumikon window;
        EXPECT_TRUE(QFileInfo(Home.Path("config/LMK Lumikon")).isDir());
        EXPECT_TRUE(QFileInfo(Documents()).isDir());
        EXPECT_TRUE(QFileInfo(Documents() + "/Bilderarchive").isDir());
        EXPECT_EQ(IniFileName, Home.Path("config/LMK Lumikon/Lumikon.ini"));
        EXPECT_EQ(ArchivDir, Documents() + "/Bilderarchive");
        EXPECT_TRUE(window.windowTitle().startsWith("LMK Lumikon (64-bit) "));
        EXPECT_FALSE(window.OriginalViewShown());
        window.show();
        EXPECT_EQ(StatusText(window, "StatusBar_Quelle"), "Kein Bild vorhanden");
        EXPECT_EQ(StatusText(window, "StatusBar_Size"), "Bitte scannen Sie ein Foto oder öffnen Sie eine Bilddatei...");
        EXPECT_EQ(StatusText(window, "StatusBar_DPI"), "300 DPI");
        EXPECT_FALSE(QFileInfo::exists(IniFileName));
    }
    EXPECT_TRUE(QFileInfo::exists(Home.Path("config/LMK Lumikon/Lumikon.ini")));
    EXPECT_FALSE(QFileInfo::exists(Documents() + "/thumbs.dat"));
}

TEST_F(MainWindow, AFolderThatCannotBeMadeEndsTheStartAfterItsMessage)
{
    Home.Write("config", "a file where the settings folder should be");
    lmktest::TMessageBoxAnswerer answerer("OK");
    EXPECT_THROW(TForm_Lumikon window, StartAborted);
    ASSERT_FALSE(answerer.Texts.isEmpty());
    EXPECT_EQ(answerer.Texts.last(), "Verzeichnis für die Einstellungen konnte nicht angelegt werden!");
    EXPECT_EQ(answerer.Titles.last(), "Fehlermeldung");
    EXPECT_FALSE(QFileInfo::exists(Documents()));  // the start ended before the next folder
}

TEST_F(MainWindow, OpensTheCommandLinePictureAtFirstShowAndIgnoresAMissingOne)
{
    lmktest::TMessageBoxAnswerer answerer("OK");
    const QString path = Picture(400, 300);
    {
        TForm_Lumikon window(path);
        window.show();
        QTRY_VERIFY(window.PicturePresent());
        EXPECT_EQ(StatusText(window, "StatusBar_Quelle"), "bild.png");
        EXPECT_EQ(StatusText(window, "StatusBar_Size"), "400 x 300 Pixel");
        EXPECT_EQ(window.Document().FileName(), path);
    }
    TForm_Lumikon window(Home.Path("nichtda.jpg"));
    const int messages = answerer.Texts.size();  // the start's own notes are counted
    window.show();
    QTest::qWait(50);
    EXPECT_FALSE(window.PicturePresent());
    EXPECT_EQ(answerer.Texts.size(), messages);
}

TEST_F(MainWindow, KeysActOnlyUnderTheirConditionsAndStillReachTheFocusedControl)
{
    lmktest::TMessageBoxAnswerer answerer("OK");
    TForm_Lumikon window(Picture(40, 30));
    window.show();
    QTRY_VERIFY(window.PicturePresent());

    const Bitmap edited = Edited();
    window.Document().ApplyEdit(edited);
    EXPECT_EQ(StatusText(window, "StatusBar_Size"), "10 x 20 Pixel");

    PressKey(window, Qt::Key_Z);  // plain Z is no command
    EXPECT_EQ(window.Document().Current().Width(), 10);
    PressKey(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // Shift does not matter
    EXPECT_EQ(window.Document().Current().Width(), 40);
    EXPECT_EQ(StatusText(window, "StatusBar_Size"), "40 x 30 Pixel");
    PressKey(window, Qt::Key_Z, Qt::ControlModifier);  // nothing left to undo
    EXPECT_EQ(window.Document().Current().Width(), 40);

    window.Document().ApplyEdit(edited);
    answerer.Texts.clear();
    PressKey(window, Qt::Key_R, Qt::ControlModifier);  // restore asks first; OK restores
    EXPECT_EQ(answerer.Texts.value(0), "Beim Wiederherstellen des Originalbildes gehen alle Bearbeitungen verloren!");
    EXPECT_EQ(window.Document().Current().Width(), 40);
    answerer.Texts.clear();
    PressKey(window, Qt::Key_R, Qt::ControlModifier);  // unchanged photo: nothing to restore
    EXPECT_TRUE(answerer.Texts.isEmpty());
}

TEST_F(MainWindow, ClosingWithUnsavedEditsAsksAndCancelKeepsTheWindow)
{
    lmktest::TMessageBoxAnswerer answerer("Abbrechen");
    TForm_Lumikon window(Picture(40, 30));
    window.show();
    QTRY_VERIFY(window.PicturePresent());
    const Bitmap edited = Edited();
    window.Document().ApplyEdit(edited);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(answerer.Texts.last(), "Möchten Sie die Bildbearbeitung jetzt speichern?");
    EXPECT_EQ(answerer.Titles.last(), "Bestätigung");
}

TEST_F(MainWindow, SettingsOfOtherProgramsSurviveARun)
{
    QDir().mkpath(Home.Path("config/LMK Lumikon"));
    Home.Write("config/LMK Lumikon/Lumikon.ini",
               "; eigene Notiz\n[FREMD]\nSchluessel=Wert mit Ümlaut\n\n[JPEG]\nQuality=55\nExtra=1\n");
    {
        lmktest::TMessageBoxAnswerer answerer("OK");
        TForm_Lumikon window;
        EXPECT_EQ(JpegQuality, 55);
        JpegQuality = 70;
    }
    const QString written = QString::fromUtf8(Home.Read("config/LMK Lumikon/Lumikon.ini"));
    EXPECT_TRUE(written.startsWith("; eigene Notiz\n[FREMD]\nSchluessel=Wert mit Ümlaut\n\n[JPEG]\nQuality=70\nExtra=1\n")) << written;
    EXPECT_TRUE(written.contains("[CALENDAR]"));
}

TEST_F(MainWindow, F1AndTheHilfeButtonOpenTheHelpAtTheirTopics)
{
    lmktest::TMessageBoxAnswerer answerer("OK");
    TForm_Lumikon window;
    HelpFileName = QStringLiteral(LUMIKON_BINARY_DIR "/Lumikon.chm");  // beside the program, not the test
    answerer.Texts.clear();  // the start's own notes
    window.show();
    PressKey(window, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->CurrentTitle(), "Das Hauptfenster");
    const QString mainTopic = HelpWindow()->CurrentTopic();
    EXPECT_EQ(mainTopic, HelpWindow()->HelpFile().TopicOfContext(help::MainWindow));

    TDLG_JPGQuality dialog(&window);
    dialog.show();
    dialog.Button_Help->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(HelpWindow()->CurrentTopic(), HelpWindow()->HelpFile().TopicOfContext(help::JpegQuality));
    EXPECT_NE(HelpWindow()->CurrentTopic(), mainTopic);
    EXPECT_EQ(HelpWindow()->CurrentTitle(), "JPG-Komprimierung");
    EXPECT_TRUE(answerer.Texts.filter("Hilfe").isEmpty());
}
