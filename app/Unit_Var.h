// SPDX-License-Identifier: GPL-3.0-or-later
// Program-wide variables: the folders fixed at start and one variable per key of the settings
// file "Lumikon.ini". Dialogs read them when they open and write them when the user confirms;
// the file is read once at start and written once at the end.
#pragma once

#include <QString>

namespace lmk {

// Folders, set during start (full paths; not saved in the settings file).
extern QString ProgramDir;    // folder of the program file, with a trailing separator
extern QString HelpFileName;  // ProgramDir + "Lumikon.chm"
extern QString SettingsDir;   // XDG config folder + "LMK Lumikon/"
extern QString DataDir;       // documents folder + "LMK Lumikon/"
extern QString ArchivDir;     // documents folder + "LMK Lumikon/Bilderarchive", no trailing separator
extern QString IniFileName;   // SettingsDir + "Lumikon.ini"

// Settings of the photo files.
extern int JpegQuality;  // JPEG/Quality, 1 ... 100
extern int DpiIndex;     // DPI/Index, 0 ... 7

// The DPI table: 0 -> 100, 1 -> 150, 2 -> 200, 3 -> 240, 4 -> 300, 5 -> 400, 6 -> 600,
// 7 -> 1200; any other index -> 300.
int DpiFromIndex(int index);

}  // namespace lmk
