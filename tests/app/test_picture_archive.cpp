// SPDX-License-Identifier: GPL-3.0-or-later
// The archive commands with a real photo document, real picture files and real archive files.
#include "app/Unit_ArchiveFile.h"
#include "app/Unit_PhotoDocument.h"
#include "app/Unit_PictureArchive.h"
#include "app/Unit_Var.h"
#include "controls/TThumbsList.h"
#include "imaging/PictureFiles.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace lmk;
using lmktest::Bgr;
using lmktest::TempFolder;
using lmktest::TMessageBoxAnswerer;

namespace {

// Answers the document's own questions and records them.
struct TRecordingPrompts : TDocumentPrompts {
    QStringList Asked;
    QString SaveName;
    MsgResult Ask(const QString &text, MsgKind, MsgButtons) override
    {
        Asked << text;
        return MsgResult::No;
    }
    bool ChooseSaveFile(const QString &, const QString &, QString &fileName, SaveFileType &type) override
    {
        fileName = SaveName;
        type = SaveFileType::Png;
        return true;
    }
    bool ConfirmJpegQuality() override { return true; }
};

// Where QDesktopServices sends the folders it is asked to open.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl &url) { Opened << url; }
};

QAction *ActionOf(QMenu *menu, const QString &caption)
{
    for (QAction *action : menu->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

QStringList Captions(QMenu *menu)
{
    QStringList captions;
    for (QAction *action : menu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

// Picks `fileName` in the next file dialog, after checking where it opened.
void ChooseInNextFileDialog(const QString &fileName)
{
    lmktest::WhenModalShown([fileName](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(QDir(files->directory()).absolutePath(), QDir(ArchivDir).absolutePath());
        EXPECT_EQ(files->nameFilters(), QStringList{"Bilderarchiv (*.lka)"});
        // Typed into the name field, as a user does: selectFile() may still be resolved against
        // a folder listing the dialog is loading.
        auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(fileName);
        static_cast<QDialog *>(files)->accept();  // as the dialog's own button does
    });
}

class PictureArchive : public testing::Test {
protected:
    void SetUp() override
    {
        DataDir = Folder.Root() + '/';
        ArchivDir = Folder.Path("Bilderarchive");
        ASSERT_TRUE(QDir().mkpath(ArchivDir));
        ArchivFile.clear();
        ArchivSize = kArchivNarrow;
        DpiIndex = 4;
        auto *row = new QHBoxLayout(&Window);
        row->setContentsMargins(0, 0, 0, 0);
        row->addStretch(1);
        Window.resize(700, 600);
        Start();
        Archive->LoadAtStart();
        Window.show();
    }

    // A new archive panel as the main window makes it at start.
    void Start()
    {
        Panel = new QWidget;
        Window.layout()->addWidget(Panel);
        Archive = new TPictureArchive(Document, Panel, &Window);  // owned by the panel
        QObject::connect(&Document, &TPhotoDocument::AddToArchive, Archive, &TPictureArchive::AddToArchive);
    }
    // Ends the run as the main window does and starts the next one.
    void Restart()
    {
        Archive->WriteAtExit();
        delete Panel;
        Start();
        Archive->LoadAtStart();
        Panel->show();
    }

    QString WritePicture(const QString &name, std::uint8_t r, std::uint8_t g, std::uint8_t b, int w = 400, int h = 300)
    {
        Bitmap picture(w, h, PixelFormat::pf24bit);
        picture.Fill(r, g, b);
        EncodePngFile(picture, Folder.Path(name), 96);
        return Folder.Path(name);
    }
    TThumbsList &List() { return *Archive->ThumbsList(); }
    QStringList Names()
    {
        QStringList names;
        List().GetFilesList(names);
        return names;
    }
    Bgr ThumbColour(int tile) { return lmktest::At(*List().GetThumbItem(tile)->ItemData.Bild(), 20, 20); }
    // Five opened pictures, written to the archive and read at a new start: nothing changed.
    QStringList FiveInArchive()
    {
        QStringList names;
        for (int i = 0; i < 5; ++i) {
            names << WritePicture(QStringLiteral("bild%1.png").arg(i), std::uint8_t(40 * i), 100, 50);
            Document.OpenPictureFile(names.back(), true);
        }
        Restart();
        return names;
    }

    TempFolder Folder;
    TRecordingPrompts Prompts;
    TPhotoDocument Document{Prompts};
    QWidget Window;
    QWidget *Panel = nullptr;
    TPictureArchive *Archive = nullptr;
};

TEST_F(PictureArchive, OpenedPicturesBecomeTilesAndReopeningRenewsInPlace)
{
    QStringList names;
    for (int i = 0; i < 5; ++i) {
        names << WritePicture(QStringLiteral("bild%1.png").arg(i), std::uint8_t(40 * i), 100, 50);
        Document.OpenPictureFile(names.back(), true);
    }
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(List().ThumbIndex(), 4);
    EXPECT_TRUE(Archive->ThumbsChanged());
    const Bitmap &thumbnail = *List().GetThumbItem(0)->ItemData.Bild();
    EXPECT_EQ(thumbnail.Width(), 105);
    EXPECT_EQ(thumbnail.Height(), 78);
    EXPECT_EQ(thumbnail.Format(), PixelFormat::pf32bit);

    WritePicture("bild1.png", 10, 20, 250, 300, 400);  // the file changed meanwhile
    List().SetThumbIndex(2);
    Document.OpenPictureFile(names[1], true);
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(ThumbColour(1), (Bgr{250, 20, 10}));
    EXPECT_EQ(List().GetThumbItem(1)->ItemData.Bild()->Width(), 78);
    EXPECT_EQ(List().ThumbIndex(), 4) << "the last tile, not the renewed one";
}

TEST_F(PictureArchive, OpeningFromATileAddsNothing)
{
    const QStringList names = FiveInArchive();
    ASSERT_EQ(Names(), names);
    ASSERT_FALSE(Archive->ThumbsChanged());

    TThumbItem *tile = List().GetThumbItem(2);
    QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_EQ(Document.FileName(), names[2]);
    QTest::keyClick(&List(), Qt::Key_Right);
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(Document.FileName(), names[3]);
    QTest::mouseClick(List().GetThumbItem(0), Qt::LeftButton, Qt::ControlModifier, QPoint(60, 60));
    Archive->PM_ThumbOpenClick();  // two tiles selected: nothing
    EXPECT_EQ(Document.FileName(), names[3]);
    QTest::mouseClick(List().GetThumbItem(1), Qt::LeftButton, {}, QPoint(60, 60));
    Document.ClosePicture();
    Archive->PM_ThumbOpenClick();
    EXPECT_EQ(Document.FileName(), names[1]);
    EXPECT_EQ(Names(), names);
    EXPECT_FALSE(Archive->ThumbsChanged());
}

TEST_F(PictureArchive, SavingUnderANameAddsOneTileForIt)
{
    Document.OpenPictureFile(WritePicture("a.png", 1, 2, 3), true);
    Prompts.SaveName = Folder.Path("kopie.png");
    Document.SavePictureAs();
    Document.SavePictureAs();
    EXPECT_EQ(Names(), QStringList({Folder.Path("a.png"), Folder.Path("kopie.png")}));
    EXPECT_EQ(List().ThumbIndex(), 1);
}

TEST_F(PictureArchive, RemovedTilesStayRemovedAtTheNextStart)
{
    QStringList names = FiveInArchive();
    QTest::mouseClick(List().GetThumbItem(1), Qt::LeftButton, {}, QPoint(60, 60));
    QTest::keyClick(&List(), Qt::Key_Delete);
    names.removeAt(1);
    EXPECT_EQ(Names(), names);
    EXPECT_TRUE(Archive->ThumbsChanged());
    Restart();
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(List().ThumbIndex(), 0);

    // The context menu removes every selected tile.
    QTest::mouseClick(List().GetThumbItem(3), Qt::LeftButton, Qt::ControlModifier, QPoint(60, 60));
    Archive->PM_ThumbRemoveClick();
    EXPECT_EQ(Names(), QStringList({names[1], names[2]}));
}

TEST_F(PictureArchive, TheArchiveKeepsTheFiftyLatestPictures)
{
    Document.OpenPictureFile(WritePicture("start.png", 9, 9, 9, 40, 30), false);
    QStringList names;
    for (int i = 0; i < 60; ++i) {
        Folder.Write(QStringLiteral("foto%1.jpg").arg(i), "x");
        names << Folder.Path(QStringLiteral("foto%1.jpg").arg(i));
        Archive->AddToArchive(names.back());
    }
    EXPECT_EQ(List().GetThumbsCount(), 60);
    Restart();
    EXPECT_EQ(Names(), names.mid(10));
}

TEST_F(PictureArchive, SaveAsAppendsTheExtensionAndBecomesTheCurrentArchive)
{
    const QStringList names = FiveInArchive();
    ChooseInNextFileDialog(QDir(ArchivDir).filePath("urlaub"));
    Archive->PM_ArchivSaveAsClick();
    const QString saved = QDir(ArchivDir).filePath("urlaub.lka");
    EXPECT_EQ(ArchivFile, saved);
    EXPECT_TRUE(QFileInfo(saved).isFile());
    EXPECT_FALSE(Archive->ThumbsChanged()) << "saving as leaves the change flag";

    // Another extension keeps it and gets ".lka" as well.
    ChooseInNextFileDialog(QDir(ArchivDir).filePath("sommer.LKA"));
    Archive->PM_ArchivSaveAsClick();
    EXPECT_EQ(ArchivFile, QDir(ArchivDir).filePath("sommer.LKA"));
    ChooseInNextFileDialog(QDir(ArchivDir).filePath("alt.dat"));
    Archive->PM_ArchivSaveAsClick();
    EXPECT_EQ(ArchivFile, QDir(ArchivDir).filePath("alt.dat.lka"));

    // An existing archive is overwritten only after "Ja".
    List().DeleteThumbItem(0);
    {
        TMessageBoxAnswerer no(QStringLiteral("Nein"));
        ChooseInNextFileDialog(saved);
        Archive->PM_ArchivSaveAsClick();
        EXPECT_EQ(no.Texts, QStringList{"Das Bilderarchiv existiert bereits! Überschreiben?"});
    }
    EXPECT_EQ(ArchivFile, QDir(ArchivDir).filePath("alt.dat.lka"));
    ArchivFile = saved;
    Restart();  // the next start reads the saved archive
    EXPECT_EQ(Names(), names);
}

TEST_F(PictureArchive, AMissingArchiveFileFallsBackToThumbsDat)
{
    TThumbsList other;
    other.AddThumbItem({}, {}, WritePicture("a.png", 1, 1, 1), {}, {}, 0, 0,
                       std::make_unique<Bitmap>(8, 8, PixelFormat::pf32bit), false);
    SaveArchiveFile(DataDir + "thumbs.dat", other);
    ArchivFile = Folder.Path("Bilderarchive/geloescht.lka");
    Archive->LoadAtStart();
    EXPECT_EQ(ArchivFile, DataDir + "thumbs.dat");
    EXPECT_EQ(Names(), QStringList{Folder.Path("a.png")});
    EXPECT_FALSE(Archive->ThumbsChanged());
}

TEST_F(PictureArchive, AnUnreadableArchiveAtStartIsReportedAndReplacedAtExit)
{
    Folder.Write("thumbs.dat", QByteArray("\x10\x00\x00\x00kurz", 8));
    {
        TMessageBoxAnswerer ok(QStringLiteral("OK"));
        Archive->LoadAtStart();
        EXPECT_EQ(ok.Texts, QStringList{"Bilderarchiv konnte nicht gelesen werden!"});
        EXPECT_EQ(ok.Titles, QStringList{"Fehlermeldung"});
    }
    EXPECT_EQ(List().GetThumbsCount(), 0);
    EXPECT_TRUE(Archive->ThumbsChanged());
    Archive->WriteAtExit();
    EXPECT_EQ(Folder.Read("thumbs.dat").size(), 0);

    // A folder in the archive's place: the same message, and at exit the reason for not writing.
    ASSERT_TRUE(QFile::remove(Folder.Path("thumbs.dat")));
    ASSERT_TRUE(QDir(Folder.Root()).mkdir("thumbs.dat"));
    TMessageBoxAnswerer ok(QStringLiteral("OK"));
    Archive->LoadAtStart();
    Archive->WriteAtExit();
    ASSERT_EQ(ok.Texts.size(), 2);
    EXPECT_EQ(ok.Texts[0], "Bilderarchiv konnte nicht gelesen werden!");
    EXPECT_TRUE(ok.Texts[1].startsWith("Das Bilderarchiv konnte nicht gespeichert werden!")) << ok.Texts[1];
    EXPECT_TRUE(ok.Texts[1].contains(DataDir + "thumbs.dat")) << ok.Texts[1];
}

TEST_F(PictureArchive, AFailedWriteAtExitIsReportedInsteadOfThrown)
{
    Document.OpenPictureFile(WritePicture("a.png", 1, 2, 3), true);
    ArchivFile = Folder.Path("fehlt/archiv.lka");
    TMessageBoxAnswerer ok(QStringLiteral("OK"));
    EXPECT_NO_THROW(Archive->WriteAtExit());
    ASSERT_EQ(ok.Texts.size(), 1);
    EXPECT_TRUE(ok.Texts[0].contains(ArchivFile)) << ok.Texts[0];
    EXPECT_TRUE(Archive->ThumbsChanged()) << "still to be written";
}

TEST_F(PictureArchive, ClearingDropsAnEditedPictureWithoutAsking)
{
    Document.OpenPictureFile(WritePicture("a.png", 1, 2, 3), true);
    Bitmap edited(10, 10, PixelFormat::pf24bit);
    edited.Fill(0, 0, 0);
    Document.ApplyEdit(edited);
    {
        TMessageBoxAnswerer cancel(QStringLiteral("Abbrechen"));
        Archive->PM_ArchivClearClick();
        EXPECT_EQ(cancel.Texts, QStringList{"Sind Sie sicher, dass alle Bilder aus diesem Archiv entfernt werden sollen!"});
        EXPECT_EQ(cancel.Titles, QStringList{"Hinweis"});
    }
    EXPECT_EQ(List().GetThumbsCount(), 1);
    EXPECT_TRUE(Document.HasPicture());

    TMessageBoxAnswerer ok(QStringLiteral("OK"));
    Archive->PM_ArchivClearClick();
    EXPECT_EQ(List().GetThumbsCount(), 0);
    EXPECT_TRUE(Archive->ThumbsChanged());
    EXPECT_FALSE(Document.HasPicture());
    EXPECT_FALSE(Document.PhotoChanged());
    EXPECT_EQ(Document.FileName(), QString());
    EXPECT_TRUE(Prompts.Asked.isEmpty()) << "no question about the edits";
}

TEST_F(PictureArchive, OpeningASavedArchiveWritesTheChangedOneFirst)
{
    TThumbsList saved;
    saved.AddThumbItem({}, {}, WritePicture("gespeichert.png", 1, 1, 1), {}, {}, 0, 0,
                       std::make_unique<Bitmap>(8, 8, PixelFormat::pf32bit), false);
    const QString savedFile = QDir(ArchivDir).filePath("alt.lka");
    SaveArchiveFile(savedFile, saved);

    ArchivFile = DataDir + "thumbs.dat";
    Document.OpenPictureFile(WritePicture("neu.png", 5, 5, 5), true);
    ChooseInNextFileDialog(savedFile);
    Archive->PM_ArchivOpenClick();
    EXPECT_EQ(ArchivFile, savedFile);
    EXPECT_EQ(Names(), QStringList{Folder.Path("gespeichert.png")});
    EXPECT_FALSE(Archive->ThumbsChanged());
    EXPECT_FALSE(Document.HasPicture());
    TThumbsList written;
    ASSERT_TRUE(LoadArchiveFile(DataDir + "thumbs.dat", written));
    QStringList writtenNames;
    written.GetFilesList(writtenNames);
    EXPECT_EQ(writtenNames, QStringList{Folder.Path("neu.png")});

    // A damaged saved archive gives an empty list and no message.
    const QString damaged = QDir(ArchivDir).filePath("kaputt.lka");
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(7, '\x01'));
    file.close();
    TMessageBoxAnswerer boxes(QStringLiteral("OK"));
    ChooseInNextFileDialog(damaged);
    Archive->PM_ArchivOpenClick();
    EXPECT_EQ(List().GetThumbsCount(), 0);
    EXPECT_TRUE(boxes.Texts.isEmpty());
    EXPECT_FALSE(Archive->ThumbsChanged());
}

TEST_F(PictureArchive, RenewingReadsTheTilesFileAgain)
{
    const QStringList names = FiveInArchive();
    WritePicture("bild3.png", 0, 0, 255, 30, 60);
    QTest::mouseClick(List().GetThumbItem(3), Qt::LeftButton, {}, QPoint(60, 60));
    Archive->PM_ThumbRefreshClick();
    EXPECT_EQ(ThumbColour(3), (Bgr{255, 0, 0}));
    EXPECT_EQ(List().GetThumbItem(3)->ItemData.Bild()->Width(), 52);
    EXPECT_EQ(List().ThumbIndex(), 3);
    EXPECT_TRUE(Archive->ThumbsChanged());

    // A gone file leaves the thumbnail.
    ASSERT_TRUE(QFile::remove(names[3]));
    Archive->PM_ThumbRefreshClick();
    EXPECT_EQ(ThumbColour(3), (Bgr{255, 0, 0}));
}

TEST_F(PictureArchive, OpensTheFolderOfTheCurrentTile)
{
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "Open");
    Archive->PM_ThumbExploreClick();  // no current tile
    ASSERT_TRUE(QDir(Folder.Root()).mkdir("unter"));
    Document.OpenPictureFile(WritePicture("unter/bild.png", 1, 2, 3), true);
    Archive->PM_ThumbExploreClick();
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(recorder.Opened, QList<QUrl>{QUrl::fromLocalFile(Folder.Path("unter"))});
}

TEST_F(PictureArchive, ExpandingSwitchesBetweenOneAndTwoColumns)
{
    EXPECT_EQ(Panel->width(), 145);
    Archive->ToggleExpanded();
    EXPECT_EQ(ArchivSize, 272);
    QTRY_COMPARE(List().width(), 272);
    for (int i = 0; i < 3; ++i) {
        Document.OpenPictureFile(WritePicture(QStringLiteral("f%1.png").arg(i), 1, 2, 3), true);
    }
    EXPECT_EQ(List().GetThumbItem(1)->pos(), QPoint(128, 4));
    Archive->ToggleExpanded();
    EXPECT_EQ(ArchivSize, 145);
    QTRY_COMPARE(List().width(), 145);
    EXPECT_EQ(List().GetThumbItem(1)->pos(), QPoint(4, 128));

    ArchivSize = 200;  // not one of the two widths
    delete Panel;
    Start();
    EXPECT_EQ(Panel->maximumWidth(), 145);
    EXPECT_EQ(ArchivSize, 145);
}

TEST_F(PictureArchive, MenusAndTheirStates)
{
    EXPECT_EQ(Captions(Archive->ArchiveMenu()),
              QStringList({"Bilderarchiv er&weitern (W)", "-", "Bilderarchiv speichern unter...",
                           "Gespeichertes Bilderarchiv öffnen", "-", "Gesamtes Bilderarchiv &leeren"}));
    EXPECT_EQ(Captions(Archive->ThumbsMenu()),
              QStringList({"&Bild öffnen", "Vorschaubild &aktualisieren", "-", "Bild aus dem Archiv &entfernen",
                           "Gesamtes Bilderarchiv &leeren", "-", "Bild&verzeichnis öffnen"}));
    EXPECT_EQ(List().ItemPopupMenu, Archive->ThumbsMenu());

    const auto states = [](QMenu *menu) {
        emit menu->aboutToShow();
        QStringList enabled;
        for (QAction *action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->text();
        return enabled;
    };
    EXPECT_EQ(states(Archive->ArchiveMenu()), QStringList({"Bilderarchiv er&weitern (W)", "Bilderarchiv speichern unter...",
                                                           "Gespeichertes Bilderarchiv öffnen"}));
    EXPECT_EQ(states(Archive->ThumbsMenu()), QStringList{"Vorschaubild &aktualisieren"});

    Document.OpenPictureFile(WritePicture("a.png", 1, 2, 3), true);
    Document.OpenPictureFile(WritePicture("b.png", 1, 2, 3), true);
    EXPECT_EQ(states(Archive->ArchiveMenu()).size(), 4);
    EXPECT_EQ(states(Archive->ThumbsMenu()).size(), 5);
    List().DeleteThumbItem(0);  // no current tile, one tile left
    EXPECT_EQ(states(Archive->ThumbsMenu()), QStringList({"Vorschaubild &aktualisieren", "Gesamtes Bilderarchiv &leeren"}));

    // The tile's context menu is the archive's.
    EXPECT_EQ(List().GetThumbItem(0)->PopupMenu, Archive->ThumbsMenu());
    ASSERT_NE(ActionOf(Archive->ArchiveMenu(), "Bilderarchiv er&weitern (W)"), nullptr);
    ActionOf(Archive->ArchiveMenu(), "Bilderarchiv er&weitern (W)")->trigger();
    EXPECT_EQ(ArchivSize, 272);
}

TEST(MakeThumbnail, FitsInto105PixelsKeepingProportions)
{
    struct Case {
        QSize picture, thumbnail;
    };
    const Case cases[] = {{{4000, 3000}, {105, 78}}, {{3000, 4000}, {78, 105}}, {{500, 500}, {105, 105}},
                          {{50, 40}, {105, 84}},     {{5000, 10}, {105, 1}},    {{1, 3000}, {1, 105}}};
    for (const Case &c : cases) {
        Bitmap picture(c.picture.width(), c.picture.height(), PixelFormat::pf24bit);
        picture.Fill(9, 8, 7);
        const Bitmap thumbnail = MakeThumbnail(picture);
        EXPECT_EQ(QSize(thumbnail.Width(), thumbnail.Height()), c.thumbnail) << c.picture.width() << " x " << c.picture.height();
        EXPECT_EQ(thumbnail.Format(), PixelFormat::pf32bit);
    }
}

}  // namespace

#include "test_picture_archive.moc"
