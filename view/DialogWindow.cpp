// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/DialogWindow.h"

#include "app/LMK_Utils.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

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

QHBoxLayout *FootButtonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

void ConnectHelp(QDialog &dialog, QPushButton *helpButton, int context)
{
    const auto showHelp = [context] { ShowHelpContext(context); };
    QObject::connect(helpButton, &QPushButton::clicked, &dialog, showHelp);
    QObject::connect(new QShortcut(QKeySequence::HelpContents, &dialog), &QShortcut::activated, &dialog, showHelp);
}

}  // namespace lmk
