// SPDX-License-Identifier: GPL-3.0-or-later
// TDLG_Editor: brightness, contrast, saturation and colour balance with six sliders, a small
// before-preview and a live after-preview. The positions are stored as the EDIT settings on
// every close and reused at the next opening when "Einstellungen beibehalten" is set.
#pragma once

#include "imaging/Bitmap.h"
#include "imaging/Canvas.h"

#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace lmk {

class TLMKDsgGroupBox;
class TPicturePreview;

// The six slider positions, in the order of the EDIT settings Value1 ... Value6.
struct TAdjustValues {
    int Brightness = 0;    // -100 ... 100
    int Contrast = 0;      // -100 ... 100
    int Saturation = 100;  // 0 ... 200, 100 leaves the colours as they are
    int RedGamma = 7500;   // 0 ... 15000 each, 7500 neutral
    int GreenGamma = 7500;
    int BlueGamma = 7500;
};

// The record `base` (the one a picture's surface reports) with the fields the positions set:
// brightness and contrast as they stand, each gamma position + 2500 (so 7500 gives the neutral
// 10000), size 24, illuminant and red-green tint 0.
TColorAdjustment AdjustmentFor(const TAdjustValues &values, TColorAdjustment base = {});
// What the dialog does to a picture, the same for the preview and the full-size result: the
// picture copied onto itself in halftone mode with the record of the positions, then saturated
// unless the saturation stands at 100. The result is 24 bits.
void AdjustPicture(Bitmap &picture, const TAdjustValues &values);

class TDLG_Editor : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewWidth = 240;
    static constexpr int kPreviewHeight = 270;
    static constexpr int kRepaintInterval = 100;  // ms: the after-preview reaches the screen at most this often

    TDLG_Editor(QWidget *owner, const Bitmap &picture);
    // Stores the check box and the six positions as the EDIT settings, after OK and after cancel.
    ~TDLG_Editor() override;

    // The whole picture adjusted with the current positions (24 bits). The dialog's own copy
    // stays as it was, so asking twice gives the same picture.
    Bitmap GetAdjustBitmap();

    TAdjustValues Values() const;

    enum TSlider { Brightness, Contrast, Saturation, RedGamma, GreenGamma, BlueGamma, SliderCount };
    // The number beside a slider at a position: brightness and contrast as they stand,
    // saturation p * 100 div 200, the gammas p * 100 div 15000 - 50.
    static QString PositionText(TSlider slider, int position);

    TLMKDsgGroupBox *GroupBox_Source;
    TPicturePreview *Image_Source;
    TLMKDsgGroupBox *GroupBox_Dest;
    TPicturePreview *Image_Dest;
    TLMKDsgGroupBox *GroupBox_Brightness;
    QSlider *TrackBar_Brightness;
    QLabel *Label_Position_Brightness;
    TLMKDsgGroupBox *GroupBox_Contrast;
    QSlider *TrackBar_Contrast;
    QLabel *Label_Position_Contrast;
    TLMKDsgGroupBox *GroupBox_Saturation;
    QSlider *TrackBar_Saturation;
    QLabel *Label_Position_Saturation;
    TLMKDsgGroupBox *GroupBox_ColorBalance;
    QLabel *Label_Red;
    QSlider *TrackBar_RedGamma;
    QLabel *Label_Position_RedGamma;
    QLabel *Label_Green;
    QSlider *TrackBar_GreenGamma;
    QLabel *Label_Position_GreenGamma;
    QLabel *Label_Blue;
    QSlider *TrackBar_BlueGamma;
    QLabel *Label_Position_BlueGamma;
    QCheckBox *CheckBox_Keep;
    QPushButton *Button_Back;
    QPushButton *Button_OK;
    QPushButton *Button_Cancel;
    QPushButton *Button_Help;
    QTimer *Timer1;

private:
    std::array<QSlider *, SliderCount> Sliders() const;
    std::array<QLabel *, SliderCount> PositionLabels() const;
    // Ranges and positions of all sliders: the stored EDIT positions when `keep`, else the
    // defaults. Labels follow; nothing is rendered.
    void SetSliderRanges(bool keep);
    // The one change handler of all six sliders.
    void OnAdjustChange();
    void Timer1Timer();
    void Button_BackClick();

    Bitmap FOriginalBitmap;                        // full size, 24 bits, never changed
    std::shared_ptr<const Bitmap> FSourcePreview;  // the before-preview
    std::shared_ptr<const Bitmap> FDestPreview;    // the after-preview as last rendered
    bool FChangeLocked = false;  // slider changes refresh the labels only
    bool FChangeMode = false;    // FDestPreview is newer than what Image_Dest shows
};

}  // namespace lmk
