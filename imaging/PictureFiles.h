// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing picture files. Every reader refuses damaged or cut-off data and sizes
// beyond Bitmap::kMaxBytes by throwing PictureFileError before it allocates the picture; every
// writer encodes in memory first, writes straight to the given name and, when the file cannot
// be written, removes what it wrote and throws PictureFileError with the system's reason. The
// messages of the file functions name the file. No library error ever ends the process or
// prints anything.
#pragma once

#include "imaging/Bitmap.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace lmk {

class PictureFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// JPEG through libjpeg-turbo, set to speed over quality (fast integer IDCT, no fancy
// upsampling, no block smoothing). Grey, YCbCr, RGB, CMYK and Adobe inverted CMYK files.
// The result is 24 bits per pixel.
Bitmap DecodeJpegFile(const QString &fileName);
Bitmap DecodeJpeg(const QByteArray &data);
// quality 1 ... 100; the JFIF density is written as `dpi` dots per inch.
void EncodeJpegFile(const Bitmap &picture, const QString &fileName, int quality, int dpi);
QByteArray EncodeJpeg(const Bitmap &picture, int quality, int dpi);

// PNG through libpng; transparent areas composed onto white. The pHYs chunk carries `dpi`.
Bitmap DecodePngFile(const QString &fileName);
void EncodePngFile(const Bitmap &picture, const QString &fileName, int dpi);

// TIFF through libtiff; XResolution, YResolution and ResolutionUnit inch carry `dpi`.
Bitmap DecodeTiffFile(const QString &fileName);
void EncodeTiffFile(const Bitmap &picture, const QString &fileName, int dpi);

// BMP, our own reader and writer. The writer stores 24 bits per pixel, bottom-up, with the
// resolution as pixels per metre (0 when `dpi` is 0); one writer serves saved files, memory
// streams and the archive's thumbnails.
Bitmap DecodeBmp(const QByteArray &data);
Bitmap DecodeBmpFile(const QString &fileName);
QByteArray EncodeBmp(const Bitmap &picture, int dpi = 0);
void EncodeBmpFile(const Bitmap &picture, const QString &fileName, int dpi);

// The general picture loader, choosing the decoder by the file's extension: .bmp our BMP
// reader, .png libpng, .tif/.tiff libtiff, .jpg/.jpeg libjpeg, anything else Qt's image
// plugins (icons, GIF, WebP, SVG ...). Transparent areas come out white; the result is
// 24 bits per pixel.
Bitmap DecodeByExtension(const QString &fileName);

// Qt's image plugins with the format found from the content; an empty Bitmap when nothing
// reads the file (the system codec loader of LoadPictureFile).
Bitmap DecodeWithQt(const QString &fileName);

}  // namespace lmk
