// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_DialogPrompts.h"

#include "view/Unit_DLG_JPGQuality.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace lmk {

MsgResult TDialogPrompts::Ask(const QString &text, MsgKind kind, MsgButtons buttons)
{
    return MsgBox(text, kind, buttons);
}

QStringList SaveFileFilters()
{
    return {QStringLiteral("JPG - JPEG Images (*.jpg)"), QStringLiteral("BMP - Windows Bitmap (*.bmp)"),
            QStringLiteral("PNG - Portable Network Graphics (*.png)"),
            QStringLiteral("TIF - Tagged Image File Format (*.tif)")};
}

bool TDialogPrompts::ChooseSaveFile(const QString &startFolder, const QString &proposedName,
                                    QString &fileName, SaveFileType &type)
{
    QFileDialog dialog(FOwner, QStringLiteral("Bild speichern unter"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The document appends the extension and asks about overwriting itself: the dialog's own
    // question would name a file other than the one written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters = SaveFileFilters();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    dialog.setDirectory(startFolder.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                            : startFolder);
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().front();
    type = SaveFileType(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    return true;
}

bool TDialogPrompts::ConfirmJpegQuality()
{
    TDLG_JPGQuality dialog(FOwner);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace lmk
