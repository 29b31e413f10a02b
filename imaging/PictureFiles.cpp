// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureFiles.h"

#include "imaging/PictureFileIO.h"

#include <QFileInfo>

namespace lmk {

Bitmap DecodeByExtension(const QString &fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == QLatin1String("bmp"))
        return DecodeBmpFile(fileName);
    if (extension == QLatin1String("png"))
        return DecodePngFile(fileName);
    if (extension == QLatin1String("tif") || extension == QLatin1String("tiff"))
        return DecodeTiffFile(fileName);
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return DecodeJpegFile(fileName);
    return DecodeWithQtPlugins(fileName, TFormatChoice::ByExtension);
}

}  // namespace lmk
