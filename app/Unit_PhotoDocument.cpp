// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_PhotoDocument.h"

#include "app/AtomicFileWrite.h"
#include "app/BusyCursor.h"
#include "app/Unit_Var.h"
#include "imaging/PictureFiles.h"
#include "imaging/Unit_Graph.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

namespace lmk {

static std::shared_ptr<const Bitmap> NoPicture()
{
    static const auto empty = std::make_shared<const Bitmap>(0, 0, PixelFormat::pf24bit);
    return empty;
}

TPhotoDocument::TPhotoDocument(TDocumentPrompts &prompts, QObject *parent)
    : QObject(parent), FPrompts(prompts), FCurrent(NoPicture()), FOriginal(NoPicture()), FUndoBitmap(NoPicture())
{
}

void TPhotoDocument::ReleaseUndo()
{
    FCanUndo = false;
    FUndoBitmap = NoPicture();
}

TPhotoDocument::~TPhotoDocument() = default;

bool TPhotoDocument::DecodePictureFile(const QString &fileName, Bitmap &target)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return false;
    const QString extension = info.suffix().toUpper();
    target = (extension == "JPG" || extension == "JPEG") ? DecodeJpegFile(fileName)
                                                         : DecodeByExtension(fileName);
    target.SetFormat(PixelFormat::pf24bit);
    return true;
}

void TPhotoDocument::OpenPictureFile(const QString &fileName, bool addToArchive)
{
    if (!QuerySavePicture() || !QFileInfo::exists(fileName))
        return;
    FExifData.reset();
    ReleaseUndo();

    Bitmap picture;
    try {
        TBusyCursor busy;
        if (!DecodePictureFile(fileName, picture))
            LoadPictureFile(fileName, picture);
        if (picture.Empty())
            throw PictureFileError("empty picture");
        picture.SetFormat(PixelFormat::pf24bit);
    } catch (const std::exception &) {
        // The views keep what they showed, and so do the file name and the change flag: the
        // next replacement must still ask about edits of the photo on screen.
        FPrompts.Ask(QStringLiteral("Das Bild konnte nicht geladen werden!"), MsgKind::Error, MsgButtons::OK);
        return;
    }

    FOriginal = FCurrent = std::make_shared<const Bitmap>(std::move(picture));
    emit OriginalChanged();
    FFileName = fileName;
    FPhotoChange = false;
    emit CurrentChanged();
    emit SourceChanged(QFileInfo(fileName).fileName());

    if (addToArchive)
        emit AddToArchive(fileName);
    if (QFileInfo(fileName).suffix().toLower() == "jpg")
        FExifData = TExifData::ReadFromFile(fileName);
}

QString TPhotoDocument::SaveTargetName(const QString &chosenName, SaveFileType type)
{
    static const char *const kExtensions[] = {".jpg", ".bmp", ".png", ".tif"};
    const QString extension = QString::fromLatin1(kExtensions[int(type)]);
    const QString suffix = QFileInfo(chosenName).suffix();
    if (QString('.' + suffix).compare(extension, Qt::CaseInsensitive) == 0 && !suffix.isEmpty())
        return chosenName;
    return chosenName + extension;
}

void TPhotoDocument::WritePictureFile(const Bitmap &picture, const QString &fileName, SaveFileType type) const
{
    const int dpi = DpiFromIndex(DpiIndex);
    TAtomicFileWrite write(fileName);
    const QString &temporary = write.TemporaryFileName();
    switch (type) {
    case SaveFileType::Jpeg: EncodeJpegFile(picture, temporary, JpegQuality, dpi); break;
    case SaveFileType::Bmp: EncodeBmpFile(picture, temporary, dpi); break;
    case SaveFileType::Png: EncodePngFile(picture, temporary, dpi); break;
    case SaveFileType::Tiff: EncodeTiffFile(picture, temporary, dpi); break;
    }
    write.Commit();
}

void TPhotoDocument::SavePictureAs()
{
    QString startFolder;
    QString proposedName;
    const QFileInfo opened(FFileName);
    if (!FFileName.isEmpty() && opened.exists()) {
        startFolder = opened.absolutePath();
        proposedName = opened.completeBaseName();
    }
    QString chosen;
    SaveFileType type = SaveFileType::Jpeg;
    if (!FPrompts.ChooseSaveFile(startFolder, proposedName, chosen, type))
        return;

    const QString target = SaveTargetName(chosen, type);
    if (QFileInfo::exists(target) &&
        FPrompts.Ask(QStringLiteral("Die Datei \"%1\" existiert bereits! Überschreiben?").arg(target),
                     MsgKind::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return;

    {
        TBusyCursor busy;
        if (type == SaveFileType::Jpeg && !FPrompts.ConfirmJpegQuality())
            return;
        try {
            WritePictureFile(*FCurrent, target, type);
        } catch (const std::exception &error) {
            // A failed save leaves the photo changed and an existing file of that name intact.
            FPrompts.Ask(QStringLiteral("Das Bild konnte nicht gespeichert werden!\n\n%1")
                             .arg(QString::fromLocal8Bit(error.what())),
                         MsgKind::Error, MsgButtons::OK);
            return;
        }
    }

    emit SourceChanged(QFileInfo(target).fileName());
    emit AddToArchive(target);
    ReleaseUndo();
    FOriginal = FCurrent;
    emit OriginalChanged();
    FPhotoChange = false;
}

bool TPhotoDocument::QuerySavePicture()
{
    if (!FPhotoChange)
        return true;
    switch (FPrompts.Ask(QStringLiteral("Möchten Sie die Bildbearbeitung jetzt speichern?"),
                         MsgKind::Question, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
        SavePictureAs();
        return true;
    case MsgResult::No:
        FPhotoChange = false;
        return true;
    default:
        return false;
    }
}

void TPhotoDocument::ClosePicture()
{
    FExifData.reset();
    ReleaseUndo();
    FPhotoChange = false;
    FCurrent = FOriginal = NoPicture();
    FFileName.clear();
    emit OriginalChanged();
    emit CurrentChanged();
}

void TPhotoDocument::ApplyEdit(Bitmap picture)
{
    FUndoBitmap = FCurrent;
    FCanUndo = true;
    FCurrent = std::make_shared<const Bitmap>(std::move(picture));
    emit CurrentChanged();
    FPhotoChange = true;
}

void TPhotoDocument::Undo()
{
    if (!FCanUndo)
        return;
    FCurrent = FUndoBitmap;
    emit CurrentChanged();
    ReleaseUndo();
}

void TPhotoDocument::RestoreOriginal()
{
    if (!HasOriginal())
        return;
    if (FPrompts.Ask(QStringLiteral("Beim Wiederherstellen des Originalbildes gehen alle Bearbeitungen verloren!"),
                     MsgKind::Warning, MsgButtons::OKCancel) != MsgResult::OK)
        return;
    FCurrent = FOriginal;
    emit CurrentChanged();
    ReleaseUndo();
    FPhotoChange = false;
}

void TPhotoDocument::ReplaceByScan(Bitmap picture)
{
    FExifData.reset();
    ReleaseUndo();
    picture.SetFormat(PixelFormat::pf24bit);
    FOriginal = FCurrent = std::make_shared<const Bitmap>(std::move(picture));
    emit OriginalChanged();
    emit CurrentChanged();
    emit SourceChanged(QStringLiteral("Quelle: Scanner"));
    FPhotoChange = false;
    FFileName.clear();
}

void TPhotoDocument::CopyToClipboard() const
{
    if (HasPicture())
        QGuiApplication::clipboard()->setImage(FCurrent->WrapAsQImage().copy());
}

bool TPhotoDocument::ClipboardHasPicture()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

void TPhotoDocument::PasteFromClipboard()
{
    if (!ClipboardHasPicture())
        return;
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull() || !Bitmap::FitsInMemory(image.width(), image.height()))
        return;
    ApplyEdit(Bitmap::FromQImage(image, PixelFormat::pf24bit));
    FFileName.clear();
}

}  // namespace lmk
