// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_ArchiveFile.h"

#include "app/AtomicFileWrite.h"
#include "controls/TThumbsList.h"
#include "imaging/PictureFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstring>

namespace lmk {

namespace {

constexpr int kBmpHeaderBytes = 14 + 40;
constexpr qsizetype kMaxNameBytes = kNameBlockBytes - 1;
constexpr qint64 kLengthBytes = 4;

void PutU16(char *p, std::uint32_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
}

void PutU32(char *p, std::uint32_t v)
{
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

std::uint32_t U32(const char *p)
{
    const auto *b = reinterpret_cast<const std::uint8_t *>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

// Code points of the bytes 0x80 ... 0x9F; the other bytes equal their Latin-1 code points.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

[[noreturn]] void ThrowDamaged(const QString &reason) { throw ArchiveFileError(reason.toStdString()); }

QByteArray ReadExactly(QFile &file, qint64 count)
{
    QByteArray bytes = file.read(count);
    if (bytes.size() != count)
        ThrowDamaged(QStringLiteral("Das Bilderarchiv ist unvollständig"));
    return bytes;
}

// Reads the records after ClearThumbs and BeginUpdate; throws on damage.
void ReadRecords(QFile &file, TThumbsList &list)
{
    const qint64 size = file.size();
    qint64 position = 0;
    while (position < size) {
        const QByteArray lengthField = ReadExactly(file, kLengthBytes);
        position += kLengthBytes;
        const qint64 length = U32(lengthField.constData());
        if (length == 0)
            break;
        // Checked before anything is allocated: a damaged length may claim up to 4 GiB.
        if (length > size - position)
            ThrowDamaged(QStringLiteral("Das Bilderarchiv ist unvollständig"));
        if (length < kNameBlockBytes)
            ThrowDamaged(QStringLiteral("Ungültige Satzlänge im Bilderarchiv"));
        const QString fileName = DecodeNameBlock(ReadExactly(file, kNameBlockBytes));
        const qint64 imageBytes = length - kNameBlockBytes;
        if (QFileInfo(fileName).isFile()) {
            auto bild = std::make_unique<Bitmap>(DecodeBmp(ReadExactly(file, imageBytes)));
            bild->SetFormat(PixelFormat::pf32bit);
            list.AddThumbItem(QString(), QString(), fileName, QString(), QString(), 0, 0, std::move(bild), false);
        } else if (!file.seek(position + length)) {  // a gone picture's image is never looked at
            ThrowDamaged(file.errorString());
        }
        position += length;
    }
}

}  // namespace

QByteArray EncodeThumbnailBmp(const Bitmap &thumbnail)
{
    const int w = thumbnail.Width(), h = thumbnail.Height();
    const qsizetype pixelBytes = qsizetype(4) * w * h;
    QByteArray image(kBmpHeaderBytes + pixelBytes, '\0');
    char *out = image.data();
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out + 2, std::uint32_t(image.size()));
    PutU32(out + 10, kBmpHeaderBytes);
    char *info = out + 14;
    PutU32(info, 40);
    PutU32(info + 4, std::uint32_t(w));
    PutU32(info + 8, std::uint32_t(h));  // positive: bottom row first
    PutU16(info + 12, 1);                // planes
    PutU16(info + 14, 32);               // bits per pixel
    PutU32(info + 16, 0);                // no compression
    PutU32(info + 20, std::uint32_t(pixelBytes));
    const int bpp = thumbnail.BytesPerPixel();
    auto *pixels = reinterpret_cast<std::uint8_t *>(out + kBmpHeaderBytes);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *in = thumbnail.ScanLine(y);
        std::uint8_t *row = pixels + std::size_t(4) * w * std::size_t(h - 1 - y);
        for (int x = 0; x < w; ++x, in += bpp, row += 4) {
            row[0] = in[0];
            row[1] = in[1];
            row[2] = in[2];
            row[3] = 0xFF;  // opaque for readers that take the fourth byte as alpha
        }
    }
    return image;
}

QByteArray EncodeNameBlock(const QString &fileName)
{
    QByteArray name = fileName.toUtf8();
    if (name.size() > kMaxNameBytes) {
        qsizetype cut = kMaxNameBytes;
        while (cut > 0 && (std::uint8_t(name[cut]) & 0xC0) == 0x80)  // inside a character
            --cut;
        name.truncate(cut);
    }
    QByteArray block(kNameBlockBytes, '\0');
    block[0] = char(name.size());
    std::memcpy(block.data() + 1, name.constData(), std::size_t(name.size()));
    return block;
}

QString FromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = std::uint8_t(bytes[i]);
        text[i] = QChar(b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

QString DecodeNameBlock(const QByteArray &block)
{
    if (block.isEmpty())
        return {};
    const qsizetype length = std::min<qsizetype>(std::uint8_t(block[0]), block.size() - 1);
    const QByteArrayView name(block.constData() + 1, length);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(name);
    if (utf8.hasError())
        return FromWindows1252(name);  // written by a program that used the Western code page
    return text;
}

void SaveArchiveFile(const QString &path, const TThumbsList &list)
{
    const int count = list.GetThumbsCount();
    const int first = std::max(0, count - kArchiveMaxRecords);
    QByteArray content;
    for (int i = first; i < count; ++i) {
        const TItemData &data = list.GetThumbItem(i)->ItemData;
        if (!data.Bild())
            continue;  // a record needs a picture
        const QByteArray image = EncodeThumbnailBmp(*data.Bild());
        char length[kLengthBytes];
        PutU32(length, std::uint32_t(kNameBlockBytes + image.size()));
        content.append(length, kLengthBytes).append(EncodeNameBlock(data.Filename())).append(image);
    }
    try {
        TAtomicFileWrite write(path);
        QFile file(write.TemporaryFileName());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size() ||
            !file.flush())
            throw FileWriteError(file.errorString().toStdString());
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw FileWriteError(file.errorString().toStdString());
        write.Commit();
    } catch (const FileWriteError &error) {
        throw ArchiveFileError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden: %2")
                                   .arg(path, QString::fromStdString(error.what()))
                                   .toStdString());
    }
}

bool LoadArchiveFile(const QString &path, TThumbsList &list)
{
    list.ClearThumbs();
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    bool ok = true;
    list.BeginUpdate();
    try {
        QFile file(path);
        if (info.isDir() || !file.open(QIODevice::ReadOnly))
            ThrowDamaged(file.errorString());
        ReadRecords(file, list);
    } catch (const std::exception &) {  // damaged records, pictures and memory alike
        ok = false;
    }
    list.EndUpdate();
    if (!ok)
        list.ClearThumbs();
    list.ArrangeThumbs();
    if (list.GetThumbsCount() > 0)
        list.SetThumbIndex(0);
    return ok;
}

}  // namespace lmk
