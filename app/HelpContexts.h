// SPDX-License-Identifier: GPL-3.0-or-later
// Context numbers of the help file's topics, one per window with a "Hilfe" button.
#pragma once

namespace lmk::help {

enum Context : int {
    MainWindow = 1000,
    Scan = 1001,
    Resolution = 1005,
    Editor = 1006,
    Sharpen = 1007,
    Cutting = 1010,
    Repair = 1011,
    RedEye = 1014,
    Text = 1015,
    Frame = 1016,
    PrintChooser = 1019,
    PrintPhoto = 1020,
    PrintCards = 1021,
    PrintPoster = 1022,
    PrintCalendar = 1023,
    ShadeAndExif = 1028,
    JpegQuality = 1029,
    Correction = 1030,
};

inline constexpr Context AllContexts[] = {
    MainWindow, Scan, Resolution, Editor, Sharpen, Cutting, Repair, RedEye, Text,
    Frame, PrintChooser, PrintPhoto, PrintCards, PrintPoster, PrintCalendar, ShadeAndExif,
    JpegQuality, Correction,
};

}  // namespace lmk::help
