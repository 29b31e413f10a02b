// SPDX-License-Identifier: GPL-3.0-or-later
// Program-wide helpers: the one message box, the user's special folders, the program's date and
// number formats, the help file and the no-printer note.
#pragma once

#include <QLocale>
#include <QString>

namespace lmk {

// Kind codes of the message box; any other code gives a box without title.
enum class MsgKind { Error = 16, Question = 32, Warning = 48, Information = 64 };
enum class MsgButtons { OK = 0, OKCancel = 1, YesNoCancel = 3, YesNo = 4 };
enum class MsgResult { OK = 1, Cancel = 2, Yes = 6, No = 7 };

// Shows a modal message box owned by the active window and returns the button pressed. The
// first button is the default; Esc (and the close box) give Cancel where there is one, else
// the only or the last button (No).
MsgResult MsgBox(const QString &text, MsgKind kind, MsgButtons buttons);
// The window title of a kind: "Fehlermeldung", "Bestätigung", "Hinweis", "Information" or "".
QString MsgBoxTitle(MsgKind kind);

enum class SpecialFolder { RoamingAppData, Documents };
// The folder's path with a trailing separator, or "" when the system cannot name it.
QString GetSpecialFolder(SpecialFolder kind);

// Fixes the program's formats (dates "dd.MM.yyyy", "." thousands, "," decimals ...) once at start;
// later changes of the system's regional settings do not reach them.
void InitFormatSettings();
// The formats fixed by InitFormatSettings, for every date, time and number shown as text.
struct TFormatSettings {
    QLocale Locale;  // month and day names of the user's locale
    QChar DateSeparator = '.';
    QChar TimeSeparator = ':';
    QString ShortDateFormat = "dd.MM.yyyy";
    QString LongDateFormat = "dddd, d. MMMM yyyy";
    QString ShortTimeFormat = "hh:mm";
    QString LongTimeFormat = "hh:mm:ss";
    QChar ThousandSeparator = '.';
    QChar DecimalSeparator = ',';
    int CurrencyDecimals = 2;
};
const TFormatSettings &FormatSettings();

// Opens the help window at the topic of a context number (see HelpContexts.h).
void ShowHelpContext(int context);

// True when the printing system knows at least one printer.
bool PrinterAvailable();
// The note shown when no printer exists (while the settings are read, and by the print dialogs).
void WarnNoPrinter();

}  // namespace lmk
