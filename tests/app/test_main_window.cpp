// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start and end in a private home folder, its status texts and its keys.
#include "app/HelpContexts.h"
#include "app/Unit_Help.h"
#include "app/Unit_Lumikon.h"
#include "app/Unit_Var.h"
#include "imaging/PictureFiles.h"
#include "view/Unit_DLG_JPGQuality.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace lmk;
using lmktest::TempFolder;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("HOME", QFile::encodeName(Home.Root()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Home.Path("config")));
        qunsetenv("XDG_DOCUMENTS_DIR");
    }
    QString Documents() const { return Home.Path("Documents/LMK Lumikon"); }
    QString Picture(int w, int h)
    {
        Bitmap picture(w, h, PixelFormat::pf24bit);
        picture.Fill(90, 120, 150);
        const QString path = Home.Path("bild.png");
        EncodePngFile(picture, path, 72);
        return path;
    }
    // An edit of 10 x 20 pixels, told apart from the opened picture by its size.
    static Bitmap Edited()
    {
        Bitmap picture(10, 20, PixelFormat::pf24bit);
        picture.Fill(1, 2, 3);
        return picture;
    }
    static QString StatusText(TForm_Lumikon &window, int index)
    {
        // the three status fields, left to right
        QList<QLabel *> fields;
        for (QLabel *label : window.findChildren<QLabel *>())
            if (label->parentWidget() && label->parentWidget()->height() == 21)
                fields << label;
        std::sort(fields.begin(), fields.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
        return index < fields.size() ? fields[index]->text() : QString();
    }

    TempFolder Home;
};

}  // namespace

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
        EXPECT_EQ(StatusText(window, 0), "Kein Bild vorhanden");
        EXPECT_EQ(StatusText(window, 1), "Bitte scannen Sie ein Foto oder öffnen Sie eine Bilddatei...");
        EXPECT_EQ(StatusText(window, 2), "300 DPI");
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
        EXPECT_EQ(StatusText(window, 0), "bild.png");
        EXPECT_EQ(StatusText(window, 1), "400 x 300 Pixel");
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
    EXPECT_EQ(StatusText(window, 1), "10 x 20 Pixel");

    QTest::keyClick(&window, Qt::Key_Z);  // plain Z is no command
    EXPECT_EQ(window.Document().Current().Width(), 10);
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // Shift does not matter
    EXPECT_EQ(window.Document().Current().Width(), 40);
    EXPECT_EQ(StatusText(window, 1), "40 x 30 Pixel");
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);  // nothing left to undo
    EXPECT_EQ(window.Document().Current().Width(), 40);

    window.Document().ApplyEdit(edited);
    answerer.Texts.clear();
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);  // restore asks first; OK restores
    EXPECT_EQ(answerer.Texts.value(0), "Beim Wiederherstellen des Originalbildes gehen alle Bearbeitungen verloren!");
    EXPECT_EQ(window.Document().Current().Width(), 40);
    answerer.Texts.clear();
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);  // unchanged photo: nothing to restore
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
    QTest::keyClick(&window, Qt::Key_F1);
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
