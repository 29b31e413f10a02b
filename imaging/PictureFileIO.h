// SPDX-License-Identifier: GPL-3.0-or-later
// What every picture codec shares: reading a whole file with a clear reason on failure, the
// size check before a picture is allocated, and writing a finished file image without leaving a
// partial file behind.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/PictureFiles.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace lmk {

// Throws PictureFileError(reason). The file-level functions add the file's name.
[[noreturn]] void ThrowPictureError(const QString &reason);

// Refuses a picture size from a file header that the program cannot hold (or that is not a
// picture at all: zero or negative sides), before anything is allocated.
void CheckPictureSize(std::int64_t width, std::int64_t height);

// A regular, non-empty file opened for reading; the reason otherwise. Folders, pipes and
// devices are refused before opening (a pipe would block).
std::unique_ptr<QFile> OpenPictureFile(const QString &fileName);
// The whole content of such a file.
QByteArray ReadPictureFile(const QString &fileName);

// Runs `decode`; every failure, also a lack of memory, becomes one PictureFileError that names
// the file and the reason.
Bitmap DecodeNamingFile(const QString &fileName, const std::function<Bitmap()> &decode);
// Reads the file and decodes its bytes, with errors as above.
Bitmap DecodeFileWith(const QString &fileName, Bitmap (*decode)(const QByteArray &data));

// How Qt's image plugins pick the format: by the file's extension first (as the general loader
// does), or from the content alone.
enum class TFormatChoice { ByExtension, ByContent };
// Any format Qt's plugins read; throws PictureFileError when none reads the file.
Bitmap DecodeWithQtPlugins(const QString &fileName, TFormatChoice choice);

// Writes the complete file image to `fileName`. On failure the part already written is
// removed and the error names the file and the system's reason.
void WritePictureFile(const QString &fileName, const QByteArray &bytes);
// Encodes and writes; an encoder failure names the file as well, and leaves no file.
void EncodeFileWith(const QString &fileName, const std::function<QByteArray()> &encode);

// The largest resolution any of the formats can carry (the JPEG density is 16 bits wide).
constexpr int kMaxDpi = 65535;
// `dpi` limited to 0 ... kMaxDpi; 0 means "no resolution".
int ClampDpi(int dpi);
// Resolution in pixels per metre, as BMP and PNG headers carry it.
std::uint32_t PixelsPerMetre(int dpi);

// Refuses to encode a picture without pixels (no format can store it).
void CheckEncodable(const Bitmap &picture);

}  // namespace lmk
