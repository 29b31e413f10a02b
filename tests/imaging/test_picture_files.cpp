// SPDX-License-Identifier: GPL-3.0-or-later
// Picture files written by the program and read back by independent tools, and files written
// by other programs read by ours.
#include "imaging/PictureFiles.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>

using namespace lmk;
using lmktest::RunTool;
using lmktest::TempFolder;

namespace {

// A photo-like picture: smooth gradients with a little fine detail, an odd width so every
// row carries padding in both pixel formats.
Bitmap PhotoLike(int width, int height, PixelFormat format)
{
    Bitmap picture(width, height, format);
    const int bpp = picture.BytesPerPixel();
    for (int y = 0; y < height; ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (int x = 0; x < width; ++x, p += bpp) {
            p[0] = std::uint8_t(255 * x / width);
            p[1] = std::uint8_t(255 * y / height);
            p[2] = std::uint8_t(128 + ((x * 7 + y * 13) % 8) - 4);
            if (bpp == 4)
                p[3] = 255;
        }
    }
    return picture;
}

// Red, green, blue of a pixel.
struct Rgb {
    int R, G, B;
};

Rgb PixelAt(const Bitmap &picture, int x, int y)
{
    const std::uint8_t *p = picture.ScanLine(y) + x * picture.BytesPerPixel();
    return {p[2], p[1], p[0]};
}

// Largest channel difference between two pictures of equal size, and the mean difference.
struct Difference {
    int Max = 0;
    double Mean = 0;
};

Difference Compare(const Bitmap &a, const Bitmap &b)
{
    Difference d;
    long long sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const Rgb p = PixelAt(a, x, y);
            const Rgb q = PixelAt(b, x, y);
            for (int v : {std::abs(p.R - q.R), std::abs(p.G - q.G), std::abs(p.B - q.B)}) {
                d.Max = std::max(d.Max, v);
                sum += v;
            }
        }
    d.Mean = double(sum) / (3.0 * a.Width() * a.Height());
    return d;
}

// The pixels as ImageMagick decodes the file, as a 24-bit Bitmap.
Bitmap ReadWithImageMagick(const QString &fileName, int width, int height)
{
    QProcess process;
    process.start("convert", {fileName + "[0]", "-depth", "8", "rgb:-"});
    process.waitForFinished(60000);
    const QByteArray rgb = process.readAllStandardOutput();
    Bitmap picture(width, height, PixelFormat::pf24bit);
    if (rgb.size() != qsizetype(width) * height * 3)
        return {};
    const auto *in = reinterpret_cast<const std::uint8_t *>(rgb.constData());
    for (int y = 0; y < height; ++y) {
        std::uint8_t *out = picture.ScanLine(y);
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return picture;
}

using Writer = std::function<void(const Bitmap &, const QString &, int dpi)>;
using Reader = std::function<Bitmap(const QString &)>;

struct Codec {
    const char *Extension;
    Writer Write;
    Reader Read;
    int Tolerance;  // largest channel difference after a round trip
};

const Codec kCodecs[] = {
    {"bmp", EncodeBmpFile, DecodeBmpFile, 0},
    {"png", EncodePngFile, DecodePngFile, 0},
    {"tif", EncodeTiffFile, DecodeTiffFile, 0},
    {"jpg", [](const Bitmap &b, const QString &f, int dpi) { EncodeJpegFile(b, f, 95, dpi); }, DecodeJpegFile, 24},
};

}  // namespace

TEST(PictureFiles, RoundTripKeepsThePixelsAndOtherProgramsSeeTheSame)
{
    TempFolder folder;
    for (const Codec &codec : kCodecs)
        for (PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf32bit}) {
            const Bitmap original = PhotoLike(97, 61, format);
            const QString fileName = folder.Path(QString("bild.") + codec.Extension);
            codec.Write(original, fileName, 300);
            SCOPED_TRACE(fileName.toStdString() + (format == PixelFormat::pf24bit ? " 24" : " 32"));

            for (const Bitmap &decoded : {codec.Read(fileName), DecodeByExtension(fileName)}) {
                ASSERT_EQ(decoded.Width(), 97);
                ASSERT_EQ(decoded.Height(), 61);
                EXPECT_EQ(decoded.Format(), PixelFormat::pf24bit);
                const Difference d = Compare(original, decoded);
                EXPECT_LE(d.Max, codec.Tolerance);
                EXPECT_LT(d.Mean, codec.Tolerance == 0 ? 0.001 : 2.0);
            }
            const Bitmap theirs = ReadWithImageMagick(fileName, 97, 61);
            ASSERT_FALSE(theirs.Empty());
            EXPECT_LE(Compare(original, theirs).Max, codec.Tolerance);
        }
}

TEST(PictureFiles, ResolutionFieldsCarryTheDpi)
{
    // What ImageMagick and exiftool report for a file written at `dpi`: JPEG and TIFF keep
    // dots per inch, PNG and BMP pixels per metre (ImageMagick shows those per centimetre).
    struct Expectation {
        const char *Extension;
        QString Unit;
        std::function<double(int)> IdentifyValue;
        QStringList ExifTags;
        std::function<QStringList(int)> ExifValues;
    };
    const auto perMetre = [](int dpi) { return std::nearbyint(dpi / 0.0254); };
    const Expectation expectations[] = {
        {"jpg", "PixelsPerInch", [](int dpi) { return double(dpi); },
         {"-JFIF:XResolution", "-JFIF:YResolution", "-JFIF:ResolutionUnit"},
         [](int dpi) { return QStringList{QString::number(dpi), QString::number(dpi), "inches"}; }},
        {"tif", "PixelsPerInch", [](int dpi) { return double(dpi); },
         {"-XResolution", "-YResolution", "-ResolutionUnit"},
         [](int dpi) { return QStringList{QString::number(dpi), QString::number(dpi), "inches"}; }},
        {"png", "PixelsPerCentimeter", [&](int dpi) { return perMetre(dpi) / 100; },
         {"-PixelsPerUnitX", "-PixelsPerUnitY", "-PixelUnits"},
         [&](int dpi) { return QStringList{QString::number(perMetre(dpi)), QString::number(perMetre(dpi)), "meters"}; }},
        {"bmp", "PixelsPerCentimeter", [&](int dpi) { return perMetre(dpi) / 100; },
         {"-PixelsPerMeterX", "-PixelsPerMeterY"},
         [&](int dpi) { return QStringList{QString::number(perMetre(dpi)), QString::number(perMetre(dpi))}; }},
    };
    TempFolder folder;
    const Bitmap picture = PhotoLike(16, 12, PixelFormat::pf24bit);
    for (const Expectation &e : expectations)
        for (int dpi : {240, 1200}) {
            const QString fileName = folder.Path(QString("dpi%1.%2").arg(dpi).arg(e.Extension));
            for (const Codec &codec : kCodecs)
                if (QString(codec.Extension) == e.Extension)
                    codec.Write(picture, fileName, dpi);
            SCOPED_TRACE(fileName.toStdString());

            const QStringList identified =
                RunTool("identify", {"-format", "%x %y %U", fileName}).split(' ');
            ASSERT_EQ(identified.size(), 3);
            EXPECT_NEAR(identified[0].toDouble(), e.IdentifyValue(dpi), 0.005);
            EXPECT_NEAR(identified[1].toDouble(), e.IdentifyValue(dpi), 0.005);
            EXPECT_EQ(identified[2], e.Unit);

            const QStringList exif =
                RunTool("exiftool", QStringList{"-s3"} + e.ExifTags + QStringList{fileName}).split('\n', Qt::SkipEmptyParts);
            EXPECT_EQ(exif, e.ExifValues(dpi));
        }
}

TEST(PictureFiles, JpegQualityIsTheOneAskedFor)
{
    // ImageMagick estimates the quality from the quantisation tables libjpeg wrote; values
    // outside 1 ... 100 are held at the nearest end.
    TempFolder folder;
    const Bitmap picture = PhotoLike(64, 48, PixelFormat::pf32bit);
    const struct {
        int Asked, Written;
    } cases[] = {{1, 1}, {50, 50}, {90, 90}, {100, 100}, {0, 1}, {150, 100}};
    qint64 previousSize = 0;
    for (const auto &c : cases) {
        const QString fileName = folder.Path(QString("q%1.jpg").arg(c.Asked));
        EncodeJpegFile(picture, fileName, c.Asked, 300);
        EXPECT_EQ(RunTool("identify", {"-format", "%Q", fileName}), QString::number(c.Written)) << c.Asked;
        if (c.Asked >= 1 && c.Asked <= 100) {
            const qint64 size = QFileInfo(fileName).size();
            EXPECT_GT(size, previousSize) << "higher quality, larger file: " << c.Asked;
            previousSize = size;
        }
    }
    // The in-memory encoder gives the same bytes as the file.
    EXPECT_EQ(EncodeJpeg(picture, 90, 300), folder.Read("q90.jpg"));
}

TEST(PictureFiles, FilesOfOtherProgramsInTheirManyKinds)
{
    // Each file is made by ImageMagick from one colour; all kinds come out as that colour,
    // transparency composed onto white.
    struct Kind {
        const char *Name;  // the extension chooses the decoder
        QStringList Make;  // ImageMagick's colour and options
        const char *Coder; // ImageMagick's format prefix for the output name, if any
        Rgb Expected;
        int Tolerance;
    };
    const Kind kinds[] = {
        {"grey.jpg", {"xc:gray(100)", "-colorspace", "Gray"}, "", {100, 100, 100}, 2},
        {"cmyk.jpg", {"xc:rgb(200,40,90)", "-colorspace", "CMYK"}, "", {200, 40, 90}, 6},
        {"progressive.jpg", {"xc:rgb(30,140,220)", "-interlace", "JPEG"}, "", {30, 140, 220}, 4},
        {"fullchroma.jpg", {"xc:rgb(30,140,220)", "-sampling-factor", "1x1"}, "", {30, 140, 220}, 4},
        {"palette.png", {"xc:blue"}, "PNG8:", {0, 0, 255}, 0},
        {"deep.png", {"xc:rgb(10%,20%,30%)", "-depth", "16"}, "PNG48:", {26, 51, 77}, 1},
        {"greyalpha.png", {"xc:graya(40%,0.5)", "-depth", "8"}, "", {179, 179, 179}, 1},
        {"halfred.png", {"xc:rgba(255,0,0,0.5)"}, "PNG32:", {255, 128, 128}, 1},
        {"clear.png", {"xc:none"}, "PNG32:", {255, 255, 255}, 0},
        {"clearpalette.png", {"xc:none"}, "PNG8:", {255, 255, 255}, 0},
        {"bilevel.png", {"xc:black", "-type", "Bilevel"}, "", {0, 0, 0}, 0},
        {"interlaced.png", {"xc:rgb(1,2,3)", "-interlace", "PNG"}, "", {1, 2, 3}, 0},
        {"deep.tif", {"xc:rgb(10%,20%,30%)", "-depth", "16"}, "", {26, 51, 77}, 1},
        {"lzw.tif", {"xc:rgb(5,6,7)", "-compress", "LZW"}, "", {5, 6, 7}, 0},
        {"grey.tif", {"xc:gray(77)", "-colorspace", "Gray"}, "", {77, 77, 77}, 0},
        {"halfblue.tif", {"xc:rgba(0,0,255,0.5)"}, "", {128, 128, 255}, 1},
        {"cmyk.tif", {"xc:rgb(200,40,90)", "-colorspace", "CMYK", "-depth", "8"}, "", {200, 40, 90}, 3},
        {"palette.bmp", {"xc:rgb(9,99,199)", "-type", "Palette"}, "BMP3:", {9, 99, 199}, 0},
        {"bilevel.bmp", {"xc:white", "-type", "Bilevel"}, "BMP3:", {255, 255, 255}, 0},
        {"rgb565.bmp", {"xc:rgb(255,0,255)", "-define", "bmp:subtype=RGB565"}, "", {255, 0, 255}, 0},
        {"bitfields.bmp", {"xc:rgba(12,34,56,1)", "-alpha", "on"}, "BMP:", {12, 34, 56}, 0},
        {"still.gif", {"xc:rgb(255,255,0)"}, "", {255, 255, 0}, 0},
        {"icon.ico", {"xc:rgb(0,128,0)"}, "", {0, 128, 0}, 0},
        {"lossless.webp", {"xc:rgb(20,30,40)", "-define", "webp:lossless=true"}, "", {20, 30, 40}, 0},
    };
    TempFolder folder;
    for (const Kind &kind : kinds) {
        const QString fileName = folder.Path(kind.Name);
        int exitCode = -1;
        RunTool("convert", QStringList{"-size", "6x5"} + kind.Make + QStringList{kind.Coder + fileName}, &exitCode);
        ASSERT_EQ(exitCode, 0) << kind.Name;

        SCOPED_TRACE(kind.Name);
        const Bitmap picture = DecodeByExtension(fileName);
        ASSERT_EQ(picture.Width(), 6);
        ASSERT_EQ(picture.Height(), 5);
        EXPECT_EQ(picture.Format(), PixelFormat::pf24bit);
        for (const auto &[x, y] : {std::pair{0, 0}, std::pair{5, 4}, std::pair{3, 2}}) {
            const Rgb p = PixelAt(picture, x, y);
            EXPECT_NEAR(p.R, kind.Expected.R, kind.Tolerance);
            EXPECT_NEAR(p.G, kind.Expected.G, kind.Tolerance);
            EXPECT_NEAR(p.B, kind.Expected.B, kind.Tolerance);
        }
    }
}

namespace {

// A 4 x 4 CMYK JPEG of one stored ink value set, written with libjpeg itself: with the Adobe
// marker the values are taken as inverted (255 = no ink), the way layout programs write them;
// without it as direct ink amounts.
QByteArray CmykJpeg(std::array<std::uint8_t, 4> stored, bool adobeMarker)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 4;
    info.image_height = 4;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_CMYK);
    jpeg_set_quality(&info, 100, TRUE);
    info.write_Adobe_marker = adobeMarker;
    jpeg_start_compress(&info, TRUE);
    std::array<std::uint8_t, 16> row{};
    for (int x = 0; x < 4; ++x)
        std::memcpy(row.data() + 4 * x, stored.data(), 4);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

}  // namespace

TEST(PictureFiles, CmykJpegWithAndWithoutAdobeMarker)
{
    // rgb(200, 40, 90) is C 0, M 204, Y 140, K 55; the Adobe file stores 255 minus each.
    const struct {
        std::array<std::uint8_t, 4> Stored;
        bool Adobe;
        Rgb Expected;
    } cases[] = {
        {{255, 51, 115, 200}, true, {200, 40, 90}},
        {{0, 204, 140, 55}, false, {200, 40, 90}},
        {{0, 0, 0, 0}, false, {255, 255, 255}},
        {{0, 0, 0, 0}, true, {0, 0, 0}},
    };
    for (const auto &c : cases) {
        const Rgb p = PixelAt(DecodeJpeg(CmykJpeg(c.Stored, c.Adobe)), 2, 2);
        EXPECT_NEAR(p.R, c.Expected.R, 2) << c.Adobe;
        EXPECT_NEAR(p.G, c.Expected.G, 2) << c.Adobe;
        EXPECT_NEAR(p.B, c.Expected.B, 2) << c.Adobe;
    }
}

TEST(PictureFiles, BmpRowOrderAndColourTables)
{
    // A top-down file (negative height) with the same rows reversed gives the same picture.
    const Bitmap original = PhotoLike(5, 4, PixelFormat::pf24bit);
    QByteArray bottomUp = EncodeBmp(original, 0);
    const int rowBytes = 16;  // 5 pixels x 3 bytes, padded to 4
    QByteArray topDown = bottomUp.left(54);
    for (int row = 3; row >= 0; --row)
        topDown += bottomUp.mid(54 + row * rowBytes, rowBytes);
    const std::int32_t negativeHeight = -4;
    std::memcpy(topDown.data() + 22, &negativeHeight, 4);
    EXPECT_EQ(Compare(DecodeBmp(topDown), original).Max, 0);
    EXPECT_EQ(Compare(DecodeBmp(bottomUp), original).Max, 0);

    // 4 bits per pixel with a two-entry table: pixel values beyond the table are black; the
    // leftmost pixel sits in the high half of a byte.
    QByteArray indexed(14 + 40 + 8 + 4, '\0');
    auto put32 = [&](int at, std::uint32_t v) { std::memcpy(indexed.data() + at, &v, 4); };
    indexed[0] = 'B';
    indexed[1] = 'M';
    put32(10, 14 + 40 + 8);
    put32(14, 40);
    put32(18, 3);          // width
    put32(22, 1);          // height
    indexed[26] = 1;       // planes
    indexed[28] = 4;       // bits
    put32(46, 2);          // colours used
    put32(54, 0x00FF0000); // index 0: red
    put32(58, 0x000000FF); // index 1: blue
    indexed[62] = char(0x10);  // pixels 1, 0
    indexed[63] = char(0x70);  // pixel 7: beyond the table
    const Bitmap decoded = DecodeBmp(indexed);
    ASSERT_EQ(decoded.Width(), 3);
    const Rgb p0 = PixelAt(decoded, 0, 0), p1 = PixelAt(decoded, 1, 0), p2 = PixelAt(decoded, 2, 0);
    EXPECT_EQ((std::array{p0.R, p0.G, p0.B}), (std::array{0, 0, 255}));
    EXPECT_EQ((std::array{p1.R, p1.G, p1.B}), (std::array{255, 0, 0}));
    EXPECT_EQ((std::array{p2.R, p2.G, p2.B}), (std::array{0, 0, 0}));
}

TEST(PictureFiles, QtLoaderReadsByContentAndGivesNothingForTheUnreadable)
{
    TempFolder folder;
    const Bitmap picture = PhotoLike(9, 7, PixelFormat::pf24bit);
    EncodePngFile(picture, folder.Path("ohne-endung"), 0);
    EncodePngFile(picture, folder.Path("falsch.gif"), 0);
    folder.Write("text.dat", "kein Bild");
    QDir(folder.Root()).mkdir("ordner.png");

    EXPECT_EQ(Compare(DecodeWithQt(folder.Path("ohne-endung")), picture).Max, 0);
    EXPECT_EQ(Compare(DecodeWithQt(folder.Path("falsch.gif")), picture).Max, 0);
    EXPECT_TRUE(DecodeWithQt(folder.Path("text.dat")).Empty());
    EXPECT_TRUE(DecodeWithQt(folder.Path("ordner.png")).Empty());
    EXPECT_TRUE(DecodeWithQt(folder.Path("fehlt.png")).Empty());
}

namespace {

// Limits the size of files this process may write, so a write fails half-way (as on a full
// disk) even for root; the signal the kernel sends for it is ignored while the limit holds.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

}  // namespace

TEST(PictureFiles, FailedWriteNamesTheReasonAndLeavesNoFile)
{
    struct Failure {
        const char *Name;
        QString Target;      // relative to the test folder, without the extension
        const char *Reason;  // what the system says
        rlim_t SizeLimit;    // 0: none
        bool TargetIsFolder;
        bool NeedsNonRoot;
    };
    const Failure failures[] = {
        {"missing folder", "fehlt/bild", "No such file or directory", 0, false, false},
        {"target is a folder", "ordner", "Is a directory", 0, true, false},
        {"folder not writable", "gesperrt/bild", "Permission denied", 0, false, true},
        {"disk full half-way", "voll/bild", "File too large", 256, false, false},
    };
    TempFolder folder;
    QDir root(folder.Root());
    root.mkdir("gesperrt");
    root.mkdir("voll");
    QFile::setPermissions(folder.Path("gesperrt"), QFile::ReadOwner | QFile::ExeOwner);
    const Bitmap picture = PhotoLike(64, 64, PixelFormat::pf24bit);

    for (const Failure &failure : failures) {
        if (failure.NeedsNonRoot && geteuid() == 0)
            continue;  // root writes everywhere
        for (const Codec &codec : kCodecs) {
            const QString fileName = folder.Path(failure.Target + "." + codec.Extension);
            if (failure.TargetIsFolder)
                root.mkdir(fileName);
            SCOPED_TRACE(std::string(failure.Name) + " " + codec.Extension);
            std::string message;
            try {
                std::optional<FileSizeLimit> limit;
                if (failure.SizeLimit)
                    limit.emplace(failure.SizeLimit);
                codec.Write(picture, fileName, 300);
            } catch (const PictureFileError &e) {
                message = e.what();
            }
            EXPECT_NE(message.find(fileName.toStdString()), std::string::npos) << message;
            EXPECT_NE(message.find(failure.Reason), std::string::npos) << message;
            EXPECT_FALSE(QFileInfo(fileName).isFile());
            EXPECT_EQ(QFileInfo(fileName).isDir(), failure.TargetIsFolder);
        }
    }
    EXPECT_TRUE(QDir(folder.Path("voll")).isEmpty());
}

TEST(PictureFiles, EmptyPictureIsRefusedWithoutWriting)
{
    TempFolder folder;
    for (const Codec &codec : kCodecs) {
        const QString fileName = folder.Path(QString("leer.") + codec.Extension);
        EXPECT_THROW(codec.Write(Bitmap(), fileName, 300), PictureFileError) << codec.Extension;
    }
    EXPECT_THROW(EncodeBmp(Bitmap()), PictureFileError);
    EXPECT_TRUE(folder.Entries().isEmpty());
}
