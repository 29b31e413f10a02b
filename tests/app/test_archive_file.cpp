// SPDX-License-Identifier: GPL-3.0-or-later
// Archive files through real files: the bytes written, reading them back, and damaged files
// made byte by byte.
#include "app/Unit_ArchiveFile.h"
#include "controls/TThumbsList.h"
#include "imaging/PictureFiles.h"
#include "tests/support/Pixels.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lmk;
using lmktest::TempFolder;

namespace {

QByteArray U32(std::uint32_t v)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

QByteArray NameBlock(const QByteArray &name)
{
    QByteArray block(256, '\x7F');  // unused bytes carry no meaning
    block[0] = char(name.size());
    block.replace(1, name.size(), name);
    return block;
}

QByteArray Record(const QByteArray &name, const QByteArray &image)
{
    return U32(std::uint32_t(256 + image.size())) + NameBlock(name) + image;
}

// A thumbnail whose pixels all differ, with a fourth byte that must not reach the file.
Bitmap Pattern(int w, int h)
{
    Bitmap picture(w, h, PixelFormat::pf32bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t *p = picture.ScanLine(y) + 4 * x;
            p[0] = std::uint8_t(x);
            p[1] = std::uint8_t(y);
            p[2] = std::uint8_t(x + y);
            p[3] = 7;
        }
    return picture;
}

QByteArray SmallBmp(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    Bitmap picture(6, 4, PixelFormat::pf32bit);
    picture.Fill(r, g, b);
    return EncodeThumbnailBmp(picture);
}

QStringList Names(const TThumbsList &list)
{
    QStringList names;
    list.GetFilesList(names);
    return names;
}

class ArchiveFile : public testing::Test {
protected:
    // An existing picture file (its content does not matter to the archive).
    QString Picture(const QString &name) const
    {
        Folder.Write(name, "x");
        return Folder.Path(name);
    }
    void AddTile(const QString &fileName, Bitmap thumbnail)
    {
        List.AddThumbItem({}, {}, fileName, {}, {}, 0, 0, std::make_unique<Bitmap>(std::move(thumbnail)), false);
    }
    int RecordCount(const QByteArray &file) const
    {
        int count = 0;
        for (qsizetype at = 0; at + 4 <= file.size(); ++count)
            at += 4 + qFromLittleEndian<std::uint32_t>(file.constData() + at);
        return count;
    }

    TempFolder Folder;
    TThumbsList List;
};

TEST_F(ArchiveFile, WritesLengthNameBlockAndA32BitBmpImage)
{
    const QString name = Picture("bild.jpg");
    AddTile(name, Pattern(105, 78));
    SaveArchiveFile(Folder.Path("thumbs.dat"), List);

    const QByteArray file = Folder.Read("thumbs.dat");
    ASSERT_EQ(file.size(), 4 + 33070);
    EXPECT_EQ(file.left(4), U32(33070));
    const QByteArray utf8 = name.toUtf8();
    EXPECT_EQ(std::uint8_t(file[4]), utf8.size());
    EXPECT_EQ(file.mid(5, utf8.size()), utf8);

    QByteArray expected = "BM" + U32(54 + 4 * 105 * 78) + U32(0) + U32(54) + U32(40) + U32(105) + U32(78);
    expected += QByteArray("\x01\x00\x20\x00", 4) + U32(0);  // planes, bits per pixel, no compression
    const QByteArray image = file.mid(260);
    ASSERT_EQ(image.size(), 54 + 4 * 105 * 78);
    EXPECT_EQ(image.left(34), expected);
    for (int fileRow = 0; fileRow < 78; ++fileRow) {
        const int y = 77 - fileRow;  // bottom row first
        for (int x = 0; x < 105; ++x) {
            const char *p = image.constData() + 54 + 4 * (105 * fileRow + x);
            const char bgr[] = {char(x), char(y), char(x + y)};
            ASSERT_EQ(QByteArray(p, 3), QByteArray(bgr, 3)) << x << ", " << y;
        }
    }

    // An independent reader sees the same picture.
    Folder.Write("part.bmp", image);
    const QString seen = lmktest::RunTool("identify", {"-format", "%w %h %[pixel:p{10,3}]", Folder.Path("part.bmp")});
    EXPECT_TRUE(seen.startsWith("105 78 srgb")) << seen;
    EXPECT_TRUE(seen.contains("(13,3,10")) << seen;  // red x + y, green y, blue x
}

TEST_F(ArchiveFile, EmptyListWritesAnEmptyFileAndMissingFilesReadAsEmpty)
{
    SaveArchiveFile(Folder.Path("leer.lka"), List);
    EXPECT_TRUE(QFileInfo::exists(Folder.Path("leer.lka")));
    EXPECT_EQ(Folder.Read("leer.lka").size(), 0);
    AddTile(Picture("a.jpg"), Pattern(5, 5));
    EXPECT_TRUE(LoadArchiveFile(Folder.Path("leer.lka"), List));
    EXPECT_EQ(List.GetThumbsCount(), 0);

    AddTile(Picture("a.jpg"), Pattern(5, 5));
    EXPECT_TRUE(LoadArchiveFile(Folder.Path("gibt-es-nicht.dat"), List));
    EXPECT_EQ(List.GetThumbsCount(), 0);
    EXPECT_EQ(List.ThumbIndex(), -1);
    EXPECT_EQ(Folder.Entries(), QStringList({"a.jpg", "leer.lka"})) << "reading creates nothing";
}

TEST_F(ArchiveFile, KeepsTheLastFiftyTilesInOrder)
{
    QStringList names;
    for (int i = 1; i <= 51; ++i) {
        names << Picture(QStringLiteral("bild%1.png").arg(i));
        Bitmap thumbnail(3, 3, PixelFormat::pf32bit);
        thumbnail.Fill(std::uint8_t(i), 0, 0);
        AddTile(names.back(), std::move(thumbnail));
    }
    SaveArchiveFile(Folder.Path("thumbs.dat"), List);
    EXPECT_EQ(RecordCount(Folder.Read("thumbs.dat")), 50);

    TThumbsList read;
    ASSERT_TRUE(LoadArchiveFile(Folder.Path("thumbs.dat"), read));
    EXPECT_EQ(Names(read), names.mid(1));
    EXPECT_EQ(read.ThumbIndex(), 0);
    EXPECT_TRUE(read.GetThumbItem(0)->Selected());
    const Bitmap *last = read.GetThumbItem(49)->ItemData.Bild();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Format(), PixelFormat::pf32bit);
    EXPECT_EQ(lmktest::At(*last, 2, 1), (lmktest::Bgr{0, 0, 51}));
    EXPECT_EQ(Names(List).size(), 51) << "writing leaves the list alone";
}

TEST_F(ArchiveFile, ReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    Folder.Write("thumbs.dat", QByteArray(1000, 'z'));
    AddTile(Picture("a.jpg"), Pattern(4, 4));
    SaveArchiveFile(Folder.Path("thumbs.dat"), List);
    EXPECT_EQ(Folder.Read("thumbs.dat").size(), 4 + 256 + 54 + 64);
    EXPECT_EQ(Folder.Entries(), QStringList({"a.jpg", "thumbs.dat"}));
}

TEST_F(ArchiveFile, WriteFailuresNameTheFileAndLeaveNothingBehind)
{
    AddTile(Picture("a.jpg"), Pattern(4, 4));
    const QString missingFolder = Folder.Path("fehlt/thumbs.dat");
    try {
        SaveArchiveFile(missingFolder, List);
        FAIL() << "no error";
    } catch (const ArchiveFileError &error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(missingFolder)) << error.what();
    }
    ASSERT_TRUE(QDir(Folder.Root()).mkdir("ordner.lka"));
    EXPECT_THROW(SaveArchiveFile(Folder.Path("ordner.lka"), List), ArchiveFileError);
    EXPECT_EQ(Folder.Entries(), QStringList({"a.jpg"}));
}

// --- reading damaged and unusual files ---

struct ReadCase {
    const char *name;
    // Builds the file from the existing pictures a.jpg, b.jpg and c.jpg of the fixture.
    std::function<QByteArray(const QByteArray &a, const QByteArray &b, const QByteArray &c, const TempFolder &)> build;
    bool ok;
    QStringList tiles;  // file names in the folder, in list order
};

class ArchiveReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ArchiveReadTest, ReadsWholeOrNothing)
{
    const ReadCase &c = GetParam();
    TempFolder folder;
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        folder.Write(name, "x");
    const auto path = [&](const char *name) { return folder.Path(name).toUtf8(); };
    folder.Write("thumbs.dat", c.build(path("a.jpg"), path("b.jpg"), path("c.jpg"), folder));

    TThumbsList list;
    list.AddThumbItem({}, {}, folder.Path("a.jpg"), {}, {}, 0, 0, nullptr, false);  // replaced by the read
    EXPECT_EQ(LoadArchiveFile(folder.Path("thumbs.dat"), list), c.ok);
    QStringList expected;
    for (const QString &name : c.tiles)
        expected << folder.Path(name);
    EXPECT_EQ(Names(list), expected);
    EXPECT_EQ(list.ThumbIndex(), expected.isEmpty() ? -1 : 0);
}

const QByteArray kRed = SmallBmp(255, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Files, ArchiveReadTest,
    testing::Values(
        ReadCase{"three_records",
                 [](auto a, auto b, auto c, auto &) { return Record(a, kRed) + Record(b, kRed) + Record(c, kRed); },
                 true, {"a.jpg", "b.jpg", "c.jpg"}},
        ReadCase{"same_file_twice", [](auto a, auto, auto, auto &) { return Record(a, kRed) + Record(a, kRed); }, true,
                 {"a.jpg", "a.jpg"}},
        ReadCase{"gone_picture_is_skipped_without_decoding",
                 [](auto a, auto, auto c, const TempFolder &f) {
                     return Record(a, kRed) + Record(f.Path("weg.jpg").toUtf8(), QByteArray(500, '\xEE')) + Record(c, kRed);
                 },
                 true, {"a.jpg", "c.jpg"}},
        ReadCase{"zero_length_ends_the_archive",
                 [](auto a, auto b, auto, auto &) { return Record(a, kRed) + U32(0) + Record(b, kRed); }, true, {"a.jpg"}},
        ReadCase{"24_bit_bmp", [](auto a, auto, auto, auto &) {
                     Bitmap picture(5, 3, PixelFormat::pf24bit);
                     picture.Fill(1, 2, 3);
                     return Record(a, EncodeBmp(picture));
                 },
                 true, {"a.jpg"}},
        ReadCase{"western_code_page_name",
                 [](auto, auto, auto, const TempFolder &f) {
                     f.Write("ärger.jpg", "x");
                     return Record(f.Root().toUtf8() + "/\xE4rger.jpg", kRed);
                 },
                 true, {"ärger.jpg"}},
        ReadCase{"utf8_name_outside_the_western_code_page",
                 [](auto, auto, auto, const TempFolder &f) {
                     f.Write("写真.jpg", "x");
                     return Record(f.Path("写真.jpg").toUtf8(), kRed);
                 },
                 true, {"写真.jpg"}},
        ReadCase{"empty_name", [](auto, auto, auto, auto &) { return Record("", kRed); }, true, {}},
        ReadCase{"last_record_cut_short",
                 [](auto a, auto b, auto, auto &) { return Record(a, kRed) + Record(b, kRed).chopped(1); }, false, {}},
        ReadCase{"trailing_bytes", [](auto a, auto, auto, auto &) { return Record(a, kRed) + QByteArray(3, '\0'); },
                 false, {}},
        ReadCase{"length_below_name_block",
                 [](auto a, auto, auto, auto &) { return Record(a, kRed) + U32(100) + QByteArray(100, 'n'); }, false, {}},
        ReadCase{"length_beyond_the_file",
                 [](auto a, auto, auto, auto &) { return Record(a, kRed) + U32(0xFFFFFFFF) + NameBlock(a) + kRed; },
                 false, {}},
        ReadCase{"no_image", [](auto a, auto, auto, auto &) { return Record(a, ""); }, false, {}},
        ReadCase{"image_that_does_not_decode",
                 [](auto a, auto b, auto, auto &) { return Record(a, kRed) + Record(b, QByteArray(80, 'q')); }, false, {}},
        ReadCase{"image_claiming_a_huge_size",
                 [](auto a, auto, auto, auto &) {
                     QByteArray image = kRed;
                     qToLittleEndian<std::uint32_t>(60000, image.data() + 18);  // width
                     qToLittleEndian<std::uint32_t>(60000, image.data() + 22);  // height
                     return Record(a, image);
                 },
                 false, {}},
        ReadCase{"image_cut_short",
                 [](auto a, auto, auto, auto &) { return Record(a, kRed.chopped(20)); }, false, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ArchiveFile, AFolderOrAnUnreadableFileFailsTheRead)
{
    ASSERT_TRUE(QDir(Folder.Root()).mkdir("thumbs.dat"));
    AddTile(Picture("a.jpg"), Pattern(4, 4));
    EXPECT_FALSE(LoadArchiveFile(Folder.Path("thumbs.dat"), List));
    EXPECT_EQ(List.GetThumbsCount(), 0);

    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: every file is readable";
    Folder.Write("gesperrt.lka", Record(Folder.Path("a.jpg").toUtf8(), kRed));
    QFile::setPermissions(Folder.Path("gesperrt.lka"), QFileDevice::WriteOwner);
    EXPECT_FALSE(LoadArchiveFile(Folder.Path("gesperrt.lka"), List));
}

// --- names ---

TEST_F(ArchiveFile, LongNamesAreCutAndDroppedOnReading)
{
    // A real picture whose path is 300 characters long.
    QString folder = Folder.Root();
    while (folder.size() < 240)
        folder += "/" + QString(40, 'o');
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString name = folder + "/" + QString(300 - folder.size() - 5, 'p') + ".jpg";
    ASSERT_EQ(name.size(), 300);
    QFile(name).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFileInfo::exists(name));
    AddTile(name, Pattern(4, 4));
    AddTile(Picture("kurz.jpg"), Pattern(4, 4));
    SaveArchiveFile(Folder.Path("thumbs.dat"), List);

    const QByteArray file = Folder.Read("thumbs.dat");
    EXPECT_EQ(std::uint8_t(file[4]), 255);
    EXPECT_EQ(file.mid(5, 255), name.left(255).toUtf8());
    TThumbsList read;
    EXPECT_TRUE(LoadArchiveFile(Folder.Path("thumbs.dat"), read));
    EXPECT_EQ(Names(read), QStringList{Folder.Path("kurz.jpg")});
}

TEST(ArchiveNameBlock, CutsAtACharacterBoundary)
{
    struct Case {
        QString name;
        int bytes;
    };
    const Case cases[] = {
        {QString(254, 'a') + "ö", 254},       // ö would need bytes 255 and 256
        {QString(253, 'a') + "ö", 255},       // fits exactly
        {QString(253, 'a') + "写", 253},      // three bytes
        {QString(251, 'a') + "😀x", 255},     // four bytes, then one more character
        {"", 0},
    };
    for (const Case &c : cases) {
        const QByteArray block = EncodeNameBlock(c.name);
        ASSERT_EQ(block.size(), 256);
        EXPECT_EQ(std::uint8_t(block[0]), c.bytes) << c.name;
        const QString back = DecodeNameBlock(block);
        EXPECT_TRUE(c.name.startsWith(back)) << c.name;
        EXPECT_EQ(back.toUtf8().size(), c.bytes) << "read as UTF-8, not as the western code page";
    }
}

TEST(ArchiveNameBlock, WesternCodePageBytes)
{
    EXPECT_EQ(FromWindows1252("\x80\x8A\x9F\xE4\xDF\x81 z"), QString::fromUtf8("€ŠŸäß\u0081 z"));
    EXPECT_EQ(DecodeNameBlock(NameBlock("Gr\xFC\xDF" "e")), "Grüße");
    EXPECT_EQ(DecodeNameBlock(NameBlock("Grüße")), "Grüße");
}

}  // namespace
