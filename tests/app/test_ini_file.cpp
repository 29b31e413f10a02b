// SPDX-License-Identifier: GPL-3.0-or-later
// The INI file edited in place: what is read, what writing changes, and what it leaves alone.
#include "app/IniFile.h"

#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lmk;
using lmktest::TempFolder;

namespace {

struct TRead {
    const char16_t *Section, *Key;
    std::optional<QString> Expected;  // nullopt: the key counts as missing
};
struct TWrite {
    const char16_t *Section, *Key;
    QString Value;
};
struct TEditCase {
    const char *Name;
    QByteArray File;
    std::vector<TRead> Reads;    // checked before the writes
    std::vector<TWrite> Writes;
    QByteArray Expected;         // the whole file after the writes
};

const TEditCase kEditCases[] = {
    {"value_changed_in_place_rest_kept",
     "; Kommentar\n[A]\nx=1\n\nfremd=7\n[B]\ny=2\n",
     {{u"A", u"x", "1"}, {u"B", u"y", "2"}},
     {{u"A", u"x", "5"}},
     "; Kommentar\n[A]\nx=5\n\nfremd=7\n[B]\ny=2\n"},
    {"missing_key_after_last_key_before_trailing_lines",
     "[A]\nx=1\n; zu B\n\n[B]\ny=2\n",
     {{u"A", u"z", std::nullopt}},
     {{u"A", u"z", "3"}, {u"A", u"w", "4"}},
     "[A]\nx=1\nz=3\nw=4\n; zu B\n\n[B]\ny=2\n"},
    {"missing_key_in_section_without_keys_after_header",
     "[A]\n; leer\n\n[B]\n",
     {},
     {{u"A", u"x", "1"}},
     "[A]\nx=1\n; leer\n\n[B]\n"},
    {"missing_section_at_end",
     "[A]\nx=1\n\n",
     {{u"C", u"k", std::nullopt}},
     {{u"C", u"k", "v"}},
     "[A]\nx=1\n\n[C]\nk=v\n"},
    {"empty_file",
     "",
     {},
     {{u"A", u"x", "1"}, {u"B", u"y", ""}, {u"A", u"z", "2"}},
     "[A]\nx=1\nz=2\n[B]\ny=\n"},
    {"names_without_regard_to_case",
     "[eDiT]\nVALUE1=9\n",
     {{u"EDIT", u"Value1", "9"}, {u"edit", u"value1", "9"}},
     {{u"Edit", u"value1", "10"}},
     "[eDiT]\nVALUE1=10\n"},
    {"crlf_read_the_same_written_as_lf",
     "[A]\r\nx=1\r\n\r\ny=2",
     {{u"A", u"x", "1"}, {u"A", u"y", "2"}},
     {{u"A", u"x", "3"}},
     "[A]\nx=3\n\ny=2\n"},
    {"duplicate_key_first_counts_and_is_changed",
     "[A]\nx=1\nX=2\n",
     {{u"A", u"x", "1"}},
     {{u"A", u"x", "9"}},
     "[A]\nx=9\nX=2\n"},
    {"duplicate_section_first_counts",
     "[A]\nx=1\n[B]\n[a]\ny=2\n",
     {{u"A", u"y", std::nullopt}},
     {{u"A", u"y", "3"}},
     "[A]\nx=1\ny=3\n[B]\n[a]\ny=2\n"},
    {"byte_order_mark_skipped_and_not_written",
     "\xEF\xBB\xBF[A]\nx=1\n",
     {{u"A", u"x", "1"}},
     {{u"A", u"x", "2"}},
     "[A]\nx=2\n"},
    {"lines_without_equals_and_keys_before_sections_kept_not_read",
     "x=0\nohne Gleichheitszeichen\n[A]\nKaputt\n; x=7\n",
     {{u"A", u"x", std::nullopt}},
     {{u"A", u"x", "1"}},
     "x=0\nohne Gleichheitszeichen\n[A]\nx=1\nKaputt\n; x=7\n"},
    {"blanks_around_names_and_values",
     "  [ A ]  \n\t x  =  7  \n=ohne Namen\n",
     {{u"A", u"x", "7"}, {u"A", u"", std::nullopt}},
     {{u"A", u"x", "8"}},
     "  [ A ]  \n\t x  =  8\n=ohne Namen\n"},
    {"equals_sign_inside_value",
     "[A]\nx==a=b\n",
     {{u"A", u"x", "=a=b"}},
     {},
     "[A]\nx==a=b\n"},
    {"line_breaks_in_a_value_become_blanks",
     "[A]\n",
     {},
     {{u"A", u"x", "eins\r\nzwei\n[B]"}},
     "[A]\nx=eins  zwei [B]\n"},
    {"non_ascii_written_as_utf8",
     "",
     {},
     {{u"TEXT", u"Name", QStringLiteral("Schöne Schrift €")}},
     "[TEXT]\nName=Sch\xC3\xB6ne Schrift \xE2\x82\xAC\n"},
};

class EditCase : public ::testing::TestWithParam<TEditCase> {};

TEST_P(EditCase, ReadsAndWritesInPlace)
{
    const TEditCase &c = GetParam();
    TIniFile ini = TIniFile::FromBytes(c.File);
    for (const TRead &r : c.Reads)
        EXPECT_EQ(ini.Value(r.Section, r.Key), r.Expected) << "[" << QString::fromUtf16(r.Section).toStdString()
                                                          << "] " << QString::fromUtf16(r.Key).toStdString();
    for (const TWrite &w : c.Writes)
        ini.WriteString(w.Section, w.Key, w.Value);
    EXPECT_EQ(ini.ToBytes(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(IniFile, EditCase, ::testing::ValuesIn(kEditCases),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(IniFile, TypedReadsFallBackOnMissingOrBadValues)
{
    const TIniFile ini = TIniFile::FromBytes("[N]\nhex=$1F\nbad=zwölf\nempty=\nzero=0\ntwo=2\nneg=-1\n");
    EXPECT_EQ(ini.ReadInteger(u"N", u"hex", 5), 31);
    EXPECT_EQ(ini.ReadInteger(u"N", u"bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger(u"N", u"empty", 5), 5);
    EXPECT_EQ(ini.ReadInteger(u"N", u"missing", 5), 5);
    EXPECT_EQ(ini.ReadString(u"N", u"empty", "vorgabe"), "");  // present but empty is not missing
    EXPECT_EQ(ini.ReadString(u"N", u"missing", "vorgabe"), "vorgabe");
    EXPECT_FALSE(ini.ReadBool(u"N", u"zero", true));
    EXPECT_TRUE(ini.ReadBool(u"N", u"two", false));
    EXPECT_TRUE(ini.ReadBool(u"N", u"neg", false));
    EXPECT_TRUE(ini.ReadBool(u"N", u"bad", true));
    EXPECT_FALSE(ini.ReadBool(u"N", u"bad", false));
}

struct TIntegerCase {
    const char16_t *Text;
    std::optional<int> Expected;
};

class IntegerText : public ::testing::TestWithParam<TIntegerCase> {};

TEST_P(IntegerText, Parses)
{
    EXPECT_EQ(ParseIniInteger(GetParam().Text), GetParam().Expected)
        << QString::fromUtf16(GetParam().Text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(IniFile, IntegerText, ::testing::Values(
    TIntegerCase{u"12", 12}, TIntegerCase{u"-7", -7}, TIntegerCase{u"+3", 3}, TIntegerCase{u" 42 ", 42},
    TIntegerCase{u"007", 7}, TIntegerCase{u"$FF", 255}, TIntegerCase{u"$ff", 255}, TIntegerCase{u"0x1f", 31},
    TIntegerCase{u"0XFF", 255}, TIntegerCase{u"-$10", -16}, TIntegerCase{u"-0x10", -16},
    TIntegerCase{u"$FFFFFFFF", -1}, TIntegerCase{u"$80000000", INT32_MIN},
    TIntegerCase{u"2147483647", INT32_MAX}, TIntegerCase{u"-2147483648", INT32_MIN},
    TIntegerCase{u"2147483648", std::nullopt}, TIntegerCase{u"-2147483649", std::nullopt},
    TIntegerCase{u"4294967296", std::nullopt}, TIntegerCase{u"$100000000", std::nullopt},
    TIntegerCase{u"99999999999999999999999", std::nullopt}, TIntegerCase{u"", std::nullopt},
    TIntegerCase{u"-", std::nullopt}, TIntegerCase{u"$", std::nullopt}, TIntegerCase{u"0x", std::nullopt},
    TIntegerCase{u"12a", std::nullopt}, TIntegerCase{u"1 2", std::nullopt}, TIntegerCase{u"1.5", std::nullopt},
    TIntegerCase{u"$G1", std::nullopt}, TIntegerCase{u"--1", std::nullopt}, TIntegerCase{u"１２", std::nullopt}));

struct TDecodeCase {
    const char *Name;
    QByteArray Bytes;
    QString Expected;
};

class LineEncoding : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(LineEncoding, DecodesUtf8ElseWindows1252)
{
    EXPECT_EQ(DecodeIniLine(GetParam().Bytes), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(IniFile, LineEncoding, ::testing::Values(
    TDecodeCase{"ascii", "Name=Arial", "Name=Arial"},
    TDecodeCase{"utf8", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", QStringLiteral("Grüße €")},
    TDecodeCase{"utf8_four_bytes", "\xF0\x9F\x93\xB7", QStringLiteral("\U0001F4F7")},
    TDecodeCase{"windows1252", "Gr\xFC\xDF" "e \x80", QStringLiteral("Grüße €")},
    TDecodeCase{"windows1252_quotes_and_dash", "\x84" "a\x93 \x96 \x85", QStringLiteral("„a“ – …")},
    TDecodeCase{"windows1252_unassigned_bytes", "\x81\x8D\x8F\x90\x9D", QStringLiteral("\u0081\u008D\u008F\u0090\u009D")},
    TDecodeCase{"overlong_utf8_is_not_utf8", "\xC0\xAF", QStringLiteral("À¯")},
    TDecodeCase{"surrogate_is_not_utf8", "\xED\xA0\x80", QStringLiteral("í\u00A0€")},
    TDecodeCase{"cut_off_sequence_is_not_utf8", "M\xC3", QStringLiteral("MÃ")},
    TDecodeCase{"above_unicode_is_not_utf8", "\xF4\x90\x80\x80", QStringLiteral("ô\u0090€€")}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(IniFile, MixedEncodingsReadPerLineAndWrittenAsUtf8)
{
    TempFolder folder;
    // One line from an older version in Windows-1252, one in UTF-8.
    folder.Write("Lumikon.ini", "[CALENDAR]\nText=Fr\xFChling\nFont=Gr\xC3\xBC\xC3\x9F" "e\n");
    TIniFile ini(folder.Path("Lumikon.ini"));
    EXPECT_EQ(ini.ReadString(u"CALENDAR", u"Text", ""), QStringLiteral("Frühling"));
    EXPECT_EQ(ini.ReadString(u"CALENDAR", u"Font", ""), QStringLiteral("Grüße"));
    ini.WriteString(u"CALENDAR", u"Font", QStringLiteral("Süß"));
    ini.UpdateFile();

    // iconv accepts only valid UTF-8: the whole file is UTF-8 now, the old line included.
    int exitCode = -1;
    const QString text = lmktest::RunTool("iconv", {"-f", "UTF-8", "-t", "UTF-8", folder.Path("Lumikon.ini")}, &exitCode);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(text, QStringLiteral("[CALENDAR]\nText=Frühling\nFont=Süß\n"));
    EXPECT_EQ(TIniFile(folder.Path("Lumikon.ini")).ReadString(u"CALENDAR", u"Text", ""), QStringLiteral("Frühling"));
}

TEST(IniFile, UpdateFileReplacesTheFileAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    folder.Write("Lumikon.ini", "[A]\nx=1\n[FREMD]\nq=w\n");
    TIniFile ini(folder.Path("Lumikon.ini"));
    EXPECT_TRUE(ini.ReadError().isEmpty());
    ini.WriteInteger(u"A", u"x", -12);
    ini.WriteBool(u"A", u"b", true);
    ini.UpdateFile();
    EXPECT_EQ(folder.Read("Lumikon.ini"), "[A]\nx=-12\nb=1\n[FREMD]\nq=w\n");
    EXPECT_EQ(folder.Entries(), QStringList{"Lumikon.ini"});
}

TEST(IniFile, MissingFileIsEmptyAndCreatedOnUpdate)
{
    TempFolder folder;
    TIniFile ini(folder.Path("neu.ini"));
    EXPECT_TRUE(ini.ReadError().isEmpty());
    EXPECT_EQ(ini.ToBytes(), "");
    ini.WriteString(u"A", u"x", "1");
    ini.UpdateFile();
    EXPECT_EQ(folder.Read("neu.ini"), "[A]\nx=1\n");
}

// A file that exists but cannot be read is never replaced: its content would be lost unseen.
TEST(IniFile, UnreadableFileIsEmptyAndNotOverwritten)
{
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.Root()).mkdir("Lumikon.ini"));  // a folder in the file's place
    TIniFile ini(folder.Path("Lumikon.ini"));
    EXPECT_FALSE(ini.ReadError().isEmpty());
    EXPECT_EQ(ini.Value(u"A", u"x"), std::nullopt);
    ini.WriteString(u"A", u"x", "1");
    EXPECT_THROW(ini.UpdateFile(), TIniFileError);
    EXPECT_TRUE(QFileInfo(folder.Path("Lumikon.ini")).isDir());
}

TEST(IniFile, FileWithoutReadPermissionIsNotOverwritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempFolder folder;
    folder.Write("Lumikon.ini", "[A]\nx=1\n");
    ASSERT_TRUE(QFile::setPermissions(folder.Path("Lumikon.ini"), QFileDevice::WriteOwner));
    TIniFile ini(folder.Path("Lumikon.ini"));
    EXPECT_FALSE(ini.ReadError().isEmpty());
    EXPECT_THROW(ini.UpdateFile(), TIniFileError);
    QFile::setPermissions(folder.Path("Lumikon.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(folder.Read("Lumikon.ini"), "[A]\nx=1\n");
}

TEST(IniFile, OversizedFileIsNotReadNorOverwritten)
{
    TempFolder folder;
    {
        QFile big(folder.Path("Lumikon.ini"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(TIniFile::kMaxFileBytes + 1));
    }
    TIniFile ini(folder.Path("Lumikon.ini"));
    EXPECT_FALSE(ini.ReadError().isEmpty());
    EXPECT_EQ(ini.ToBytes(), "");
    EXPECT_THROW(ini.UpdateFile(), TIniFileError);
    EXPECT_EQ(QFileInfo(folder.Path("Lumikon.ini")).size(), TIniFile::kMaxFileBytes + 1);
}

TEST(IniFile, UnwritablePlaceGivesTheReason)
{
    TempFolder folder;
    folder.Write("keinOrdner", "eine Datei");
    TIniFile ini(folder.Path("keinOrdner/Lumikon.ini"));
    ini.WriteString(u"A", u"x", "1");
    try {
        ini.UpdateFile();
        FAIL() << "written below a regular file";
    } catch (const TIniFileError &error) {
        EXPECT_TRUE(error.Reason().contains("Lumikon.ini")) << error.what();
        EXPECT_GT(error.Reason().size(), QString("Lumikon.ini: ").size() + folder.Path("keinOrdner").size());
    }
    EXPECT_EQ(folder.Read("keinOrdner"), "eine Datei");
}

}  // namespace
