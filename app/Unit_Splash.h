// SPDX-License-Identifier: GPL-3.0-or-later
// The splash window shown while the main window is being created.
#pragma once

#include <QWidget>

namespace lmk {

class TForm_Splash : public QWidget {
public:
    TForm_Splash();
    // Shows the window centred on the screen and paints it at once.
    void ShowNow();

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace lmk
