// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Unit_DLG_Sharpen.h"

#include "app/BusyCursor.h"
#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "controls/TLMKDsgGroupBox.h"
#include "imaging/Unit_Graph.h"
#include "view/DialogWindow.h"
#include "view/TPicturePreview.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

namespace lmk {

TDLG_Sharpen::TDLG_Sharpen(QWidget *owner, const Bitmap &picture)
    : QDialog(owner),
      ScrollBox_Sharpen(Named(new QScrollArea(this), "ScrollBox_Sharpen")),
      Image_Sharpen(Named(new TPicturePreview, "Image_Sharpen")),
      GroupBox_Sharpen(Named(new TLMKDsgGroupBox(QStringLiteral(" Schärfe "), this), "GroupBox_Sharpen")),
      TrackBar_Sharpen(Named(new QSlider(Qt::Horizontal, this), "TrackBar_Sharpen")),
      Label_Position_Sharpen(Named(new QLabel(this), "Label_Position_Sharpen")),
      Button_OK(Named(new QPushButton(QStringLiteral("&Übernehmen"), this), "Button_OK")),
      Button_Cancel(Named(new QPushButton(QStringLiteral("Abbrechen"), this), "Button_Cancel")),
      Button_Help(Named(new QPushButton(QStringLiteral("&Hilfe"), this), "Button_Help")),
      Timer1(Named(new QTimer(this), "Timer1")),
      FOriginalBitmap(picture)
{
    setWindowTitle(QStringLiteral("Bild schärfen"));
    setFont(DialogFont());
    FOriginalBitmap.SetFormat(PixelFormat::pf24bit);

    ScrollBox_Sharpen->setFixedSize(kPreviewSize, kPreviewSize);
    ScrollBox_Sharpen->setWidgetResizable(false);
    ScrollBox_Sharpen->setWidget(Image_Sharpen);
    for (QScrollBar *bar : {ScrollBox_Sharpen->horizontalScrollBar(), ScrollBox_Sharpen->verticalScrollBar()})
        bar->setTracking(true);
    Image_Sharpen->setFixedSize(FOriginalBitmap.Width(), FOriginalBitmap.Height());

    SetDialogLook(*GroupBox_Sharpen);
    TrackBar_Sharpen->setRange(kMinStrength, kMaxStrength);
    TrackBar_Sharpen->setPageStep(1);
    TrackBar_Sharpen->setTickInterval(1);
    TrackBar_Sharpen->setTickPosition(QSlider::TicksBelow);
    Label_Position_Sharpen->setMinimumWidth(QFontMetrics(GroupBox_Sharpen->font()).horizontalAdvance(QStringLiteral("00")));
    Label_Position_Sharpen->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *sliderRow = new QHBoxLayout(GroupBox_Sharpen);
    sliderRow->setContentsMargins(10, 8, 10, 8);
    sliderRow->addWidget(TrackBar_Sharpen, 1);
    sliderRow->addSpacing(8);
    sliderRow->addWidget(Label_Position_Sharpen);

    Button_OK->setDefault(true);
    QHBoxLayout *buttonRow = FootButtonRow({Button_OK, Button_Cancel, Button_Help});

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);
    column->addWidget(ScrollBox_Sharpen);
    column->addWidget(GroupBox_Sharpen);
    column->addLayout(buttonRow);

    connect(TrackBar_Sharpen, &QSlider::valueChanged, this, &TDLG_Sharpen::TrackBar_SharpenChange);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(*this, Button_Help, help::Sharpen);
    Timer1->setInterval(kEnableInterval);
    connect(Timer1, &QTimer::timeout, this, &TDLG_Sharpen::Timer1Timer);

    setTabOrder(TrackBar_Sharpen, Button_OK);
    setTabOrder(Button_OK, Button_Cancel);
    setTabOrder(Button_Cancel, Button_Help);
    TrackBar_Sharpen->setFocus();

    // setValue would not signal if the default were the slider's first position.
    TrackBar_Sharpen->blockSignals(true);
    TrackBar_Sharpen->setValue(kDefaultStrength);
    TrackBar_Sharpen->blockSignals(false);
    TrackBar_SharpenChange(TrackBar_Sharpen->value());
    Timer1Timer();
    Timer1->start();
    SetUpFixedDialog(*this);
}

void TDLG_Sharpen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The scroll ranges are known once the scroll box has its size, which happens on showing.
    if (FScrolledToMiddle)
        return;
    FScrolledToMiddle = true;
    for (QScrollBar *bar : {ScrollBox_Sharpen->horizontalScrollBar(), ScrollBox_Sharpen->verticalScrollBar()})
        bar->setValue(bar->maximum() / 2);
}

void TDLG_Sharpen::TrackBar_SharpenChange(int position)
{
    Label_Position_Sharpen->setText(QString::number(position));
    TBusyCursor busy;
    // Every strength starts again from the unsharpened picture.
    auto sharpened = std::make_shared<Bitmap>(FOriginalBitmap);
    if (position > 0)
        Sharpen(*sharpened, float(position));
    FSharpenBitmap = std::move(sharpened);
    Image_Sharpen->SetPicture(FSharpenBitmap);
}

void TDLG_Sharpen::Timer1Timer()
{
    const bool wanted = TrackBar_Sharpen->value() > 0;
    if (Button_OK->isEnabled() != wanted)
        Button_OK->setEnabled(wanted);
}

}  // namespace lmk
