// SPDX-License-Identifier: GPL-3.0-or-later
// The photo being edited: current and original picture, one undo step, the change flag, the
// file it came from and its EXIF data, with opening, saving, undo, restoring and the clipboard.
// The main window owns one document and shows its pictures; the document itself shows nothing
// but the questions it asks through TDocumentPrompts, so it can be tested without a window.
#pragma once

#include "app/ExifData.h"
#include "app/LMK_Utils.h"
#include "imaging/Bitmap.h"

#include <QObject>
#include <QString>
#include <memory>

namespace lmk {

// The save dialog's four file types, in the order of its filter list.
enum class SaveFileType { Jpeg = 0, Bmp = 1, Png = 2, Tiff = 3 };

// The questions the document asks the user.
class TDocumentPrompts {
public:
    virtual ~TDocumentPrompts() = default;
    virtual MsgResult Ask(const QString &text, MsgKind kind, MsgButtons buttons) = 0;
    // The save dialog "Bild speichern unter": starts in `startFolder` (empty: the dialog's
    // choice) proposing `proposedName`; false when cancelled.
    virtual bool ChooseSaveFile(const QString &startFolder, const QString &proposedName,
                                QString &fileName, SaveFileType &type) = 0;
    // The JPEG quality dialog; true when confirmed with OK (it has then set JpegQuality).
    virtual bool ConfirmJpegQuality() = 0;
};

class TPhotoDocument : public QObject {
    Q_OBJECT
public:
    explicit TPhotoDocument(TDocumentPrompts &prompts, QObject *parent = nullptr);
    ~TPhotoDocument() override;

    const Bitmap &Current() const { return *FCurrent; }
    const Bitmap &Original() const { return *FOriginal; }
    // The pictures shared read-only with the views; never empty pointers.
    std::shared_ptr<const Bitmap> SharedCurrent() const { return FCurrent; }
    std::shared_ptr<const Bitmap> SharedOriginal() const { return FOriginal; }
    bool HasPicture() const { return !FCurrent->Empty(); }
    bool HasOriginal() const { return !FOriginal->Empty(); }
    bool CanUndo() const { return FCanUndo; }
    bool PhotoChanged() const { return FPhotoChange; }
    const QString &FileName() const { return FFileName; }
    const TExifData *ExifData() const { return FExifData.get(); }

    // Decodes a file into `target` (24 bits per pixel): false only when the file does not
    // exist; damaged or unknown files throw.
    static bool DecodePictureFile(const QString &fileName, Bitmap &target);

    void OpenPictureFile(const QString &fileName, bool addToArchive);
    void SavePictureAs();
    // Settles unsaved changes before the photo is replaced or the program ends; false means
    // the user cancelled.
    bool QuerySavePicture();
    void ClosePicture();
    // The edit step: the current picture becomes the undo picture, `picture` the current one.
    void ApplyEdit(Bitmap picture);
    void Undo();
    void RestoreOriginal();
    // Both pictures become `picture` (a scan): no file, no EXIF data, no undo, unchanged.
    void ReplaceByScan(Bitmap picture);
    void CopyToClipboard() const;
    static bool ClipboardHasPicture();
    void PasteFromClipboard();

    // The file name the save dialog's choice leads to: the type's extension is appended unless
    // the name already ends in it (compared without regard to case).
    static QString SaveTargetName(const QString &chosenName, SaveFileType type);

signals:
    void CurrentChanged();   // the edit view and the size field show the new current picture
    void OriginalChanged();  // the original view shows the new original picture
    void SourceChanged(const QString &text);  // the status bar's source field
    void AddToArchive(const QString &fileName);

private:
    void ReleaseUndo();
    // Writes `picture` to `fileName` in the format of `type` through a temporary file; throws
    // with the reason.
    void WritePictureFile(const Bitmap &picture, const QString &fileName, SaveFileType type) const;

    TDocumentPrompts &FPrompts;
    // The pictures never change once made, so the document, its undo step and the views share
    // them instead of copying 24-megapixel buffers on every step.
    std::shared_ptr<const Bitmap> FCurrent;
    std::shared_ptr<const Bitmap> FOriginal;
    std::shared_ptr<const Bitmap> FUndoBitmap;
    bool FCanUndo = false;
    bool FPhotoChange = false;
    QString FFileName;
    std::unique_ptr<TExifData> FExifData;
};

}  // namespace lmk
