// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file "Lumikon.ini": what reading makes of a file's content, what the file holds
// after writing, and the main window's placement.
#include "app/IniFile.h"
#include "app/Unit_Var.h"

#include "tests/support/ModalDialogs.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QRandomGenerator>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lmk;
using lmktest::TempFolder;

namespace {

// A screen of 1920 x 1080 puts the default window at (560, 240); the default printer is the
// third of the system's list.
TSettingsEnvironment TestEnvironment()
{
    return {QSize(1920, 1080), 2, [] { ADD_FAILURE() << "no-printer note with a printer"; }};
}

// Everything the settings file holds, to compare whole states.
struct TSnapshot {
    TWindowPlacement Window;
    QString ArchivFile;
    int ArchivSize;
    bool EditKeep;
    TOneBasedArray<int, 6> EditValue;
    QString TextName;
    TColor TextFarbe, TextSchatten;
    bool TextMitSchatten;
    TColor TextGrund;
    bool TextHintergrund;
    int TextSize, TextPosition, TextAbstand, TextTransparenz;
    TColor RahmenFarbe, ShadeBack;
    int ShadeWidth, ShadeThick, JpegQuality, DpiIndex;
    int PrinterIndex, PrinterFormat, PrinterMargin;
    bool PrinterCenter, PrinterFitPage, PrinterFrame;
    TOneBasedArray<bool, 4> PrinterLayout;
    int PrinterSpace;
    bool PrinterInMarks, PrinterOutMarks;
    int PrinterSplit;
    QString CalendarFont, CalendarText;
    bool CalendarWeeks, CalendarHolis;
    int CalendarRegion;
    bool operator==(const TSnapshot &) const = default;
};

TSnapshot Take()
{
    return {WindowPlacement, ArchivFile, ArchivSize, EditKeep, EditValue, TextName, TextFarbe,
            TextSchatten, TextMitSchatten, TextGrund, TextHintergrund, TextSize, TextPosition,
            TextAbstand, TextTransparenz, RahmenFarbe, ShadeBack, ShadeWidth, ShadeThick,
            JpegQuality, DpiIndex, PrinterIndex, PrinterFormat, PrinterMargin, PrinterCenter,
            PrinterFitPage, PrinterFrame, PrinterLayout, PrinterSpace, PrinterInMarks,
            PrinterOutMarks, PrinterSplit, CalendarFont, CalendarText, CalendarWeeks,
            CalendarHolis, CalendarRegion};
}

void Restore(const TSnapshot &s)
{
    WindowPlacement = s.Window;
    ArchivFile = s.ArchivFile;
    ArchivSize = s.ArchivSize;
    EditKeep = s.EditKeep;
    EditValue = s.EditValue;
    TextName = s.TextName;
    TextFarbe = s.TextFarbe;
    TextSchatten = s.TextSchatten;
    TextMitSchatten = s.TextMitSchatten;
    TextGrund = s.TextGrund;
    TextHintergrund = s.TextHintergrund;
    TextSize = s.TextSize;
    TextPosition = s.TextPosition;
    TextAbstand = s.TextAbstand;
    TextTransparenz = s.TextTransparenz;
    RahmenFarbe = s.RahmenFarbe;
    ShadeBack = s.ShadeBack;
    ShadeWidth = s.ShadeWidth;
    ShadeThick = s.ShadeThick;
    JpegQuality = s.JpegQuality;
    DpiIndex = s.DpiIndex;
    PrinterIndex = s.PrinterIndex;
    PrinterFormat = s.PrinterFormat;
    PrinterMargin = s.PrinterMargin;
    PrinterCenter = s.PrinterCenter;
    PrinterFitPage = s.PrinterFitPage;
    PrinterFrame = s.PrinterFrame;
    PrinterLayout = s.PrinterLayout;
    PrinterSpace = s.PrinterSpace;
    PrinterInMarks = s.PrinterInMarks;
    PrinterOutMarks = s.PrinterOutMarks;
    PrinterSplit = s.PrinterSplit;
    CalendarFont = s.CalendarFont;
    CalendarText = s.CalendarText;
    CalendarWeeks = s.CalendarWeeks;
    CalendarHolis = s.CalendarHolis;
    CalendarRegion = s.CalendarRegion;
}

// Every key of the first file written from the defaults, in the order of the schema.
const QByteArray kDefaultFile =
    "[WINDOW]\nMaximized=0\nLeft=560\nTop=240\nWidth=800\nHeight=600\n"
    "[ARCHIV]\nFILE=\nSIZE=145\n"
    "[EDIT]\nKeep=0\nValue1=0\nValue2=0\nValue3=100\nValue4=7500\nValue5=7500\nValue6=7500\n"
    "[TEXT]\nName=Arial\nFarbe=clBlack\nSchatten=clGray\nMitSchatten=0\nGrund=clSilver\n"
    "Hintergrund=1\nSize=50\nPosition=1\nAbstand=0\nTransparenz=100\n"
    "[RAHMEN]\nFarbe=clWhite\n"
    "[SHADE]\nBack=clWhite\nWidth=10\nThick=75\n"
    "[JPEG]\nQuality=100\n"
    "[DPI]\nIndex=4\n"
    "[PRINTER]\nIndex=2\nFormat=1\nMargin=5\nCenter=0\nFitPage=0\nFrame=1\nLayout1=1\nLayout2=1\n"
    "Layout3=1\nLayout4=1\nSpace=0\nInMarks=1\nOutMarks=1\nSplit=4\n"
    "[CALENDAR]\nFont=Arial\nText=\nWeeks=1\nHolis=1\nRegion=17\n";

enum class TStored { Missing, Content, NoReadPermission, FolderInItsPlace };

struct TSettingsCase {
    const char *Name;
    TStored Stored;
    QByteArray Content;
    std::function<void()> CheckRead;     // expectations on the variables just read
    std::vector<QByteArray> Written;     // pieces the file holds after writing
    std::vector<QByteArray> NotWritten;  // pieces it must not hold
};

class SettingsFile : public ::testing::TestWithParam<TSettingsCase> {
protected:
    void SetUp() override { FSaved = Take(); }
    void TearDown() override { Restore(FSaved); }
    TSnapshot FSaved;
};

// Reads the file as the start does, then writes it as the end does.
TEST_P(SettingsFile, ReadThenWritten)
{
    const TSettingsCase &c = GetParam();
    if (c.Stored == TStored::NoReadPermission && geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempFolder folder;
    const QString path = folder.Path("Lumikon.ini");
    if (c.Stored == TStored::Content || c.Stored == TStored::NoReadPermission)
        folder.Write("Lumikon.ini", c.Content);
    if (c.Stored == TStored::NoReadPermission) {
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    if (c.Stored == TStored::FolderInItsPlace) {
        ASSERT_TRUE(QDir(folder.Root()).mkdir("Lumikon.ini"));
    }

    ReadSettingsFrom(TIniFile(path), TestEnvironment());
    c.CheckRead();

    if (c.Stored == TStored::NoReadPermission || c.Stored == TStored::FolderInItsPlace) {
        // What could not be read is not replaced.
        EXPECT_THROW(SaveSettingsFile(path), TIniFileError);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (c.Stored == TStored::NoReadPermission) {
            EXPECT_EQ(folder.Read("Lumikon.ini"), c.Content);
        }
        return;
    }
    SaveSettingsFile(path);
    const QByteArray written = folder.Read("Lumikon.ini");
    for (const QByteArray &piece : c.Written)
        EXPECT_TRUE(written.contains(piece)) << "missing:\n" << piece.toStdString() << "\nin:\n"
                                             << written.left(2000).toStdString();
    for (const QByteArray &piece : c.NotWritten)
        EXPECT_FALSE(written.contains(piece)) << "unexpected: " << piece.toStdString();
}

auto SettingsCaseName = [](const auto &info) { return std::string(info.param.Name); };

const TSettingsCase kEdgeCases[] = {
    {"no_file_gives_defaults", TStored::Missing, {},
     [] {
         EXPECT_EQ(WindowPlacement, (TWindowPlacement{false, 560, 240, 800, 600}));
         EXPECT_EQ(ArchivSize, 145);
         EXPECT_EQ(JpegQuality, 100);
         EXPECT_EQ(DpiFromIndex(DpiIndex), 300);
         EXPECT_EQ(PrinterIndex, 2);
         EXPECT_EQ(TextName, "Arial");
         EXPECT_EQ(EditValue[4], 7500);
         EXPECT_EQ(PrinterLayout, (TOneBasedArray<bool, 4>{{true, true, true, true}}));
     },
     {kDefaultFile}, {}},
    {"quality_0_read_as_100", TStored::Content, "[JPEG]\nQuality=0\n",
     [] { EXPECT_EQ(JpegQuality, 100); }, {"[JPEG]\nQuality=100\n"}, {"Quality=0"}},
    {"quality_101_read_as_100", TStored::Content, "[JPEG]\nQuality=101\n",
     [] { EXPECT_EQ(JpegQuality, 100); }, {"[JPEG]\nQuality=100\n"}, {"Quality=101"}},
    {"quality_5_kept", TStored::Content, "[JPEG]\nQuality=5\n",
     [] { EXPECT_EQ(JpegQuality, 5); }, {"[JPEG]\nQuality=5\n"}, {}},
    {"quality_1_kept", TStored::Content, "[JPEG]\nQuality=1\n",
     [] { EXPECT_EQ(JpegQuality, 1); }, {"[JPEG]\nQuality=1\n"}, {}},
    {"dpi_index_8_read_as_4", TStored::Content, "[DPI]\nIndex=8\n",
     [] { EXPECT_EQ(DpiIndex, 4); EXPECT_EQ(DpiFromIndex(DpiIndex), 300); }, {"[DPI]\nIndex=4\n"}, {}},
    {"dpi_index_7_kept", TStored::Content, "[DPI]\nIndex=7\n",
     [] { EXPECT_EQ(DpiFromIndex(DpiIndex), 1200); }, {"[DPI]\nIndex=7\n"}, {}},
    {"region_18_read_as_17", TStored::Content, "[CALENDAR]\nRegion=18\n",
     [] { EXPECT_EQ(CalendarRegion, 17); }, {"Region=17\n"}, {"Region=18"}},
    {"region_minus_1_read_as_17", TStored::Content, "[CALENDAR]\nRegion=-1\n",
     [] { EXPECT_EQ(CalendarRegion, 17); }, {"Region=17\n"}, {"Region=-1"}},
    {"region_0_kept", TStored::Content, "[CALENDAR]\nRegion=0\n",
     [] { EXPECT_EQ(CalendarRegion, 0); }, {"[CALENDAR]\nRegion=0\n"}, {}},
    {"archive_size_200_read_as_145", TStored::Content, "[ARCHIV]\nSIZE=200\n",
     [] { EXPECT_EQ(ArchivSize, 145); }, {"[ARCHIV]\nSIZE=145\n"}, {}},
    {"archive_size_272_kept", TStored::Content, "[ARCHIV]\nFILE=/home/a/Urlaub.lka\nSIZE=272\n",
     [] { EXPECT_EQ(ArchivSize, 272); EXPECT_EQ(ArchivFile, "/home/a/Urlaub.lka"); },
     {"[ARCHIV]\nFILE=/home/a/Urlaub.lka\nSIZE=272\n"}, {}},
    {"negative_left_edge_read_as_0", TStored::Content, "[WINDOW]\nLeft=-50\nTop=-1\nWidth=300\n",
     [] { EXPECT_EQ(WindowPlacement, (TWindowPlacement{false, 0, 0, 300, 600})); },
     {"[WINDOW]\nLeft=0\nTop=0\nWidth=300\nMaximized=0\nHeight=600\n"}, {}},
    {"colour_as_number_written_as_name", TStored::Content, "[TEXT]\nFarbe=$000000FF\n",
     [] { EXPECT_EQ(TextFarbe, clRed); EXPECT_EQ(ToQColor(TextFarbe), QColor(Qt::red)); },
     {"[TEXT]\nFarbe=clRed\n"}, {"$000000FF"}},
    {"maximized_read", TStored::Content, "[WINDOW]\nMaximized=1\nLeft=10\nTop=20\nWidth=900\nHeight=700\n",
     [] { EXPECT_EQ(WindowPlacement, (TWindowPlacement{true, 10, 20, 900, 700})); },
     {"[WINDOW]\nMaximized=1\nLeft=10\nTop=20\nWidth=900\nHeight=700\n"}, {}},
};

INSTANTIATE_TEST_SUITE_P(Edge, SettingsFile, ::testing::ValuesIn(kEdgeCases), SettingsCaseName);

// Deterministic junk: printable and control characters, no CR (so that the lines stay byte
// for byte), or any byte at all.
QByteArray Junk(bool anyByte)
{
    constexpr qsizetype kSize = 10 * 1024 * 1024;
    QRandomGenerator random(20240611);
    QByteArray junk(kSize, Qt::Uninitialized);
    for (char &c : junk) {
        const auto b = static_cast<char>(anyByte ? random.bounded(256) : 1 + random.bounded(127));
        c = b == '\r' && !anyByte ? '\t' : b;
    }
    junk.back() = '\n';
    return junk;
}

void ExpectDefaultsExceptWindow()
{
    EXPECT_EQ(JpegQuality, 100);
    EXPECT_EQ(DpiIndex, 4);
    EXPECT_EQ(TextFarbe, clBlack);
    EXPECT_EQ(TextName, "Arial");
    EXPECT_EQ(CalendarRegion, 17);
    EXPECT_EQ(PrinterIndex, 2);
}

const QByteArray kAsciiJunk = Junk(false);

const TSettingsCase kBadInput[] = {
    {"line_without_equals_kept", TStored::Content, "[JPEG]\nKaputt\nQuality=50\n\n",
     [] { EXPECT_EQ(JpegQuality, 50); }, {"[JPEG]\nKaputt\nQuality=50\n\n[WINDOW]"}, {}},
    {"keys_before_any_section_ignored_and_kept", TStored::Content, "Quality=5\n[JPEG]\n",
     [] { EXPECT_EQ(JpegQuality, 100); }, {"Quality=5\n[JPEG]\nQuality=100\n"}, {}},
    {"duplicate_key_first_counts", TStored::Content, "[JPEG]\nQuality=40\nquality=60\n",
     [] { EXPECT_EQ(JpegQuality, 40); }, {"[JPEG]\nQuality=40\nquality=60\n"}, {}},
    {"duplicate_section_first_counts", TStored::Content, "[JPEG]\nQuality=40\n[jpeg]\nQuality=60\n",
     [] { EXPECT_EQ(JpegQuality, 40); }, {"[JPEG]\nQuality=40\n[jpeg]\nQuality=60\n"}, {}},
    {"byte_order_mark_skipped", TStored::Content, "\xEF\xBB\xBF[JPEG]\nQuality=70\n",
     [] { EXPECT_EQ(JpegQuality, 70); }, {"[JPEG]\nQuality=70\n"}, {"\xEF\xBB\xBF"}},
    {"crlf_lines", TStored::Content, "[DPI]\r\nIndex=6\r\n[TEXT]\r\nName=Courier\r\n",
     [] { EXPECT_EQ(DpiIndex, 6); EXPECT_EQ(TextName, "Courier"); },
     {"[DPI]\nIndex=6\n[TEXT]\nName=Courier\n"}, {"\r"}},
    {"blanks_around_names_and_values", TStored::Content, " [ jpeg ] \n  QUALITY =  55  \n[TEXT]\nName = Times New Roman \n",
     [] { EXPECT_EQ(JpegQuality, 55); EXPECT_EQ(TextName, "Times New Roman"); },
     {" [ jpeg ] \n  QUALITY =  55\n", "Name = Times New Roman\n"}, {}},
    {"out_of_range_numbers", TStored::Content, "[DPI]\nIndex=-1\n[JPEG]\nQuality=-100\n[ARCHIV]\nSIZE=0\n",
     [] { EXPECT_EQ(DpiIndex, 4); EXPECT_EQ(JpegQuality, 100); EXPECT_EQ(ArchivSize, 145); },
     {"[DPI]\nIndex=4\n", "[JPEG]\nQuality=100\n", "[ARCHIV]\nSIZE=145\n"}, {}},
    {"numbers_beyond_32_bits", TStored::Content,
     "[TEXT]\nSize=4294967296\nFarbe=$1000000FF\n[SHADE]\nWidth=-99999999999\n[JPEG]\nQuality=$100000032\n",
     [] { EXPECT_EQ(TextSize, 50); EXPECT_EQ(TextFarbe, clBlack); EXPECT_EQ(ShadeWidth, 10); EXPECT_EQ(JpegQuality, 100); },
     {"[TEXT]\nSize=50\nFarbe=clBlack\n", "[SHADE]\nWidth=10\n", "[JPEG]\nQuality=100\n"}, {}},
    {"hexadecimal_numbers", TStored::Content, "[SHADE]\nWidth=$1A\nThick=0x20\n[PRINTER]\nMargin=0X0c\n",
     [] { EXPECT_EQ(ShadeWidth, 26); EXPECT_EQ(ShadeThick, 32); EXPECT_EQ(PrinterMargin, 12); },
     {"[SHADE]\nWidth=26\nThick=32\n", "Margin=12\n"}, {}},
    {"texts_that_are_no_numbers_or_colours", TStored::Content,
     "[TEXT]\nSize=zehn\nFarbe=Rot\nSchatten=\nMitSchatten=ja\nHintergrund=nein\n",
     [] {
         EXPECT_EQ(TextSize, 50);
         EXPECT_EQ(TextFarbe, clBlack);
         EXPECT_EQ(TextSchatten, clGray);
         EXPECT_FALSE(TextMitSchatten);
         EXPECT_TRUE(TextHintergrund);
     },
     {"[TEXT]\nSize=50\nFarbe=clBlack\nSchatten=clGray\nMitSchatten=0\nHintergrund=1\n"}, {}},
    {"any_nonzero_boolean_is_true", TStored::Content, "[EDIT]\nKeep=2\n[CALENDAR]\nWeeks=0\nHolis=-1\n",
     [] { EXPECT_TRUE(EditKeep); EXPECT_FALSE(CalendarWeeks); EXPECT_TRUE(CalendarHolis); },
     {"[EDIT]\nKeep=1\n", "Weeks=0\nHolis=1\n"}, {}},
    {"values_taken_as_read_without_check", TStored::Content, "[TEXT]\nPosition=7\nTransparenz=-5\n[PRINTER]\nSplit=3\n",
     [] { EXPECT_EQ(TextPosition, 7); EXPECT_EQ(TextTransparenz, -5); EXPECT_EQ(PrinterSplit, 3); },
     {"Position=7\n", "Transparenz=-5\n", "Split=3\n"}, {}},
    {"unknown_sections_keys_and_comments_survive", TStored::Content,
     "; von Hand\n[FREMD]\nA=1\n\n[JPEG]\nQuality=80\nAlt=ja\n; Ende\n\n[ANDERS]\nx=y\n",
     [] { EXPECT_EQ(JpegQuality, 80); },
     {"; von Hand\n[FREMD]\nA=1\n\n[JPEG]\nQuality=80\nAlt=ja\n; Ende\n\n[ANDERS]\nx=y\n[WINDOW]\n"}, {}},
    {"windows1252_text_read_and_written_as_utf8", TStored::Content, "[CALENDAR]\nText=Fr\xFCh \x80\n",
     [] { EXPECT_EQ(CalendarText, QStringLiteral("Früh €")); },
     {"[CALENDAR]\nText=Fr\xC3\xBCh \xE2\x82\xAC\n"}, {}},
    {"ten_megabytes_of_ascii_junk", TStored::Content, kAsciiJunk, ExpectDefaultsExceptWindow,
     {kAsciiJunk + "[WINDOW]\nMaximized=0\n", "\n[CALENDAR]\nFont=Arial\n"}, {}},
    {"ten_megabytes_of_binary_junk", TStored::Content, Junk(true), ExpectDefaultsExceptWindow,
     {"[WINDOW]\nMaximized=0\n", "[CALENDAR]\nFont=Arial\nText=\nWeeks=1\nHolis=1\nRegion=17\n"}, {}},
    {"no_read_permission", TStored::NoReadPermission, "[JPEG]\nQuality=7\n", ExpectDefaultsExceptWindow, {}, {}},
    {"folder_in_place_of_the_file", TStored::FolderInItsPlace, {}, ExpectDefaultsExceptWindow, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(BadInput, SettingsFile, ::testing::ValuesIn(kBadInput), SettingsCaseName);

class Settings : public ::testing::Test {
protected:
    void SetUp() override { FSaved = Take(); }
    void TearDown() override { Restore(FSaved); }
    TSnapshot FSaved;
    TempFolder FFolder;
};

TEST_F(Settings, EveryKeySurvivesWriteAndRead)
{
    WindowPlacement = {false, 12, 34, 1001, 702};
    ArchivFile = QStringLiteral("/home/jürgen/Bilderarchive/Hochzeit 2019.lka");
    ArchivSize = 272;
    EditKeep = true;
    EditValue = {{-20, 35, 150, 9000, 5000, 12345}};
    TextName = QStringLiteral("Schöne Grotesk Ä€");
    TextFarbe = 0x00123456;
    TextSchatten = clNavy;
    TextMitSchatten = true;
    TextGrund = clMoneyGreen;
    TextHintergrund = false;
    TextSize = 77;
    TextPosition = 0;
    TextAbstand = 13;
    TextTransparenz = 42;
    RahmenFarbe = 0x00ABCDEF;
    ShadeBack = clCream;
    ShadeWidth = 21;
    ShadeThick = 33;
    JpegQuality = 85;
    DpiIndex = 6;
    PrinterIndex = 5;
    PrinterFormat = 3;
    PrinterMargin = 9;
    PrinterCenter = true;
    PrinterFitPage = true;
    PrinterFrame = false;
    PrinterLayout = {{false, true, false, false}};
    PrinterSpace = 14;
    PrinterInMarks = false;
    PrinterOutMarks = false;
    PrinterSplit = 2;
    CalendarFont = QStringLiteral("DejaVu Sans");
    CalendarText = QStringLiteral("Frohe Ostern – „2025“ ✓");
    CalendarWeeks = false;
    CalendarHolis = false;
    CalendarRegion = 3;
    const TSnapshot written = Take();
    SaveSettingsFile(FFolder.Path("Lumikon.ini"));

    ReadSettingsFrom(TIniFile(), TestEnvironment());
    EXPECT_EQ(JpegQuality, 100);  // really back at the defaults
    ReadSettingsFrom(TIniFile(FFolder.Path("Lumikon.ini")), TestEnvironment());
    EXPECT_EQ(Take(), written);
}

struct TColorTextCase {
    const char16_t *Text;
    std::optional<TColor> Color;
};

class ColorText : public ::testing::TestWithParam<TColorTextCase> {};

TEST_P(ColorText, Reads)
{
    EXPECT_EQ(ColorFromText(GetParam().Text), GetParam().Color) << QString::fromUtf16(GetParam().Text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(SettingValues, ColorText, ::testing::Values(
    TColorTextCase{u"clRed", clRed}, TColorTextCase{u"CLRED", clRed}, TColorTextCase{u"clMedGray", 0xA4A0A0},
    TColorTextCase{u"clSkyBlue", 0xF0CAA6}, TColorTextCase{u"$000000FF", clRed},
    TColorTextCase{u"$00FF0000", clBlue}, TColorTextCase{u"0x0000FF00", clLime}, TColorTextCase{u"255", clRed},
    TColorTextCase{u"$00123456", 0x123456}, TColorTextCase{u"-1", 0xFFFFFFFF},
    TColorTextCase{u"Rot", std::nullopt}, TColorTextCase{u"clRot", std::nullopt}, TColorTextCase{u"", std::nullopt},
    TColorTextCase{u"#FF0000", std::nullopt}, TColorTextCase{u"$1FFFFFFFF", std::nullopt}));

TEST(SettingValues, ColourWrittenAsNameOrEightHexDigits)
{
    const std::pair<TColor, QString> cases[] = {
        {clRed, "clRed"}, {clBlack, "clBlack"}, {0xC0DCC0, "clMoneyGreen"}, {0xF0FBFF, "clCream"},
        {0x00123456, "$00123456"}, {0x00abcdef, "$00ABCDEF"}, {0x000001, "$00000001"}, {0xFFFFFFFF, "$FFFFFFFF"},
    };
    for (const auto &[color, text] : cases) {
        EXPECT_EQ(ColorToText(color), text);
        EXPECT_EQ(ColorFromText(text), color) << text.toStdString();
    }
}

TEST(SettingValues, ColourAndQColorConvert)
{
    EXPECT_EQ(ToQColor(0x00563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ToQColor(0xFF563412), QColor(0x12, 0x34, 0x56));  // the top byte is no colour part
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), TColor(0x00563412));
    EXPECT_EQ(FromQColor(QColor::fromHsv(0, 255, 255)), clRed);
}

TEST(SettingValues, DpiTable)
{
    const std::pair<int, int> table[] = {{0, 100}, {1, 150}, {2, 200}, {3, 240}, {4, 300}, {5, 400},
                                         {6, 600}, {7, 1200}, {8, 300}, {-1, 300}, {1000, 300}};
    for (const auto &[index, dpi] : table)
        EXPECT_EQ(DpiFromIndex(index), dpi) << index;
}

TEST(SettingValues, OneBasedArrayRejectsIndexZero)
{
    EXPECT_EQ(EditValue[1], EditValue.Items[0]);
    EXPECT_THROW((void)EditValue[0], std::out_of_range);
    EXPECT_THROW((void)PrinterLayout[5], std::out_of_range);
}

// The no-printer note comes just before PRINTER/Index is read: the keys before it are read
// already, the printer index not yet.
TEST_F(Settings, NoPrinterNoteJustBeforePrinterIndex)
{
    struct TCase {
        const char *Name;
        int DefaultPrinter;
        QByteArray File;
        int NotesExpected;
        int PrinterIndexExpected;
    };
    const TCase cases[] = {
        {"no printer, no key", -1, "[DPI]\nIndex=2\n", 1, -1},
        {"no printer, key kept", -1, "[DPI]\nIndex=2\n[PRINTER]\nIndex=3\n", 1, 3},
        {"printers, no key", 1, "[DPI]\nIndex=2\n", 0, 1},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        PrinterIndex = -7;
        int notes = 0;
        const TSettingsEnvironment environment{QSize(1920, 1080), c.DefaultPrinter, [&] {
            ++notes;
            EXPECT_EQ(DpiIndex, 2);
            EXPECT_EQ(PrinterIndex, -7);
        }};
        ReadSettingsFrom(TIniFile::FromBytes(c.File), environment);
        EXPECT_EQ(notes, c.NotesExpected);
        EXPECT_EQ(PrinterIndex, c.PrinterIndexExpected);
    }
}

TEST_F(Settings, DefaultPrinterIndexFollowsTheSystemList)
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    const int index = DefaultPrinterIndex();
    if (printers.isEmpty()) {
        EXPECT_EQ(index, -1);
    } else {
        ASSERT_GE(index, 0);
        const QString expected = printers.contains(QPrinterInfo::defaultPrinterName())
                                     ? QPrinterInfo::defaultPrinterName() : printers[0];
        EXPECT_EQ(printers[index], expected);
    }
}

TEST_F(Settings, UnwritableFileKeepsTheOldOneAndGivesTheReason)
{
    struct TCase {
        const char *Name;
        bool NeedsNonRoot;
        std::function<QString(const TempFolder &)> Prepare;  // -> settings file name
    };
    const TCase cases[] = {
        {"parent is a regular file", false, [](const TempFolder &f) {
             f.Write("Datei", "kein Ordner");
             return f.Path("Datei/Lumikon.ini");
         }},
        {"read-only folder", true, [](const TempFolder &f) {
             QDir(f.Root()).mkdir("nur-lesen");
             f.Write("nur-lesen/Lumikon.ini", "[JPEG]\nQuality=9\n");
             QFile::setPermissions(f.Path("nur-lesen"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
             return f.Path("nur-lesen/Lumikon.ini");
         }},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        if (c.NeedsNonRoot && geteuid() == 0)
            continue;  // root writes into every folder
        TempFolder folder;
        const QString fileName = c.Prepare(folder);
        const QByteArray before = folder.Read(QDir(folder.Root()).relativeFilePath(fileName));
        JpegQuality = 50;
        try {
            SaveSettingsFile(fileName);
            ADD_FAILURE() << "saved";
        } catch (const TIniFileError &error) {
            EXPECT_TRUE(error.Reason().startsWith(fileName + ": ")) << error.what();
        }
        EXPECT_EQ(folder.Read(QDir(folder.Root()).relativeFilePath(fileName)), before);
        // Writable again, so that the temporary folder can be removed.
        QFile::setPermissions(folder.Path("nur-lesen"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
    }
}

TEST_F(Settings, WriteSettingsShowsTheErrorMessage)
{
    FFolder.Write("Datei", "kein Ordner");
    const QString saved = IniFileName;
    IniFileName = FFolder.Path("Datei/Lumikon.ini");
    lmktest::TMessageBoxAnswerer answerer("OK");
    WriteSettings();
    IniFileName = saved;
    ASSERT_EQ(answerer.Texts.size(), 1);
    EXPECT_EQ(answerer.Titles[0], "Fehlermeldung");
    EXPECT_TRUE(answerer.Texts[0].startsWith("Die Einstellungen konnten nicht gespeichert werden!\n\n" +
                                             FFolder.Path("Datei/Lumikon.ini") + ": "))
        << answerer.Texts[0].toStdString();
}

TEST_F(Settings, WindowPlacementAppliedWithItsLimits)
{
    struct TCase {
        TWindowPlacement Placement;
        QPoint Position;
        QSize Size;
    };
    const TCase cases[] = {
        {{false, 30, 40, 900, 650}, {30, 40}, {900, 650}},
        {{false, -50, -8, 800, 600}, {0, 0}, {800, 600}},
        {{false, 10, 10, 300, 200}, {10, 10}, {700, 600}},
    };
    for (const TCase &c : cases) {
        QWidget window;
        ApplyWindowPlacement(window, c.Placement);
        EXPECT_EQ(window.pos(), c.Position);
        EXPECT_EQ(window.size(), c.Size);
        EXPECT_EQ(window.minimumSize(), QSize(700, 600));
        EXPECT_FALSE(window.isMaximized());
        EXPECT_EQ(WindowPlacementOf(window, {}), (TWindowPlacement{false, c.Position.x(), c.Position.y(),
                                                                    c.Size.width(), c.Size.height()}));
    }
}

// Closing maximised keeps the normal-state geometry of the file; the next start maximises
// again and returns to that geometry.
TEST_F(Settings, MaximisedWindowKeepsTheFilesGeometry)
{
    const QString path = FFolder.Path("Lumikon.ini");
    FFolder.Write("Lumikon.ini", "[WINDOW]\nMaximized=0\nLeft=-50\nTop=30\nWidth=900\nHeight=650\n");
    ReadSettingsFrom(TIniFile(path), TestEnvironment());
    {
        QWidget window;
        ApplyWindowPlacement(window, WindowPlacement);
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        WindowPlacement = WindowPlacementOf(window, WindowPlacement);
    }
    SaveSettingsFile(path);
    EXPECT_TRUE(FFolder.Read("Lumikon.ini").startsWith(
        "[WINDOW]\nMaximized=1\nLeft=-50\nTop=30\nWidth=900\nHeight=650\n[ARCHIV]\n"));

    ReadSettingsFrom(TIniFile(path), TestEnvironment());
    EXPECT_EQ(WindowPlacement, (TWindowPlacement{true, 0, 30, 900, 650}));
    QWidget window;
    ApplyWindowPlacement(window, WindowPlacement);
    window.show();
    QTRY_VERIFY(window.isMaximized());
    window.showNormal();
    QTRY_VERIFY(!window.isMaximized());
    EXPECT_EQ(window.size(), QSize(900, 650));
}

}  // namespace
