// SPDX-License-Identifier: GPL-3.0-or-later
// Program-wide variables: the folders fixed at start and one variable per key of the settings
// file "Lumikon.ini". Dialogs read them when they open and write them when the user confirms;
// the file is read once at start (ReadSettings) and written once at the end (WriteSettings).
#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace lmk {

class TIniFile;

// Folders, set during start (full paths; not saved in the settings file).
extern QString ProgramDir;    // folder of the program file, with a trailing separator
extern QString HelpFileName;  // ProgramDir + "Lumikon.chm"
extern QString SettingsDir;   // XDG config folder + "LMK Lumikon/"
extern QString DataDir;       // documents folder + "LMK Lumikon/"
extern QString ArchivDir;     // documents folder + "LMK Lumikon/Bilderarchive", no trailing separator
extern QString IniFileName;   // SettingsDir + "Lumikon.ini"

// A colour as the settings file keeps it: 00BBGGRR, red in the lowest byte.
using TColor = std::uint32_t;

// The named colours of the settings file.
inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clOlive = 0x008080, clNavy = 0x800000, clPurple = 0x800080,
                        clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0,
                        clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                        clWhite = 0xFFFFFF, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                        clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;

QColor ToQColor(TColor color);  // the low three bytes; the top byte is not a colour part
TColor FromQColor(const QColor &color);
// A colour text: a colour name ("clRed", any case) or an integer in a form ParseIniInteger
// reads ("$000000FF", "255"); nullopt for anything else.
std::optional<TColor> ColorFromText(QStringView text);
// The name when the value is a named colour, else "$" and eight upper-case hexadecimal digits.
QString ColorToText(TColor color);

// A fixed-size array indexed from 1 to N, as the settings number their keys ("Value1" ...).
// An index outside 1 ... N throws std::out_of_range.
template <typename T, int N>
struct TOneBasedArray {
    static constexpr int Low = 1;
    static constexpr int High = N;
    std::array<T, N> Items{};

    T &operator[](int index) { return Items.at(std::size_t(index - Low)); }
    const T &operator[](int index) const { return Items.at(std::size_t(index - Low)); }
    bool operator==(const TOneBasedArray &) const = default;
};

// WINDOW: the main window's normal-state geometry in screen pixels and whether it was maximised.
struct TWindowPlacement {
    bool Maximized = false;
    int Left = 0, Top = 0, Width = 800, Height = 600;
    bool operator==(const TWindowPlacement &) const = default;
};
inline constexpr int kMinWindowWidth = 700;   // the main window never gets smaller
inline constexpr int kMinWindowHeight = 600;

// The two widths of the archive panel.
inline constexpr int kArchivNarrow = 145;
inline constexpr int kArchivWide = 272;

extern TWindowPlacement WindowPlacement;  // WINDOW/Maximized, Left, Top, Width, Height
extern QString ArchivFile;                // ARCHIV/FILE: the current archive file, "" for none
extern int ArchivSize;                    // ARCHIV/SIZE: kArchivNarrow or kArchivWide

// Colour dialog.
extern bool EditKeep;                      // EDIT/Keep: keep the last values
extern TOneBasedArray<int, 6> EditValue;  // EDIT/Value1 ... Value6: brightness, contrast,
                                           // saturation, red, green and blue gamma

// Text dialog.
extern QString TextName;     // TEXT/Name: font name
extern TColor TextFarbe;     // TEXT/Farbe: text colour
extern TColor TextSchatten;  // TEXT/Schatten: shadow colour
extern bool TextMitSchatten;
extern TColor TextGrund;     // TEXT/Grund: background colour
extern bool TextHintergrund;
extern int TextSize;
extern int TextPosition;     // 0 top, 1 bottom
extern int TextAbstand;
extern int TextTransparenz;

extern TColor RahmenFarbe;  // RAHMEN/Farbe: frame colour

// Shadow dialog.
extern TColor ShadeBack;
extern int ShadeWidth;
extern int ShadeThick;

// Photo files.
extern int JpegQuality;  // JPEG/Quality, 1 ... 100
extern int DpiIndex;     // DPI/Index, 0 ... 7

// Printing.
extern int PrinterIndex;  // PRINTER/Index: printer last used, -1 when there is none
extern int PrinterFormat;
extern int PrinterMargin;
extern bool PrinterCenter;
extern bool PrinterFitPage;
extern bool PrinterFrame;
extern TOneBasedArray<bool, 4> PrinterLayout;  // cards top left, top right, bottom left, bottom right
extern int PrinterSpace;
extern bool PrinterInMarks;
extern bool PrinterOutMarks;
extern int PrinterSplit;

// Calendar print.
extern QString CalendarFont;
extern QString CalendarText;
extern bool CalendarWeeks;
extern bool CalendarHolis;
extern int CalendarRegion;  // 0 ... 17

// The DPI table: 0 -> 100, 1 -> 150, 2 -> 200, 3 -> 240, 4 -> 300, 5 -> 400, 6 -> 600,
// 7 -> 1200; any other index -> 300.
int DpiFromIndex(int index);

// What the defaults depend on besides the file.
struct TSettingsEnvironment {
    QSize Screen{800, 600};              // size of the primary screen
    int DefaultPrinter = -1;             // default of PRINTER/Index; -1: no printer
    std::function<void()> NoPrinterNote;  // shown just before PRINTER/Index is read, if -1
};
// The primary screen, the default printer's index in the system's list, WarnNoPrinter.
TSettingsEnvironment SystemSettingsEnvironment();
// Index of the default printer in QPrinterInfo::availablePrinterNames(); the first printer when
// none is marked as default; -1 when there is no printer.
int DefaultPrinterIndex();

// Every key in table order into its variable, with the checks of each key; a missing or
// unreadable value gives the key's default.
void ReadSettingsFrom(const TIniFile &ini, const TSettingsEnvironment &environment);
// Every key in table order from its variable. A maximised window writes only WINDOW/Maximized,
// so the file keeps the normal-state geometry of the last run that ended in normal state.
void WriteSettingsTo(TIniFile &ini);
// WriteSettingsTo the file's current content and replace the file; throws TIniFileError.
void SaveSettingsFile(const QString &fileName);

// Reads IniFileName with SystemSettingsEnvironment().
void ReadSettings();
// Writes IniFileName; a failure is shown as an error message with its reason.
void WriteSettings();

// Places and sizes the window (negative edges become 0, at least 700 x 600) and maximises it
// when p.Maximized; the normal geometry is the one restored later.
void ApplyWindowPlacement(QWidget &window, const TWindowPlacement &p);
// The window's placement for writing; when maximised, previous with Maximized set.
TWindowPlacement WindowPlacementOf(const QWidget &window, const TWindowPlacement &previous);

}  // namespace lmk
