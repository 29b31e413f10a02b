// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Var.h"

#include <iterator>

namespace lmk {

QString ProgramDir;
QString HelpFileName;
QString SettingsDir;
QString DataDir;
QString ArchivDir;
QString IniFileName;

int JpegQuality = 100;
int DpiIndex = 4;

int DpiFromIndex(int index)
{
    static constexpr int kDpiTable[] = {100, 150, 200, 240, 300, 400, 600, 1200};
    return index >= 0 && index < int(std::size(kDpiTable)) ? kDpiTable[index] : 300;
}

}  // namespace lmk
