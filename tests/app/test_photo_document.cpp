// SPDX-License-Identifier: GPL-3.0-or-later
// The photo document through its real file paths: opening, saving, undo, restoring, clipboard.
#include "app/Unit_PhotoDocument.h"
#include "app/Unit_Var.h"
#include "imaging/PictureFiles.h"
#include "tests/support/TestFiles.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <deque>
#include <gtest/gtest.h>

using namespace lmk;
using lmktest::RunTool;
using lmktest::TempFolder;

namespace {

// Answers the document's questions from a script and records what was asked.
struct TScriptedPrompts : TDocumentPrompts {
    std::deque<MsgResult> Answers;
    QStringList Asked;
    bool SaveChosen = true;
    QString SaveName;
    SaveFileType SaveType = SaveFileType::Jpeg;
    QString SaveStartFolder, SaveProposedName;
    int SaveDialogs = 0;
    bool QualityConfirmed = true;
    int QualityChosen = 80;

    MsgResult Ask(const QString &text, MsgKind, MsgButtons) override
    {
        Asked << text;
        if (Answers.empty())
            return MsgResult::OK;
        const MsgResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    bool ChooseSaveFile(const QString &startFolder, const QString &proposedName, QString &fileName,
                        SaveFileType &type) override
    {
        ++SaveDialogs;
        SaveStartFolder = startFolder;
        SaveProposedName = proposedName;
        fileName = SaveName;
        type = SaveType;
        return SaveChosen;
    }
    bool ConfirmJpegQuality() override
    {
        if (QualityConfirmed)
            JpegQuality = QualityChosen;
        return QualityConfirmed;
    }
};

Bitmap Solid(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    Bitmap picture(w, h, PixelFormat::pf24bit);
    picture.Fill(r, g, b);
    return picture;
}

std::array<int, 3> RgbAt(const Bitmap &picture, int x, int y)
{
    const std::uint8_t *p = picture.ScanLine(y) + x * picture.BytesPerPixel();
    return {p[2], p[1], p[0]};
}

class PhotoDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        DpiIndex = 4;
        JpegQuality = 100;
    }
    // A real picture file of one colour.
    QString MakePicture(const QString &name, QColor colour, int w = 40, int h = 30)
    {
        const Bitmap picture = Solid(w, h, colour.red(), colour.green(), colour.blue());
        const QString path = Folder.Path(name);
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (suffix == "png")
            EncodePngFile(picture, path, 96);
        else if (suffix == "bmp")
            EncodeBmpFile(picture, path, 96);
        else
            EncodeJpegFile(picture, path, 95, 96);
        return path;
    }

    TempFolder Folder;
    TScriptedPrompts Prompts;
    TPhotoDocument Document{Prompts};
};

}  // namespace

TEST_F(PhotoDocument, OpenFillsBothPicturesAndReadsExifOnlyForLowerCaseJpg)
{
    struct Case { const char *name; bool exif; };
    for (const Case c : {Case{"foto.JPG", true}, Case{"foto.jpeg", false}, Case{"foto.JPEG", false}}) {
        const QString path = MakePicture(c.name, Qt::red);
        ASSERT_EQ(RunTool("exiftool", {"-q", "-overwrite_original", "-Make=Lumikon Test", path}).size(), 0) << c.name;
        Document.OpenPictureFile(path, false);
        EXPECT_EQ(Document.FileName(), path);
        EXPECT_EQ(Document.Current().Width(), 40);
        EXPECT_EQ(Document.Current().Format(), PixelFormat::pf24bit);
        EXPECT_EQ(Document.Original().Height(), 30);
        EXPECT_EQ(Document.ExifData() != nullptr, c.exif) << c.name;
        EXPECT_FALSE(Document.PhotoChanged());
        EXPECT_FALSE(Document.CanUndo());
    }
    EXPECT_TRUE(Prompts.Asked.isEmpty());
}

TEST_F(PhotoDocument, TransparentPngAreasOpenWhite)
{
    QImage image(4, 2, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 255, 0));
    image.setPixel(3, 1, qRgba(0, 255, 0, 255));
    const QString path = Folder.Path("alpha.png");
    ASSERT_TRUE(image.save(path));
    Document.OpenPictureFile(path, false);
    EXPECT_EQ(RgbAt(Document.Current(), 0, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(RgbAt(Document.Original(), 0, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(RgbAt(Document.Current(), 3, 1), (std::array<int, 3>{0, 255, 0}));
}

TEST_F(PhotoDocument, OpenMissingFileChangesNothingAndSaysNothing)
{
    const QString good = MakePicture("a.png", Qt::blue);
    Document.OpenPictureFile(good, false);
    Document.OpenPictureFile(Folder.Path("gone.jpg"), true);
    EXPECT_EQ(Document.FileName(), good);
    EXPECT_TRUE(Prompts.Asked.isEmpty());
}

TEST_F(PhotoDocument, UndecodableFilesGiveTheMessageAndKeepThePhotoOnScreen)
{
    const QString good = MakePicture("good.bmp", Qt::green);
    Folder.Write("empty.jpg", {});
    Folder.Write("text.png", "das ist kein Bild");
    Folder.Write("unknown.xyz", QByteArray(100, 'x'));
    QFile::copy(good, Folder.Path("lying.jpg"));
    QDir(Folder.Root()).mkdir("folder.png");
    QByteArray truncated = Folder.Read("good.bmp");
    truncated.truncate(truncated.size() / 2);
    Folder.Write("half.bmp", truncated);

    for (const char *name : {"empty.jpg", "text.png", "unknown.xyz", "lying.jpg", "folder.png", "half.bmp"}) {
        Prompts.Answers = {MsgResult::No};  // the edit left by the previous case is dropped
        Document.OpenPictureFile(good, false);
        Document.ApplyEdit(Solid(5, 5, 1, 2, 3));  // an edit on screen that must not be lost
        Prompts.Asked.clear();
        Prompts.Answers = {MsgResult::No};  // "save the edits?" -> No, then the load error
        const QStringList before = Folder.Entries();
        Document.OpenPictureFile(Folder.Path(name), false);
        ASSERT_EQ(Prompts.Asked.size(), 2) << name;
        EXPECT_EQ(Prompts.Asked.last(), "Das Bild konnte nicht geladen werden!") << name;
        EXPECT_EQ(Document.Current().Width(), 5) << name;
        EXPECT_EQ(Document.Original().Width(), 40) << name;
        EXPECT_EQ(Document.FileName(), good) << name;
        EXPECT_FALSE(Document.CanUndo()) << name;  // the undo step is dropped before decoding
        EXPECT_EQ(Folder.Entries(), before) << name;
    }
}

TEST_F(PhotoDocument, SaveTargetNames)
{
    struct Case { const char *chosen; SaveFileType type; const char *written; };
    const Case cases[] = {
        {"/x/bild", SaveFileType::Jpeg, "/x/bild.jpg"},
        {"/x/bild.jpeg", SaveFileType::Jpeg, "/x/bild.jpeg.jpg"},
        {"/x/bild.png", SaveFileType::Bmp, "/x/bild.png.bmp"},
        {"/x/scan.tiff", SaveFileType::Tiff, "/x/scan.tiff.tif"},
        {"/x/Foto.JPG", SaveFileType::Jpeg, "/x/Foto.JPG"},
        {"/x/a.PnG", SaveFileType::Png, "/x/a.PnG"},
        {"/x/punkt.", SaveFileType::Bmp, "/x/punkt..bmp"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TPhotoDocument::SaveTargetName(c.chosen, c.type), QString(c.written)) << c.chosen;
}

TEST_F(PhotoDocument, SavedFilesCarryTheQualityAndTheResolution)
{
    struct Case { SaveFileType type; const char *name; const char *written; int dpiIndex; const char *units; };
    const Case cases[] = {
        {SaveFileType::Jpeg, "bild", "bild.jpg", 3, "240 240 PixelsPerInch"},
        {SaveFileType::Png, "bild", "bild.png", 7, "1200 1200 PixelsPerCentimeter"},
        {SaveFileType::Bmp, "bild", "bild.bmp", 4, "300 300 PixelsPerCentimeter"},
        {SaveFileType::Tiff, "scan.tiff", "scan.tiff.tif", 0, "100 100 PixelsPerInch"},
    };
    Document.OpenPictureFile(MakePicture("start.png", Qt::yellow, 64, 48), false);
    for (const Case &c : cases) {
        DpiIndex = c.dpiIndex;
        Prompts.SaveName = Folder.Path(c.name);
        Prompts.SaveType = c.type;
        Document.ApplyEdit(Solid(64, 48, 200, 100, 50));
        Document.SavePictureAs();
        const QString written = Folder.Path(c.written);
        ASSERT_TRUE(QFileInfo::exists(written)) << c.written;
        EXPECT_FALSE(Document.PhotoChanged());
        EXPECT_FALSE(Document.CanUndo());
        EXPECT_EQ(Document.Original().Width(), 64);
        // ImageMagick reports PNG and BMP densities per centimetre; exiftool gives the stored numbers.
        const QString dpi = QString::number(DpiFromIndex(c.dpiIndex));
        const QString x = RunTool("exiftool", {"-s3", "-n", "-XResolution", "-PixelsPerUnitX", "-PixelsPerMeterX", written}).trimmed();
        if (c.type == SaveFileType::Jpeg || c.type == SaveFileType::Tiff)
            EXPECT_EQ(x, dpi) << c.written;
        else
            EXPECT_EQ(x.toDouble(), std::nearbyint(DpiFromIndex(c.dpiIndex) / 0.0254)) << c.written;
        const QString size = RunTool("identify", {"-format", "%w %h", written});
        EXPECT_EQ(size, "64 48") << c.written;
    }
    const QString quality = RunTool("identify", {"-format", "%Q", Folder.Path("bild.jpg")});
    EXPECT_EQ(quality, "80");
    EXPECT_EQ(JpegQuality, 80);
}

TEST_F(PhotoDocument, SaveThenRestoreBringsBackTheSavedPicture)
{
    Document.OpenPictureFile(MakePicture("first.png", Qt::red), false);
    Document.ApplyEdit(Solid(10, 10, 0, 0, 255));
    Prompts.SaveName = Folder.Path("saved.png");
    Prompts.SaveType = SaveFileType::Png;
    Document.SavePictureAs();
    Document.ApplyEdit(Solid(3, 3, 0, 0, 0));
    Prompts.Answers = {MsgResult::OK};
    Document.RestoreOriginal();
    EXPECT_EQ(Prompts.Asked.last(), "Beim Wiederherstellen des Originalbildes gehen alle Bearbeitungen verloren!");
    EXPECT_EQ(Document.Current().Width(), 10);
    EXPECT_FALSE(Document.PhotoChanged());
    EXPECT_FALSE(Document.CanUndo());
    EXPECT_EQ(Document.FileName(), Folder.Path("first.png"));  // saving keeps the opened file's name
}

TEST_F(PhotoDocument, CancelledRestoreAndSecondUndoChangeNothing)
{
    Document.OpenPictureFile(MakePicture("p.png", Qt::red), false);
    Document.ApplyEdit(Solid(7, 7, 1, 1, 1));
    Document.ApplyEdit(Solid(8, 8, 1, 1, 1));
    Document.Undo();
    EXPECT_EQ(Document.Current().Width(), 7);
    Document.Undo();
    EXPECT_EQ(Document.Current().Width(), 7);
    EXPECT_TRUE(Document.PhotoChanged());
    Prompts.Answers = {MsgResult::Cancel};
    Document.RestoreOriginal();
    EXPECT_EQ(Document.Current().Width(), 7);
    EXPECT_TRUE(Document.PhotoChanged());
}

TEST_F(PhotoDocument, CancelledSavesWriteNothing)
{
    Document.OpenPictureFile(MakePicture("p.png", Qt::red), false);
    Document.ApplyEdit(Solid(7, 7, 1, 1, 1));
    Folder.Write("exists.jpg", "old");
    const QStringList before = Folder.Entries();

    Prompts.SaveChosen = false;  // the file dialog cancelled
    Document.SavePictureAs();
    Prompts.SaveChosen = true;
    Prompts.SaveName = Folder.Path("exists.jpg");
    Prompts.Answers = {MsgResult::No};  // do not overwrite
    Document.SavePictureAs();
    EXPECT_EQ(Prompts.Asked.last(), QString("Die Datei \"%1\" existiert bereits! Überschreiben?").arg(Folder.Path("exists.jpg")));
    Prompts.SaveName = Folder.Path("new");
    Prompts.QualityConfirmed = false;  // the quality dialog cancelled
    Document.SavePictureAs();

    EXPECT_EQ(Folder.Entries(), before);
    EXPECT_EQ(Folder.Read("exists.jpg"), "old");
    EXPECT_TRUE(Document.PhotoChanged());
    EXPECT_TRUE(Document.CanUndo());
}

TEST_F(PhotoDocument, FailedSaveIsReportedAndDestroysNothing)
{
    Document.OpenPictureFile(MakePicture("p.png", Qt::red), false);
    Document.ApplyEdit(Solid(7, 7, 1, 1, 1));
    QDir(Folder.Root()).mkdir("taken.png");  // a folder where the file should go: the rename fails
    struct Case { QString name; bool asksOverwrite; };
    for (const Case &c : {Case{Folder.Path("missing/bild.png"), false}, Case{Folder.Path("taken.png"), true}}) {
        Prompts.SaveName = c.name;
        Prompts.SaveType = SaveFileType::Png;
        Prompts.Asked.clear();
        if (c.asksOverwrite)
            Prompts.Answers = {MsgResult::Yes};
        const QStringList before = Folder.Entries();
        Document.SavePictureAs();
        ASSERT_FALSE(Prompts.Asked.isEmpty());
        EXPECT_TRUE(Prompts.Asked.last().startsWith("Das Bild konnte nicht gespeichert werden!\n\n")) << Prompts.Asked.last();
        EXPECT_GT(Prompts.Asked.last().size(), 45);  // the system's reason follows
        EXPECT_TRUE(Document.PhotoChanged());
        EXPECT_TRUE(Document.CanUndo());
        EXPECT_EQ(Document.Original().Width(), 40);
        EXPECT_EQ(Folder.Entries(), before);  // no temporary file is left
    }
    EXPECT_TRUE(QFileInfo(Folder.Path("taken.png")).isDir());
}

TEST_F(PhotoDocument, SaveQuestionYesThenCancelledDialogStillProceeds)
{
    Document.OpenPictureFile(MakePicture("one.png", Qt::red), false);
    Document.ApplyEdit(Solid(7, 7, 1, 1, 1));
    Prompts.Answers = {MsgResult::Yes};
    Prompts.SaveChosen = false;
    Document.OpenPictureFile(MakePicture("two.png", Qt::blue, 20, 20), false);
    EXPECT_EQ(Prompts.Asked.first(), "Möchten Sie die Bildbearbeitung jetzt speichern?");
    EXPECT_EQ(Prompts.SaveDialogs, 1);
    EXPECT_EQ(Prompts.SaveStartFolder, Folder.Root());
    EXPECT_EQ(Prompts.SaveProposedName, "one");
    EXPECT_EQ(Document.Current().Width(), 20);

    Document.ApplyEdit(Solid(9, 9, 1, 1, 1));
    Prompts.Answers = {MsgResult::Cancel};
    EXPECT_FALSE(Document.QuerySavePicture());
    EXPECT_TRUE(Document.PhotoChanged());
    Prompts.Answers = {MsgResult::No};
    EXPECT_TRUE(Document.QuerySavePicture());
    EXPECT_FALSE(Document.PhotoChanged());
}

TEST_F(PhotoDocument, PasteIsAnEditStepThatKeepsOriginalAndExif)
{
    const QString path = MakePicture("photo.jpg", Qt::red);
    RunTool("exiftool", {"-q", "-overwrite_original", "-Make=Lumikon Test", path});
    Document.OpenPictureFile(path, false);
    ASSERT_NE(Document.ExifData(), nullptr);

    QImage pasted(12, 6, QImage::Format_RGB32);
    pasted.fill(QColor(0, 255, 0));
    QGuiApplication::clipboard()->setImage(pasted);
    ASSERT_TRUE(TPhotoDocument::ClipboardHasPicture());
    Document.PasteFromClipboard();
    EXPECT_EQ(Document.Current().Width(), 12);
    EXPECT_EQ(Document.Current().Format(), PixelFormat::pf24bit);
    EXPECT_TRUE(Document.FileName().isEmpty());
    EXPECT_NE(Document.ExifData(), nullptr);
    EXPECT_TRUE(Document.CanUndo());
    Document.Undo();
    EXPECT_EQ(Document.Current().Width(), 40);

    Document.PasteFromClipboard();
    Prompts.Answers = {MsgResult::OK};
    Document.RestoreOriginal();
    EXPECT_EQ(Document.Current().Width(), 40);

    Document.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(40, 30));
}

TEST_F(PhotoDocument, CloseDropsEverything)
{
    const QString path = MakePicture("photo.jpg", Qt::red);
    Document.OpenPictureFile(path, false);
    Document.ApplyEdit(Solid(7, 7, 1, 1, 1));
    Document.ClosePicture();
    EXPECT_FALSE(Document.HasPicture());
    EXPECT_FALSE(Document.HasOriginal());
    EXPECT_FALSE(Document.CanUndo());
    EXPECT_FALSE(Document.PhotoChanged());
    EXPECT_TRUE(Document.FileName().isEmpty());
    EXPECT_TRUE(Prompts.Asked.isEmpty());
}
