// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_OpenPictureDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QStandardPaths>

namespace lmk {

namespace {

constexpr int kPreviewSize = 200;

// A small picture of the file: read at a reduced size where the format allows, so even a
// 24-megapixel photo appears at once.
class TPreview : public QLabel {
public:
    TPreview()
    {
        setFixedSize(kPreviewSize + 8, kPreviewSize + 8);
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::StyledPanel);
        setText(QStringLiteral("Keine Vorschau"));
    }

    void ShowFile(const QString &fileName)
    {
        QImageReader reader(fileName);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (QFileInfo(fileName).isFile() && size.isValid() && !size.isEmpty()) {
            reader.setScaledSize(size.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio));
            const QImage image = reader.read();
            if (!image.isNull()) {
                setPixmap(QPixmap::fromImage(image));
                setToolTip(QStringLiteral("%1 x %2 Pixel").arg(size.width()).arg(size.height()));
                return;
            }
        }
        setPixmap({});
        setToolTip({});
        setText(QStringLiteral("Keine Vorschau"));
    }
};

}  // namespace

QString ChoosePictureFile(QWidget *owner, const QString &startFolder)
{
    QFileDialog dialog(owner, QStringLiteral("Bilddatei öffnen"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);  // needed for the preview beside the list
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({
        QStringLiteral("Alle Bilddateien (*.jpg *.jpeg *.bmp *.png *.tif *.tiff *.gif *.ico *.webp *.svg)"),
        QStringLiteral("JPG - JPEG Images (*.jpg *.jpeg)"),
        QStringLiteral("BMP - Windows Bitmap (*.bmp)"),
        QStringLiteral("PNG - Portable Network Graphics (*.png)"),
        QStringLiteral("TIF - Tagged Image File Format (*.tif *.tiff)"),
        QStringLiteral("Alle Dateien (*)"),
    });
    dialog.setDirectory(startFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                                              : startFolder);
    auto *preview = new TPreview;
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), 1, 1, Qt::AlignTop);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &TPreview::ShowFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

}  // namespace lmk
