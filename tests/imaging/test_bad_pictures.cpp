// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged, cut-off, oversized, lying and unreadable picture files: every decoder refuses them
// with a PictureFileError that names the file, prints nothing and writes nothing.
#include "imaging/PictureFiles.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

using namespace lmk;
using lmktest::TempFolder;

namespace {

Bitmap Noise(int width, int height)
{
    Bitmap picture(width, height, PixelFormat::pf24bit);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (int i = 0; i < width * 3; ++i) {
            state = state * 1103515245u + 12345u;
            p[i] = std::uint8_t(state >> 24);
        }
    }
    return picture;
}

// Valid files of each format, the material the damaged ones are made from.
struct Samples {
    QByteArray Jpeg, Png, Tiff, Bmp, Gif;
};

Samples MakeSamples(const TempFolder &scratch)
{
    const Bitmap picture = Noise(40, 30);
    EncodePngFile(picture, scratch.Path("s.png"), 300);
    EncodeTiffFile(picture, scratch.Path("s.tif"), 300);
    lmktest::RunTool("convert", {scratch.Path("s.png"), scratch.Path("s.gif")});
    return {EncodeJpeg(picture, 90, 300), scratch.Read("s.png"), scratch.Read("s.tif"), EncodeBmp(picture, 300),
            scratch.Read("s.gif")};
}

QByteArray Half(const QByteArray &bytes) { return bytes.left(bytes.size() / 2); }

void PutBigEndian32(QByteArray &bytes, qsizetype at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(v >> (24 - 8 * i));
}

void PutLittleEndian(QByteArray &bytes, qsizetype at, std::uint32_t v, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[at + i] = char(v >> (8 * i));
}

std::uint32_t LittleEndian(const QByteArray &bytes, qsizetype at, int count)
{
    std::uint32_t v = 0;
    for (int i = count - 1; i >= 0; --i)
        v = v << 8 | std::uint8_t(bytes[at + i]);
    return v;
}

qsizetype MarkerAt(const QByteArray &jpeg, char code)
{
    const char marker[] = {char(0xFF), code};
    return jpeg.indexOf(QByteArray(marker, 2));
}

// The sixteen code counts of the first Huffman table all 255: far more codes than exist.
QByteArray JpegWithBadHuffmanTable(QByteArray jpeg)
{
    const qsizetype at = MarkerAt(jpeg, char(0xC4));
    for (int i = 0; i < 16; ++i)
        jpeg[at + 5 + i] = char(0xFF);
    return jpeg;
}

// 60000 x 60000 in the frame header: within libjpeg's limit of 65500, far beyond memory.
QByteArray JpegOfHugeSize(QByteArray jpeg)
{
    const qsizetype at = MarkerAt(jpeg, char(0xC0));
    for (int i : {5, 7}) {
        jpeg[at + i] = char(60000 >> 8);
        jpeg[at + i + 1] = char(60000 & 0xFF);
    }
    return jpeg;
}

// One byte of the compressed pixels flipped: the compressed stream and the chunk's checksum
// no longer match.
QByteArray PngWithFlippedByte(QByteArray png)
{
    const qsizetype at = png.indexOf("IDAT") + 4 + 10;
    png[at] = char(~png[at]);
    return png;
}

// 100000 x 100000 in the header, with a correct checksum so only the size is wrong.
QByteArray PngOfHugeSize(QByteArray png)
{
    PutBigEndian32(png, 16, 100000);
    PutBigEndian32(png, 20, 100000);
    const auto crc = crc32(0, reinterpret_cast<const Bytef *>(png.constData() + 12), 4 + 13);
    PutBigEndian32(png, 29, std::uint32_t(crc));
    return png;
}

QByteArray TiffWithBadDirectoryOffset(QByteArray tiff)
{
    PutLittleEndian(tiff, 4, 0xFFFFFFF0u, 4);
    return tiff;
}

// ImageWidth and ImageLength entries of the first directory rewritten as 32-bit 100000.
QByteArray TiffOfHugeSize(QByteArray tiff)
{
    constexpr std::uint32_t kImageWidth = 256, kImageLength = 257, kLong = 4;
    const std::uint32_t directory = LittleEndian(tiff, 4, 4);
    const std::uint32_t entries = LittleEndian(tiff, directory, 2);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + 12 * i;
        const std::uint32_t tag = LittleEndian(tiff, entry, 2);
        if (tag == kImageWidth || tag == kImageLength) {
            PutLittleEndian(tiff, entry + 2, kLong, 2);
            PutLittleEndian(tiff, entry + 4, 1, 4);
            PutLittleEndian(tiff, entry + 8, 100000, 4);
        }
    }
    return tiff;
}

QByteArray BmpWithSevenBitPixels(QByteArray bmp)
{
    PutLittleEndian(bmp, 28, 7, 2);
    return bmp;
}

QByteArray BmpWithSize(QByteArray bmp, std::uint32_t width, std::uint32_t height)
{
    PutLittleEndian(bmp, 18, width, 4);
    PutLittleEndian(bmp, 22, height, 4);
    return bmp;
}

QByteArray GifOfHugeSize(QByteArray gif)
{
    PutLittleEndian(gif, 6, 0xFFFF, 2);  // logical screen
    PutLittleEndian(gif, 8, 0xFFFF, 2);
    return gif;
}

// Everything the process writes to its standard error while the object lives.
class StderrCapture {
public:
    explicit StderrCapture(const QString &fileName) : FFileName(fileName)
    {
        std::fflush(stderr);
        FSaved = dup(STDERR_FILENO);
        const int fd = open(fileName.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDERR_FILENO);
        close(fd);
    }
    ~StderrCapture() { Restore(); }
    QByteArray Finish()
    {
        Restore();
        QFile f(FFileName);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private:
    void Restore()
    {
        if (FSaved < 0)
            return;
        std::fflush(stderr);
        dup2(FSaved, STDERR_FILENO);
        close(FSaved);
        FSaved = -1;
    }
    QString FFileName;
    int FSaved = -1;
};

using Decoder = Bitmap (*)(const QString &);

}  // namespace

TEST(BadPictures, EveryDecoderRefusesDamagedInputQuietly)
{
    enum class Make { Bytes, Folder, Unreadable, Missing };
    struct Case {
        const char *Name;  // file name; its extension chooses DecodeByExtension's decoder
        Make Kind;
        std::function<QByteArray(const Samples &)> Content;
        // The content is a valid picture under another name: only the decoder the extension
        // names must refuse it, not every decoder.
        bool ValidElsewhere = false;
        const char *Reason = "";  // part of the message that shows why
    };
    const auto none = [](const Samples &) { return QByteArray(); };
    const Case cases[] = {
        {"halb.jpg", Make::Bytes, [](const Samples &s) { return Half(s.Jpeg); }, false, "Premature end"},
        {"ohne-ende.jpg", Make::Bytes, [](const Samples &s) { return s.Jpeg.chopped(2); }, false, "Premature end"},
        {"huffman.jpg", Make::Bytes, [](const Samples &s) { return JpegWithBadHuffmanTable(s.Jpeg); }, false, "Huffman"},
        {"riesig.jpg", Make::Bytes, [](const Samples &s) { return JpegOfHugeSize(s.Jpeg); }, false, "60000 × 60000"},
        {"halb.png", Make::Bytes, [](const Samples &s) { return Half(s.Png); }, false, "unvollständig"},
        {"gekippt.png", Make::Bytes, [](const Samples &s) { return PngWithFlippedByte(s.Png); }, false, "IDAT"},
        {"riesig.png", Make::Bytes, [](const Samples &s) { return PngOfHugeSize(s.Png); }, false, "100000 × 100000"},
        {"halb.tif", Make::Bytes, [](const Samples &s) { return Half(s.Tiff); }, false},
        {"verzeichnis.tif", Make::Bytes, [](const Samples &s) { return TiffWithBadDirectoryOffset(s.Tiff); }, false},
        {"riesig.tiff", Make::Bytes, [](const Samples &s) { return TiffOfHugeSize(s.Tiff); }, false, "100000 × 100000"},
        {"halb.bmp", Make::Bytes, [](const Samples &s) { return Half(s.Bmp); }, false, "unvollständig"},
        {"siebenbit.bmp", Make::Bytes, [](const Samples &s) { return BmpWithSevenBitPixels(s.Bmp); }, false, "7 Bit"},
        {"riesig.bmp", Make::Bytes, [](const Samples &s) { return BmpWithSize(s.Bmp, 100000, 100000); }, false, "100000 × 100000"},
        {"schmal.bmp", Make::Bytes, [](const Samples &s) { return BmpWithSize(s.Bmp, 0, 30); }, false, "0 × 30"},
        {"riesig.gif", Make::Bytes, [](const Samples &s) { return GifOfHugeSize(s.Gif); }, false},
        {"halb.gif", Make::Bytes, [](const Samples &s) { return s.Gif.left(20); }, false},
        {"leer.jpg", Make::Bytes, none, false, "leer"},
        {"leer.png", Make::Bytes, none, false, "leer"},
        {"leer.tif", Make::Bytes, none, false, "leer"},
        {"leer.bmp", Make::Bytes, none, false, "leer"},
        {"leer.gif", Make::Bytes, none, false, "leer"},
        {"png-inhalt.jpg", Make::Bytes, [](const Samples &s) { return s.Png; }, true, "Not a JPEG"},
        {"jpeg-inhalt.png", Make::Bytes, [](const Samples &s) { return s.Jpeg; }, true, "Keine PNG-Datei"},
        {"bmp-inhalt.tif", Make::Bytes, [](const Samples &s) { return s.Bmp; }, true},
        {"tiff-inhalt.bmp", Make::Bytes, [](const Samples &s) { return s.Tiff; }, true, "Keine BMP-Datei"},
        {"text.xyz", Make::Bytes, [](const Samples &) { return QByteArray("Hallo, kein Bild"); }, false},
        {"text.gif", Make::Bytes, [](const Samples &) { return QByteArray("Hallo, kein Bild"); }, false},
        {"ordner.jpg", Make::Folder, none, false, "Ordner"},
        {"ordner.webp", Make::Folder, none, false, "Ordner"},
        {"gesperrt.png", Make::Unreadable, [](const Samples &s) { return s.Png; }, true, "Permission denied"},
        {"fehlt.tif", Make::Missing, none, false, "existiert nicht"},
    };
    const Decoder allDecoders[] = {DecodeJpegFile, DecodePngFile, DecodeTiffFile, DecodeBmpFile, DecodeByExtension};

    TempFolder scratch;
    const Samples samples = MakeSamples(scratch);
    ASSERT_FALSE(samples.Gif.isEmpty());
    TempFolder folder;
    for (const Case &c : cases) {
        const QString fileName = folder.Path(c.Name);
        if (c.Kind == Make::Folder)
            QDir(folder.Root()).mkdir(c.Name);
        else if (c.Kind != Make::Missing)
            folder.Write(c.Name, c.Content(samples));
        if (c.Kind == Make::Unreadable) {
            if (geteuid() == 0)
                continue;  // root reads every file
            QFile::setPermissions(fileName, {});
        }
    }
    const QStringList before = QDir(folder.Root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    StderrCapture errors(scratch.Path("stderr.txt"));
    for (const Case &c : cases) {
        if (c.Kind == Make::Unreadable && geteuid() == 0)
            continue;
        const QString fileName = folder.Path(c.Name);
        std::vector<Decoder> decoders{DecodeByExtension};
        if (!c.ValidElsewhere)
            decoders.assign(std::begin(allDecoders), std::end(allDecoders));
        for (Decoder decode : decoders) {
            SCOPED_TRACE(c.Name);
            std::string message;
            try {
                decode(fileName);
            } catch (const PictureFileError &e) {
                message = e.what();
            }
            ASSERT_FALSE(message.empty()) << "accepted";
            EXPECT_NE(message.find(fileName.toStdString()), std::string::npos) << message;
            if (decode == DecodeByExtension) {
                EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
            }
        }
    }
    EXPECT_EQ(errors.Finish(), QByteArray());
    EXPECT_EQ(QDir(folder.Root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

TEST(BadPictures, MemoryDecodersRefuseDamagedBytes)
{
    TempFolder scratch;
    const Samples samples = MakeSamples(scratch);
    for (const QByteArray &bytes : {Half(samples.Jpeg), JpegOfHugeSize(samples.Jpeg), QByteArray(), samples.Png})
        EXPECT_THROW(DecodeJpeg(bytes), PictureFileError);
    for (const QByteArray &bytes : {Half(samples.Bmp), BmpWithSize(samples.Bmp, 100000, 100000), QByteArray(),
                                    samples.Jpeg, samples.Bmp.left(20)})
        EXPECT_THROW(DecodeBmp(bytes), PictureFileError);
}
