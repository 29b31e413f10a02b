// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Var.h"

#include "app/IniFile.h"
#include "app/LMK_Utils.h"

#include <QGuiApplication>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <vector>

namespace lmk {

// The default of every key with a fixed default; the variables start with them and reading
// falls back to them.
namespace defaults {
constexpr int ArchivSize = kArchivNarrow;
constexpr bool EditKeep = false;
constexpr TOneBasedArray<int, 6> EditValue{{0, 0, 100, 7500, 7500, 7500}};
constexpr char16_t TextName[] = u"Arial";
constexpr TColor TextFarbe = clBlack;
constexpr TColor TextSchatten = clGray;
constexpr bool TextMitSchatten = false;
constexpr TColor TextGrund = clSilver;
constexpr bool TextHintergrund = true;
constexpr int TextSize = 50;
constexpr int TextPosition = 1;
constexpr int TextAbstand = 0;
constexpr int TextTransparenz = 100;
constexpr TColor RahmenFarbe = clWhite;
constexpr TColor ShadeBack = clWhite;
constexpr int ShadeWidth = 10;
constexpr int ShadeThick = 75;
constexpr int JpegQuality = 100;
constexpr int DpiIndex = 4;
constexpr int PrinterFormat = 1;
constexpr int PrinterMargin = 5;
constexpr bool PrinterCenter = false;
constexpr bool PrinterFitPage = false;
constexpr bool PrinterFrame = true;
constexpr TOneBasedArray<bool, 4> PrinterLayout{{true, true, true, true}};
constexpr int PrinterSpace = 0;
constexpr bool PrinterInMarks = true;
constexpr bool PrinterOutMarks = true;
constexpr int PrinterSplit = 4;
constexpr char16_t CalendarFont[] = u"Arial";
constexpr bool CalendarWeeks = true;
constexpr bool CalendarHolis = true;
constexpr int CalendarRegion = 17;
}  // namespace defaults

QString ProgramDir;
QString HelpFileName;
QString SettingsDir;
QString DataDir;
QString ArchivDir;
QString IniFileName;

TWindowPlacement WindowPlacement;
QString ArchivFile;
int ArchivSize = defaults::ArchivSize;
bool EditKeep = defaults::EditKeep;
TOneBasedArray<int, 6> EditValue = defaults::EditValue;
QString TextName = QString::fromUtf16(defaults::TextName);
TColor TextFarbe = defaults::TextFarbe;
TColor TextSchatten = defaults::TextSchatten;
bool TextMitSchatten = defaults::TextMitSchatten;
TColor TextGrund = defaults::TextGrund;
bool TextHintergrund = defaults::TextHintergrund;
int TextSize = defaults::TextSize;
int TextPosition = defaults::TextPosition;
int TextAbstand = defaults::TextAbstand;
int TextTransparenz = defaults::TextTransparenz;
TColor RahmenFarbe = defaults::RahmenFarbe;
TColor ShadeBack = defaults::ShadeBack;
int ShadeWidth = defaults::ShadeWidth;
int ShadeThick = defaults::ShadeThick;
int JpegQuality = defaults::JpegQuality;
int DpiIndex = defaults::DpiIndex;
int PrinterIndex = -1;
int PrinterFormat = defaults::PrinterFormat;
int PrinterMargin = defaults::PrinterMargin;
bool PrinterCenter = defaults::PrinterCenter;
bool PrinterFitPage = defaults::PrinterFitPage;
bool PrinterFrame = defaults::PrinterFrame;
TOneBasedArray<bool, 4> PrinterLayout = defaults::PrinterLayout;
int PrinterSpace = defaults::PrinterSpace;
bool PrinterInMarks = defaults::PrinterInMarks;
bool PrinterOutMarks = defaults::PrinterOutMarks;
int PrinterSplit = defaults::PrinterSplit;
QString CalendarFont = QString::fromUtf16(defaults::CalendarFont);
QString CalendarText;
bool CalendarWeeks = defaults::CalendarWeeks;
bool CalendarHolis = defaults::CalendarHolis;
int CalendarRegion = defaults::CalendarRegion;

int DpiFromIndex(int index)
{
    static constexpr int kDpiTable[] = {100, 150, 200, 240, 300, 400, 600, 1200};
    return index >= 0 && index < int(std::size(kDpiTable)) ? kDpiTable[index] : 300;
}

// ---- colours ----

namespace {
struct TNamedColor {
    const char16_t *Name;
    TColor Value;
};
constexpr TNamedColor kNamedColors[] = {
    {u"clBlack", clBlack},     {u"clMaroon", clMaroon},   {u"clGreen", clGreen},
    {u"clOlive", clOlive},     {u"clNavy", clNavy},       {u"clPurple", clPurple},
    {u"clTeal", clTeal},       {u"clGray", clGray},       {u"clSilver", clSilver},
    {u"clRed", clRed},         {u"clLime", clLime},       {u"clYellow", clYellow},
    {u"clBlue", clBlue},       {u"clFuchsia", clFuchsia}, {u"clAqua", clAqua},
    {u"clWhite", clWhite},     {u"clMoneyGreen", clMoneyGreen}, {u"clSkyBlue", clSkyBlue},
    {u"clCream", clCream},     {u"clMedGray", clMedGray},
};
}  // namespace

QColor ToQColor(TColor color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor FromQColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return TColor(rgb.red()) | TColor(rgb.green()) << 8 | TColor(rgb.blue()) << 16;
}

std::optional<TColor> ColorFromText(QStringView text)
{
    text = text.trimmed();
    for (const TNamedColor &named : kNamedColors)
        if (text.compare(QStringView(named.Name), Qt::CaseInsensitive) == 0)
            return named.Value;
    const std::optional<int> value = ParseIniInteger(text);
    if (!value)
        return std::nullopt;
    return static_cast<TColor>(*value);
}

QString ColorToText(TColor color)
{
    for (const TNamedColor &named : kNamedColors)
        if (named.Value == color)
            return QString::fromUtf16(named.Name);
    return u'$' + QStringLiteral("%1").arg(color, 8, 16, QChar(u'0')).toUpper();
}

// ---- the schema ----

namespace {

// One key of the settings file bound to its variable.
struct TSettingKey {
    QString Section;
    QString Key;
    std::function<void(const TIniFile &)> Read;
    std::function<void(TIniFile &)> Write;
};

// A read check: the value as read and the key's default -> the value to use.
using TIntCheck = int (*)(int value, int fallback);
int Unchecked(int value, int) { return value; }
int NotNegative(int value, int) { return std::max(value, 0); }
template <int Min, int Max>
int InRange(int value, int fallback) { return value >= Min && value <= Max ? value : fallback; }
int ArchivWidth(int value, int fallback)
{
    return value == kArchivNarrow || value == kArchivWide ? value : fallback;
}

TSettingKey Key(QString section, QString key, int &variable, int fallback,
                TIntCheck check = Unchecked)
{
    return {section, key,
            [=, &variable](const TIniFile &ini) {
                variable = check(ini.ReadInteger(section, key, fallback), fallback);
            },
            [=, &variable](TIniFile &ini) { ini.WriteInteger(section, key, variable); }};
}

TSettingKey Key(QString section, QString key, bool &variable, bool fallback)
{
    return {section, key,
            [=, &variable](const TIniFile &ini) { variable = ini.ReadBool(section, key, fallback); },
            [=, &variable](TIniFile &ini) { ini.WriteBool(section, key, variable); }};
}

TSettingKey Key(QString section, QString key, QString &variable, const QString &fallback)
{
    return {section, key,
            [=, &variable](const TIniFile &ini) { variable = ini.ReadString(section, key, fallback); },
            [=, &variable](TIniFile &ini) { ini.WriteString(section, key, variable); }};
}

// A colour text that is neither a name nor a number gives the default, so that one damaged
// value cannot stop the program from starting.
TSettingKey Key(QString section, QString key, TColor &variable, TColor fallback)
{
    return {section, key,
            [=, &variable](const TIniFile &ini) {
                const QString text = ini.ReadString(section, key, ColorToText(fallback));
                variable = ColorFromText(text).value_or(fallback);
            },
            [=, &variable](TIniFile &ini) { ini.WriteString(section, key, ColorToText(variable)); }};
}

// Geometry keys are left alone while the window is maximised: the file keeps the geometry the
// window returns to.
TSettingKey NormalWindowOnly(TSettingKey key)
{
    key.Write = [write = std::move(key.Write)](TIniFile &ini) {
        if (!WindowPlacement.Maximized)
            write(ini);
    };
    return key;
}

// The schema in the order in which the keys are read and written.
std::vector<TSettingKey> SettingKeys(const TSettingsEnvironment &environment)
{
    TWindowPlacement &w = WindowPlacement;
    std::vector<TSettingKey> keys = {
        Key("WINDOW", "Maximized", w.Maximized, false),
        NormalWindowOnly(Key("WINDOW", "Left", w.Left, environment.Screen.width() / 2 - 400,
                             NotNegative)),
        NormalWindowOnly(Key("WINDOW", "Top", w.Top, environment.Screen.height() / 2 - 300,
                             NotNegative)),
        NormalWindowOnly(Key("WINDOW", "Width", w.Width, 800)),
        NormalWindowOnly(Key("WINDOW", "Height", w.Height, 600)),
        Key("ARCHIV", "FILE", ArchivFile, QString()),
        Key("ARCHIV", "SIZE", ArchivSize, defaults::ArchivSize, ArchivWidth),
        Key("EDIT", "Keep", EditKeep, defaults::EditKeep),
    };
    for (int i = EditValue.Low; i <= EditValue.High; ++i)
        keys.push_back(Key("EDIT", "Value" + QString::number(i), EditValue[i], defaults::EditValue[i]));
    keys.insert(keys.end(), {
        Key("TEXT", "Name", TextName, QString::fromUtf16(defaults::TextName)),
        Key("TEXT", "Farbe", TextFarbe, defaults::TextFarbe),
        Key("TEXT", "Schatten", TextSchatten, defaults::TextSchatten),
        Key("TEXT", "MitSchatten", TextMitSchatten, defaults::TextMitSchatten),
        Key("TEXT", "Grund", TextGrund, defaults::TextGrund),
        Key("TEXT", "Hintergrund", TextHintergrund, defaults::TextHintergrund),
        Key("TEXT", "Size", TextSize, defaults::TextSize),
        Key("TEXT", "Position", TextPosition, defaults::TextPosition),
        Key("TEXT", "Abstand", TextAbstand, defaults::TextAbstand),
        Key("TEXT", "Transparenz", TextTransparenz, defaults::TextTransparenz),
        Key("RAHMEN", "Farbe", RahmenFarbe, defaults::RahmenFarbe),
        Key("SHADE", "Back", ShadeBack, defaults::ShadeBack),
        Key("SHADE", "Width", ShadeWidth, defaults::ShadeWidth),
        Key("SHADE", "Thick", ShadeThick, defaults::ShadeThick),
        Key("JPEG", "Quality", JpegQuality, defaults::JpegQuality, InRange<1, 100>),
        Key("DPI", "Index", DpiIndex, defaults::DpiIndex, InRange<0, 7>),
    });
    TSettingKey printer = Key("PRINTER", "Index", PrinterIndex, environment.DefaultPrinter);
    if (environment.DefaultPrinter < 0 && environment.NoPrinterNote)
        printer.Read = [read = std::move(printer.Read), note = environment.NoPrinterNote](
                           const TIniFile &ini) {
            note();
            read(ini);
        };
    keys.insert(keys.end(), {
        std::move(printer),
        Key("PRINTER", "Format", PrinterFormat, defaults::PrinterFormat),
        Key("PRINTER", "Margin", PrinterMargin, defaults::PrinterMargin),
        Key("PRINTER", "Center", PrinterCenter, defaults::PrinterCenter),
        Key("PRINTER", "FitPage", PrinterFitPage, defaults::PrinterFitPage),
        Key("PRINTER", "Frame", PrinterFrame, defaults::PrinterFrame),
    });
    for (int i = PrinterLayout.Low; i <= PrinterLayout.High; ++i)
        keys.push_back(Key("PRINTER", "Layout" + QString::number(i), PrinterLayout[i],
                           defaults::PrinterLayout[i]));
    keys.insert(keys.end(), {
        Key("PRINTER", "Space", PrinterSpace, defaults::PrinterSpace),
        Key("PRINTER", "InMarks", PrinterInMarks, defaults::PrinterInMarks),
        Key("PRINTER", "OutMarks", PrinterOutMarks, defaults::PrinterOutMarks),
        Key("PRINTER", "Split", PrinterSplit, defaults::PrinterSplit),
        Key("CALENDAR", "Font", CalendarFont, QString::fromUtf16(defaults::CalendarFont)),
        Key("CALENDAR", "Text", CalendarText, QString()),
        Key("CALENDAR", "Weeks", CalendarWeeks, defaults::CalendarWeeks),
        Key("CALENDAR", "Holis", CalendarHolis, defaults::CalendarHolis),
        Key("CALENDAR", "Region", CalendarRegion, defaults::CalendarRegion, InRange<0, 17>),
    });
    return keys;
}

}  // namespace

int DefaultPrinterIndex()
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (printers.isEmpty())
        return -1;
    return std::max<int>(0, int(printers.indexOf(QPrinterInfo::defaultPrinterName())));
}

TSettingsEnvironment SystemSettingsEnvironment()
{
    TSettingsEnvironment environment;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        environment.Screen = screen->geometry().size();
    environment.DefaultPrinter = DefaultPrinterIndex();
    environment.NoPrinterNote = WarnNoPrinter;
    return environment;
}

void ReadSettingsFrom(const TIniFile &ini, const TSettingsEnvironment &environment)
{
    for (const TSettingKey &key : SettingKeys(environment))
        key.Read(ini);
}

void WriteSettingsTo(TIniFile &ini)
{
    for (const TSettingKey &key : SettingKeys(TSettingsEnvironment{}))
        key.Write(ini);
}

void SaveSettingsFile(const QString &fileName)
{
    TIniFile ini(fileName);
    WriteSettingsTo(ini);
    ini.UpdateFile();
}

void ReadSettings() { ReadSettingsFrom(TIniFile(IniFileName), SystemSettingsEnvironment()); }

void WriteSettings()
{
    try {
        SaveSettingsFile(IniFileName);
    } catch (const TIniFileError &error) {
        MsgBox(QStringLiteral("Die Einstellungen konnten nicht gespeichert werden!\n\n") + error.Reason(),
               MsgKind::Error, MsgButtons::OK);
    }
}

// ---- the main window's placement ----

void ApplyWindowPlacement(QWidget &window, const TWindowPlacement &p)
{
    window.setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
    window.move(std::max(p.Left, 0), std::max(p.Top, 0));
    window.resize(p.Width, p.Height);
    if (p.Maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

TWindowPlacement WindowPlacementOf(const QWidget &window, const TWindowPlacement &previous)
{
    if (window.windowState() & Qt::WindowMaximized) {
        TWindowPlacement kept = previous;
        kept.Maximized = true;
        return kept;
    }
    return {false, window.x(), window.y(), window.width(), window.height()};
}

}  // namespace lmk
