// SPDX-License-Identifier: GPL-3.0-or-later
// TLMKRibbonTransButton: the small symbol-only button of the main window's quick tool bar. It
// is transparent until the pointer is over it and uses the looks and colour sets of the ribbon
// tool buttons. Symbol, Downed, Enabled, Style, Colors, Hint (always shown as tooltip), Clicked
// and SetOnClick come from TLMKRibbonButtonBase.
#pragma once

#include "controls/RibbonColors.h"

namespace lmk {

class TLMKRibbonTransButton : public TLMKRibbonButtonBase {
    Q_OBJECT
public:
    static constexpr QSize kDefaultSize{22, 22};

    explicit TLMKRibbonTransButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace lmk
