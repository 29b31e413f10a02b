// SPDX-License-Identifier: GPL-3.0-or-later
// What the program's small fixed dialogs share: named controls and the placement.
#pragma once

#include <QString>
#include <initializer_list>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace lmk {

// Gives a control its name (the field's name, so tests and style sheets find it) and returns it.
template <class Control>
Control *Named(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Gives the dialog the size its layout asks for, keeps it from being resized, leaves only the
// close button in its title bar and places it in the middle of the screen its owner is on
// (else the primary screen). Called at the end of the dialog's constructor.
void SetUpFixedDialog(QDialog &dialog);

// The row of buttons at a dialog's foot, pushed to the right edge, in the order given.
QHBoxLayout *FootButtonRow(std::initializer_list<QWidget *> buttons);

// The help button and the F1 key both open the dialog's help topic `context`.
void ConnectHelp(QDialog &dialog, QPushButton *helpButton, int context);

}  // namespace lmk
