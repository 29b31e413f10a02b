// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Unit_DLG_JPGQuality.h"

#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "app/Unit_Var.h"
#include "controls/TLMKDsgGroupBox.h"
#include "view/DialogWindow.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

namespace lmk {

namespace {
constexpr int kTickInterval = 10;
constexpr int kCaptionWidth = 440;  // the explanation wraps onto two lines at this width
}  // namespace

int TDLG_JPGQuality::SliderPositionFor(int quality) { return std::clamp(quality, kMinQuality, kMaxQuality); }

QString TDLG_JPGQuality::PositionText(int position) { return QString::number(position) + QStringLiteral(" %"); }

TDLG_JPGQuality::TDLG_JPGQuality(QWidget *owner)
    : QDialog(owner),
      Label_Caption(Named(new QLabel(QStringLiteral("Bitte stellen Sie hier die Qualität des Bildes ein. Die "
                                                    "Dateigröße kann durch eine geringere Qualität reduziert "
                                                    "werden."),
                                     this),
                          "Label_Caption")),
      GroupBox_Quality(Named(new TLMKDsgGroupBox(QStringLiteral(" Qualität "), this), "GroupBox_Quality")),
      Label_Min(Named(new QLabel(QStringLiteral("Niedrig"), this), "Label_Min")),
      TrackBar_Quality(Named(new QSlider(Qt::Horizontal, this), "TrackBar_Quality")),
      Label_Max(Named(new QLabel(QStringLiteral("Hoch"), this), "Label_Max")),
      Label_Position(Named(new QLabel(this), "Label_Position")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK"), this), "Button_OK")),
      Button_Cancel(Named(new QPushButton(QStringLiteral("Abbrechen"), this), "Button_Cancel")),
      Button_Help(Named(new QPushButton(QStringLiteral("&Hilfe"), this), "Button_Help"))
{
    setWindowTitle(QStringLiteral("JPG-Komprimierung"));
    setFont(DialogFont());

    QFont captionFont = DialogFont();
    captionFont.setPixelSize(15);
    Label_Caption->setFont(captionFont);
    Label_Caption->setWordWrap(true);
    Label_Caption->setFixedWidth(kCaptionWidth);

    SetDialogLook(*GroupBox_Quality);
    TrackBar_Quality->setRange(kMinQuality, kMaxQuality);
    TrackBar_Quality->setTickInterval(kTickInterval);
    TrackBar_Quality->setTickPosition(QSlider::TicksBelow);
    TrackBar_Quality->setPageStep(kTickInterval);
    // Room for the widest text, so the slider does not jump while it moves.
    Label_Position->setMinimumWidth(QFontMetrics(GroupBox_Quality->font()).horizontalAdvance(PositionText(kMaxQuality)));
    Label_Position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *sliderRow = new QHBoxLayout(GroupBox_Quality);
    sliderRow->setContentsMargins(10, 8, 10, 8);
    sliderRow->addWidget(Label_Min);
    sliderRow->addWidget(TrackBar_Quality, 1);
    sliderRow->addWidget(Label_Max);
    sliderRow->addSpacing(8);
    sliderRow->addWidget(Label_Position);

    Button_OK->setDefault(true);
    QHBoxLayout *buttonRow = FootButtonRow({Button_OK, Button_Cancel, Button_Help});

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);
    column->addWidget(Label_Caption);
    column->addWidget(GroupBox_Quality);
    column->addLayout(buttonRow);

    connect(TrackBar_Quality, &QSlider::valueChanged, this, &TDLG_JPGQuality::TrackBar_QualityChange);
    connect(Button_OK, &QPushButton::clicked, this, &TDLG_JPGQuality::Button_OKClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(*this, Button_Help, help::JpegQuality);

    setTabOrder(TrackBar_Quality, Button_OK);
    setTabOrder(Button_OK, Button_Cancel);
    setTabOrder(Button_Cancel, Button_Help);
    TrackBar_Quality->setFocus();

    TrackBar_Quality->setValue(SliderPositionFor(JpegQuality));
    TrackBar_QualityChange(TrackBar_Quality->value());
    SetUpFixedDialog(*this);
}

int TDLG_JPGQuality::GetJPGQuality() const { return TrackBar_Quality->value(); }

void TDLG_JPGQuality::TrackBar_QualityChange(int position) { Label_Position->setText(PositionText(position)); }

void TDLG_JPGQuality::Button_OKClick()
{
    JpegQuality = GetJPGQuality();
    accept();
}

}  // namespace lmk
