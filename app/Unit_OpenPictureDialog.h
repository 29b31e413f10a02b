// SPDX-License-Identifier: GPL-3.0-or-later
// The open dialog for picture files, with a preview of the file under the cursor.
#pragma once

#include <QString>

class QWidget;

namespace lmk {

// The chosen file, or "" when cancelled.
QString ChoosePictureFile(QWidget *owner, const QString &startFolder);

}  // namespace lmk
