// SPDX-License-Identifier: GPL-3.0-or-later
// The formats the program does not decode itself (icons, GIF, WebP, SVG and the rest of Qt's
// image plugins).
#include "imaging/PictureFileIO.h"
#include "imaging/PictureFiles.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace lmk {

namespace {

// Qt refuses images above 256 MB by default; the program's own limit is larger and is
// checked against the size the plugin reports before reading.
void AllowProgramSizedImages()
{
    static const bool allowed = [] {
        QImageReader::setAllocationLimit(int(Bitmap::kMaxBytes >> 20));
        return true;
    }();
    (void)allowed;
}

}  // namespace

Bitmap DecodeWithQtPlugins(const QString &fileName, TFormatChoice choice)
{
    return DecodeNamingFile(fileName, [&] {
        AllowProgramSizedImages();
        const std::unique_ptr<QFile> file = OpenPictureFile(fileName);
        const QByteArray format =
            choice == TFormatChoice::ByExtension ? QFileInfo(fileName).suffix().toLower().toLatin1() : QByteArray();
        QImageReader reader(file.get(), format);
        reader.setDecideFormatFromContent(choice == TFormatChoice::ByContent);
        const QSize size = reader.size();  // from the header, where the format tells it
        if (size.isValid())
            CheckPictureSize(size.width(), size.height());
        QImage image;
        if (!reader.read(&image))
            ThrowPictureError(reader.errorString());
        return Bitmap::FromQImage(image, PixelFormat::pf24bit);
    });
}

Bitmap DecodeWithQt(const QString &fileName)
{
    try {
        return DecodeWithQtPlugins(fileName, TFormatChoice::ByContent);
    } catch (const PictureFileError &) {
        return {};  // nothing reads the file: the caller gets no picture
    }
}

}  // namespace lmk
