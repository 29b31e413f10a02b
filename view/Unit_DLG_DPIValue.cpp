// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Unit_DLG_DPIValue.h"

#include "app/Unit_Var.h"
#include "controls/TLMKDsgGroupBox.h"
#include "view/DialogWindow.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace lmk {

int TDLG_DPIValue::ListIndexFor(int dpiIndex)
{
    return dpiIndex >= 0 && dpiIndex < kEntryCount ? dpiIndex : kStandardIndex;
}

TDLG_DPIValue::TDLG_DPIValue(QWidget *owner)
    : QDialog(owner),
      Label_Caption(Named(new QLabel(QStringLiteral("Bitte wählen Sie hier einen DPI-Wert (Standard: 300)"), this),
                          "Label_Caption")),
      Label_DPI(Named(new QLabel(QStringLiteral("&DPI:"), this), "Label_DPI")),
      ComboBox_DPI(Named(new QComboBox(this), "ComboBox_DPI")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK"), this), "Button_OK")),
      Button_Cancel(Named(new QPushButton(QStringLiteral("Abbrechen"), this), "Button_Cancel"))
{
    setWindowTitle(QStringLiteral("DPI"));
    setFont(DialogFont());

    for (int index = 0; index < kEntryCount; ++index)
        ComboBox_DPI->addItem(QString::number(DpiFromIndex(index)));
    ComboBox_DPI->setEditable(false);
    ComboBox_DPI->setMaxVisibleItems(kMaxVisibleEntries);
    ComboBox_DPI->setCurrentIndex(ListIndexFor(DpiIndex));
    Label_DPI->setBuddy(ComboBox_DPI);

    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(Label_DPI);
    choiceRow->addWidget(ComboBox_DPI, 1);

    Button_OK->setDefault(true);
    QHBoxLayout *buttonRow = FootButtonRow({Button_OK, Button_Cancel});

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);
    column->addWidget(Label_Caption);
    column->addLayout(choiceRow);
    column->addLayout(buttonRow);

    connect(Button_OK, &QPushButton::clicked, this, &TDLG_DPIValue::Button_OKClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(ComboBox_DPI, Button_OK);
    setTabOrder(Button_OK, Button_Cancel);
    ComboBox_DPI->setFocus();
    SetUpFixedDialog(*this);
}

void TDLG_DPIValue::Button_OKClick()
{
    DpiIndex = ComboBox_DPI->currentIndex();
    accept();
}

}  // namespace lmk
