// SPDX-License-Identifier: GPL-3.0-or-later
// The symbols of the main window's buttons: icons of the desktop's icon theme by their standard
// names, and symbols the program draws itself for the commands the theme has no icon for.
#pragma once

#include <QImage>
#include <QString>

namespace lmk {

// Names of the symbols the program draws itself.
inline constexpr const char *kSymbolSharpen = "lmk-sharpen";
inline constexpr const char *kSymbolShadow = "lmk-shadow";

// The symbol `name` at `size` × `size` pixels with an alpha channel: our own drawing for the
// names above, else the theme's icon; when the theme lacks the icon, a framed `letter`, so that
// no button is ever left without a symbol.
QImage MainSymbol(const QString &name, int size, QChar letter);

}  // namespace lmk
