// SPDX-License-Identifier: GPL-3.0-or-later
// TDLG_JPGQuality: asks for the JPEG quality before a JPEG file is written. It opens at the
// stored quality and stores the new one when the user confirms.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

namespace lmk {

class TLMKDsgGroupBox;

class TDLG_JPGQuality : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinQuality = 10;
    static constexpr int kMaxQuality = 100;

    explicit TDLG_JPGQuality(QWidget *owner = nullptr);

    // The slider's position: the quality chosen.
    int GetJPGQuality() const;

    // The slider position a stored quality opens at; a quality below the slider's range (the
    // settings allow 1 ... 100) takes the lowest position.
    static int SliderPositionFor(int quality);
    // The text beside the slider, "55 %".
    static QString PositionText(int position);

    QLabel *Label_Caption;
    TLMKDsgGroupBox *GroupBox_Quality;
    QLabel *Label_Min;
    QSlider *TrackBar_Quality;
    QLabel *Label_Max;
    QLabel *Label_Position;
    QPushButton *Button_OK;
    QPushButton *Button_Cancel;
    QPushButton *Button_Help;

private:
    void TrackBar_QualityChange(int position);
    void Button_OKClick();
};

}  // namespace lmk
