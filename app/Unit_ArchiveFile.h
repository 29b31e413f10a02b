// SPDX-License-Identifier: GPL-3.0-or-later
// Archive files: the default archive "thumbs.dat" and the user's saved ".lka" archives share one
// format, a plain sequence of records without header or trailer (little-endian):
//   4 bytes    L, the number of bytes that follow in the record: 256 + the image's size
//   256 bytes  the name block: byte 0 the name's length n, bytes 1 ... n the picture's full path
//              (UTF-8; names that are not valid UTF-8 are read as Windows-1252), the rest unused
//   L - 256    the thumbnail as a complete BMP file image
// An empty archive is a file of length zero.
#pragma once

#include "imaging/Bitmap.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace lmk {

class TThumbsList;

class ArchiveFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kArchiveMaxRecords = 50;  // an archive keeps the 50 latest tiles
inline constexpr int kNameBlockBytes = 256;

// The thumbnail as a BMP image: 54-byte header, 32 bits per pixel (B, G, R, 255), bottom row
// first.
QByteArray EncodeThumbnailBmp(const Bitmap &thumbnail);

// The name block of `fileName`: its UTF-8 form cut at a character boundary to 255 bytes.
QByteArray EncodeNameBlock(const QString &fileName);
// The name in a 256-byte name block.
QString DecodeNameBlock(const QByteArray &block);
// Windows-1252 bytes as text (the five unassigned bytes stand for the same code points).
QString FromWindows1252(QByteArrayView bytes);

// Writes the last 50 tiles of `list` to `path` (tiles without a picture are left out), through a
// temporary file beside it that replaces the old file only when complete. Throws
// ArchiveFileError naming the file and the reason; the list is not changed.
void SaveArchiveFile(const QString &path, const TThumbsList &list);

// Replaces the tiles of `list` by the records of `path` whose picture file still exists (the
// others are skipped without looking at their image); the first tile becomes current. False
// when the file cannot be read or is damaged (a cut-off record, a record length below 256 or
// beyond the file's end, an image that does not decode): the list is then empty. True with an
// empty list when no file `path` exists. A record length of 0 ends the archive.
bool LoadArchiveFile(const QString &path, TThumbsList &list);

}  // namespace lmk
