// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DialogWindow.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace lmk {

void SetUpFixedDialog(QDialog &dialog)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
    dialog.adjustSize();
    const QWidget *owner = dialog.parentWidget();
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), dialog.size());
    frame.moveCenter(screen->availableGeometry().center());
    // An explicit position also keeps Qt from placing the dialog over its owner.
    dialog.move(frame.topLeft());
}

}  // namespace lmk
