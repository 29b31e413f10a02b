// SPDX-License-Identifier: GPL-3.0-or-later
// TDLG_Sharpen: shows the picture sharpened at full size in a scrolling preview while the user
// picks a strength; the preview is the dialog's result.
#pragma once

#include "imaging/Bitmap.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QTimer;

namespace lmk {

class TLMKDsgGroupBox;
class TPicturePreview;

class TDLG_Sharpen : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinStrength = 0;  // 0 shows the picture unsharpened
    static constexpr int kMaxStrength = 4;
    static constexpr int kDefaultStrength = 2;
    static constexpr int kPreviewSize = 305;    // the scroll box, square
    static constexpr int kEnableInterval = 300;  // ms between the checks of "Übernehmen"

    // The dialog works on its own copy of `picture`; the caller's picture is never changed.
    TDLG_Sharpen(QWidget *owner, const Bitmap &picture);

    // The picture as the preview shows it: sharpened with the slider's strength.
    const Bitmap &GetSharpenBitmap() const { return *FSharpenBitmap; }

    QScrollArea *ScrollBox_Sharpen;
    TPicturePreview *Image_Sharpen;
    TLMKDsgGroupBox *GroupBox_Sharpen;
    QSlider *TrackBar_Sharpen;
    QLabel *Label_Position_Sharpen;
    QPushButton *Button_OK;
    QPushButton *Button_Cancel;
    QPushButton *Button_Help;
    QTimer *Timer1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void TrackBar_SharpenChange(int position);
    void Timer1Timer();

    Bitmap FOriginalBitmap;  // 24 bits, never changed after opening
    // Shared read-only with Image_Sharpen, which paints it without a copy; each slider change
    // makes a new one.
    std::shared_ptr<const Bitmap> FSharpenBitmap;
    bool FScrolledToMiddle = false;
};

}  // namespace lmk
