// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKRibbonTransButton.h"

#include <QPainter>

namespace lmk {

TLMKRibbonTransButton::TLMKRibbonTransButton(QWidget *parent) : TLMKRibbonButtonBase(parent, true)
{
    resize(kDefaultSize);
}

void TLMKRibbonTransButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int W = width(), H = height();
    PaintRibbonLook(painter, size(), H / 3, Look(), Colors());
    if (Symbol().isNull())
        return;
    const int halfW = Symbol().width() / 2, halfH = Symbol().height() / 2;
    DrawButtonSymbol(painter, QRect(W / 2 - halfW, H / 2 - halfH, 2 * halfW, 2 * halfH), Symbol(), Enabled());
}

}  // namespace lmk
