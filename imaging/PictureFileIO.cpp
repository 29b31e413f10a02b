// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureFileIO.h"

#include "imaging/Numeric.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <utility>

namespace lmk {

namespace {

// A file larger than this cannot hold a picture the program accepts in any format it reads
// (the largest legal one, an uncompressed BMP of kMaxBytes / 4 pixels, is far smaller), so it
// is refused before reading it all into memory.
constexpr qint64 kMaxFileBytes = 4 * Bitmap::kMaxBytes;

[[noreturn]] void ThrowFileError(const char *what, const QString &fileName, const QString &reason)
{
    throw PictureFileError(QString::fromUtf8(what).arg(fileName, reason).toStdString());
}

[[noreturn]] void ThrowReadError(const QString &fileName, const QString &reason)
{
    ThrowFileError("Die Datei \"%1\" konnte nicht gelesen werden: %2", fileName, reason);
}

[[noreturn]] void ThrowWriteError(const QString &fileName, const QString &reason)
{
    ThrowFileError("Die Datei \"%1\" konnte nicht geschrieben werden: %2", fileName, reason);
}

}  // namespace

void ThrowPictureError(const QString &reason) { throw PictureFileError(reason.toStdString()); }

void CheckPictureSize(std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0)
        ThrowPictureError(QStringLiteral("Ungültige Bildgröße %1 × %2 Pixel").arg(width).arg(height));
    if (!Bitmap::FitsInMemory(width, height))
        ThrowPictureError(QStringLiteral("Das Bild ist zu groß für den Arbeitsspeicher (%1 × %2 Pixel)")
                              .arg(width)
                              .arg(height));
}

std::unique_ptr<QFile> OpenPictureFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        ThrowPictureError(QStringLiteral("Die Datei existiert nicht"));
    if (info.isDir())
        ThrowPictureError(QStringLiteral("Das ist ein Ordner"));
    if (!info.isFile())
        ThrowPictureError(QStringLiteral("Das ist keine gewöhnliche Datei"));
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadOnly))
        ThrowPictureError(file->errorString());
    const qint64 size = file->size();
    if (size == 0)
        ThrowPictureError(QStringLiteral("Die Datei ist leer"));
    if (size > kMaxFileBytes)
        ThrowPictureError(QStringLiteral("Die Datei ist zu groß"));
    return file;
}

QByteArray ReadPictureFile(const QString &fileName)
{
    const std::unique_ptr<QFile> file = OpenPictureFile(fileName);
    const qint64 size = file->size();
    QByteArray bytes(size, Qt::Uninitialized);
    if (file->read(bytes.data(), size) != size)
        ThrowPictureError(file->errorString());
    return bytes;
}

Bitmap DecodeNamingFile(const QString &fileName, const std::function<Bitmap()> &decode)
{
    try {
        return decode();
    } catch (const PictureFileError &e) {
        ThrowReadError(fileName, QString::fromStdString(e.what()));
    } catch (const PictureTooLarge &e) {
        ThrowReadError(fileName, QString::fromStdString(e.what()));
    } catch (const std::bad_alloc &) {
        ThrowReadError(fileName, QStringLiteral("Zu wenig Arbeitsspeicher"));
    }
}

Bitmap DecodeFileWith(const QString &fileName, Bitmap (*decode)(const QByteArray &data))
{
    return DecodeNamingFile(fileName, [&] { return decode(ReadPictureFile(fileName)); });
}

namespace {

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// A file descriptor closed on every path.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : FFd(fd) {}
    ~TFileDescriptor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor &) = delete;
    TFileDescriptor &operator=(const TFileDescriptor &) = delete;
    int Get() const { return FFd; }
    // Closes now and gives errno of a failed close (a late write-back error), or 0.
    int Close()
    {
        const int result = ::close(std::exchange(FFd, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int FFd;
};

// errno of the first failed write, or 0 when every byte reached the file.
int WriteAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= std::size_t(written);
    }
    return 0;
}

}  // namespace

// POSIX calls rather than QFile: a write that stops half-way (a full disk, a size limit)
// must report the system's reason, and QFile does not always keep errno for that case.
void WritePictureFile(const QString &fileName, const QByteArray &bytes)
{
    // Only a regular file (or a new one) is ours to remove after a failure; a device or
    // anything else that happens to carry the name is left alone.
    const QFileInfo before(fileName);
    const bool removeOnFailure = !before.exists() || before.isFile();
    const QByteArray path = QFile::encodeName(fileName);
    TFileDescriptor file(::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.Get() < 0)
        ThrowWriteError(fileName, SystemReason(errno));
    int error = WriteAll(file.Get(), bytes.constData(), std::size_t(bytes.size()));
    const int closeError = file.Close();
    if (error == 0)
        error = closeError;
    if (error != 0) {
        if (removeOnFailure)
            ::unlink(path.constData());
        ThrowWriteError(fileName, SystemReason(error));
    }
}

void EncodeFileWith(const QString &fileName, const std::function<QByteArray()> &encode)
{
    QByteArray bytes;
    try {
        bytes = encode();
    } catch (const PictureFileError &e) {
        ThrowWriteError(fileName, QString::fromStdString(e.what()));
    } catch (const std::bad_alloc &) {
        ThrowWriteError(fileName, QStringLiteral("Zu wenig Arbeitsspeicher"));
    }
    WritePictureFile(fileName, bytes);
}

int ClampDpi(int dpi) { return std::clamp(dpi, 0, kMaxDpi); }

std::uint32_t PixelsPerMetre(int dpi)
{
    constexpr double kMetresPerInch = 0.0254;
    return std::uint32_t(Round(ClampDpi(dpi) / kMetresPerInch));
}

void CheckEncodable(const Bitmap &picture)
{
    if (picture.Empty())
        ThrowPictureError(QStringLiteral("Ein leeres Bild kann nicht gespeichert werden"));
}

}  // namespace lmk
