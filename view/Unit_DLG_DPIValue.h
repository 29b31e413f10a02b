// SPDX-License-Identifier: GPL-3.0-or-later
// TDLG_DPIValue: chooses the resolution written into saved picture files. It opens at the stored
// DPI index and stores the new one when the user confirms.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace lmk {

class TDLG_DPIValue : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEntryCount = 8;      // the DPI table, 100 ... 1200
    static constexpr int kStandardIndex = 4;   // 300 DPI
    static constexpr int kMaxVisibleEntries = 12;

    explicit TDLG_DPIValue(QWidget *owner = nullptr);

    // The entry a stored index selects; an index outside the table selects the standard entry,
    // so OK can never store "no selection".
    static int ListIndexFor(int dpiIndex);

    QLabel *Label_Caption;
    QLabel *Label_DPI;
    QComboBox *ComboBox_DPI;
    QPushButton *Button_OK;
    QPushButton *Button_Cancel;

private:
    void Button_OKClick();
};

}  // namespace lmk
