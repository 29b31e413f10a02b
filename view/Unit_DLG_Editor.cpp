// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Unit_DLG_Editor.h"

#include "app/BusyCursor.h"
#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "app/Unit_Var.h"
#include "controls/TLMKDsgGroupBox.h"
#include "imaging/Unit_Graph.h"
#include "view/DialogWindow.h"
#include "view/TPicturePreview.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <tuple>

namespace lmk {

namespace {

constexpr int kGammaOffset = 2500;  // gamma position 7500 is the neutral record value 10000
constexpr int kNeutralSaturation = 100;

struct TSliderRange {
    int Minimum, Maximum, Default;
    int SingleStep, PageStep;  // keyboard steps: one and ten units of the number shown
};

// In the order of TDLG_Editor::TSlider and of the EDIT settings.
constexpr std::array<TSliderRange, TDLG_Editor::SliderCount> kRanges{{
    {-100, 100, 0, 1, 10},
    {-100, 100, 0, 1, 10},
    {0, 200, kNeutralSaturation, 2, 20},
    {0, 15000, 7500, 150, 1500},
    {0, 15000, 7500, 150, 1500},
    {0, 15000, 7500, 150, 1500},
}};

std::uint16_t GammaFor(int position) { return std::uint16_t(position + kGammaOffset); }

// A slider with its position label in one row of a group box.
QHBoxLayout *SliderRow(QSlider *slider, QLabel *position)
{
    auto *row = new QHBoxLayout;
    row->addWidget(slider, 1);
    row->addSpacing(6);
    row->addWidget(position);
    return row;
}

void SetGroupMargins(QLayout *layout) { layout->setContentsMargins(10, 6, 10, 6); }

// The height of the box the preview is scaled into. ScaledCopy bounds an upright picture by the
// height alone, so a nearly square one would come out wider than the 240 pixels of the preview;
// such a picture gets a lower box that makes the width the bound.
int PreviewBoxHeight(const Bitmap &picture)
{
    const int w = picture.Width();
    const int h = picture.Height();
    if (w >= h)
        return TDLG_Editor::kPreviewHeight;
    return int(std::min<std::int64_t>(TDLG_Editor::kPreviewHeight, std::int64_t(TDLG_Editor::kPreviewWidth) * h / w));
}

}  // namespace

TColorAdjustment AdjustmentFor(const TAdjustValues &values, TColorAdjustment adjustment)
{
    adjustment.Size = sizeof(TColorAdjustment);
    adjustment.IlluminantIndex = 0;
    adjustment.RedGreenTint = 0;
    adjustment.Brightness = std::int16_t(values.Brightness);
    adjustment.Contrast = std::int16_t(values.Contrast);
    adjustment.RedGamma = GammaFor(values.RedGamma);
    adjustment.GreenGamma = GammaFor(values.GreenGamma);
    adjustment.BlueGamma = GammaFor(values.BlueGamma);
    return adjustment;
}

void AdjustPicture(Bitmap &picture, const TAdjustValues &values)
{
    picture.SetFormat(PixelFormat::pf24bit);
    {
        Canvas canvas(picture);
        canvas.SetColorAdjustment(AdjustmentFor(values, canvas.ColorAdjustment()));
        canvas.Stretch = StretchMode::Halftone;
        const QRect whole(0, 0, picture.Width(), picture.Height());
        canvas.CopyRect(whole, canvas, whole);
    }
    if (values.Saturation != kNeutralSaturation)
        Saturate(picture, values.Saturation);
}

QString TDLG_Editor::PositionText(TSlider slider, int position)
{
    switch (slider) {
    case Saturation: return QString::number(position * 100 / 200);
    case RedGamma:
    case GreenGamma:
    case BlueGamma: return QString::number(position * 100 / 15000 - 50);
    default: return QString::number(position * 100 / 100);
    }
}

TDLG_Editor::TDLG_Editor(QWidget *owner, const Bitmap &picture)
    : QDialog(owner),
      GroupBox_Source(Named(new TLMKDsgGroupBox(QStringLiteral(" Vorher "), this), "GroupBox_Source")),
      Image_Source(Named(new TPicturePreview(this), "Image_Source")),
      GroupBox_Dest(Named(new TLMKDsgGroupBox(QStringLiteral(" Nachher "), this), "GroupBox_Dest")),
      Image_Dest(Named(new TPicturePreview(this), "Image_Dest")),
      GroupBox_Brightness(Named(new TLMKDsgGroupBox(QStringLiteral(" Helligkeit "), this), "GroupBox_Brightness")),
      TrackBar_Brightness(Named(new QSlider(Qt::Horizontal, this), "TrackBar_Brightness")),
      Label_Position_Brightness(Named(new QLabel(this), "Label_Position_Brightness")),
      GroupBox_Contrast(Named(new TLMKDsgGroupBox(QStringLiteral(" Kontrast "), this), "GroupBox_Contrast")),
      TrackBar_Contrast(Named(new QSlider(Qt::Horizontal, this), "TrackBar_Contrast")),
      Label_Position_Contrast(Named(new QLabel(this), "Label_Position_Contrast")),
      GroupBox_Saturation(Named(new TLMKDsgGroupBox(QStringLiteral(" Sättigung "), this), "GroupBox_Saturation")),
      TrackBar_Saturation(Named(new QSlider(Qt::Horizontal, this), "TrackBar_Saturation")),
      Label_Position_Saturation(Named(new QLabel(this), "Label_Position_Saturation")),
      GroupBox_ColorBalance(
          Named(new TLMKDsgGroupBox(QStringLiteral(" Farbbalance "), this), "GroupBox_ColorBalance")),
      Label_Red(Named(new QLabel(QStringLiteral("&Rot"), this), "Label_Red")),
      TrackBar_RedGamma(Named(new QSlider(Qt::Horizontal, this), "TrackBar_RedGamma")),
      Label_Position_RedGamma(Named(new QLabel(this), "Label_Position_RedGamma")),
      Label_Green(Named(new QLabel(QStringLiteral("&Grün"), this), "Label_Green")),
      TrackBar_GreenGamma(Named(new QSlider(Qt::Horizontal, this), "TrackBar_GreenGamma")),
      Label_Position_GreenGamma(Named(new QLabel(this), "Label_Position_GreenGamma")),
      Label_Blue(Named(new QLabel(QStringLiteral("&Blau"), this), "Label_Blue")),
      TrackBar_BlueGamma(Named(new QSlider(Qt::Horizontal, this), "TrackBar_BlueGamma")),
      Label_Position_BlueGamma(Named(new QLabel(this), "Label_Position_BlueGamma")),
      CheckBox_Keep(Named(new QCheckBox(QStringLiteral("&Einstellungen beibehalten"), this), "CheckBox_Keep")),
      Button_Back(Named(new QPushButton(QStringLiteral("&Zurücksetzen"), this), "Button_Back")),
      Button_OK(Named(new QPushButton(QStringLiteral("&Übernehmen"), this), "Button_OK")),
      Button_Cancel(Named(new QPushButton(QStringLiteral("Abbrechen"), this), "Button_Cancel")),
      Button_Help(Named(new QPushButton(QStringLiteral("&Hilfe"), this), "Button_Help")),
      Timer1(Named(new QTimer(this), "Timer1")),
      FOriginalBitmap(picture)
{
    setWindowTitle(QStringLiteral("Farben, Helligkeit und Kontrast anpassen"));
    setFont(DialogFont());

    FOriginalBitmap.SetFormat(PixelFormat::pf24bit);
    Bitmap preview;
    ScaledCopy(FOriginalBitmap, preview, kPreviewWidth, PreviewBoxHeight(FOriginalBitmap));
    preview.SetFormat(PixelFormat::pf24bit);
    FSourcePreview = std::make_shared<const Bitmap>(std::move(preview));
    FDestPreview = FSourcePreview;
    FChangeMode = true;
    Image_Source->SetPicture(FSourcePreview);

    for (TLMKDsgGroupBox *box : {GroupBox_Source, GroupBox_Dest, GroupBox_Brightness, GroupBox_Contrast,
                                 GroupBox_Saturation, GroupBox_ColorBalance})
        SetDialogLook(*box);
    for (TPicturePreview *image : {Image_Source, Image_Dest}) {
        image->setFixedSize(kPreviewWidth, kPreviewHeight);
        auto *frame = new QVBoxLayout(image == Image_Source ? GroupBox_Source : GroupBox_Dest);
        SetGroupMargins(frame);
        frame->addWidget(image);
    }

    // Room for the widest number, so the sliders keep their length while the numbers change.
    const int numberWidth = QFontMetrics(GroupBox_Brightness->font()).horizontalAdvance(QStringLiteral("-100"));
    const std::array<QSlider *, SliderCount> sliders = Sliders();
    const std::array<QLabel *, SliderCount> labels = PositionLabels();
    for (int i = 0; i < SliderCount; ++i) {
        sliders[std::size_t(i)]->setSingleStep(kRanges[std::size_t(i)].SingleStep);
        sliders[std::size_t(i)]->setPageStep(kRanges[std::size_t(i)].PageStep);
        labels[std::size_t(i)]->setMinimumWidth(numberWidth);
        labels[std::size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (auto [box, slider, label] : {std::tuple{GroupBox_Brightness, TrackBar_Brightness, Label_Position_Brightness},
                                      std::tuple{GroupBox_Contrast, TrackBar_Contrast, Label_Position_Contrast},
                                      std::tuple{GroupBox_Saturation, TrackBar_Saturation, Label_Position_Saturation}}) {
        auto *frame = new QVBoxLayout(box);
        SetGroupMargins(frame);
        frame->addLayout(SliderRow(slider, label));
    }
    auto *balance = new QGridLayout(GroupBox_ColorBalance);
    SetGroupMargins(balance);
    int row = 0;
    for (auto [name, slider, label] : {std::tuple{Label_Red, TrackBar_RedGamma, Label_Position_RedGamma},
                                       std::tuple{Label_Green, TrackBar_GreenGamma, Label_Position_GreenGamma},
                                       std::tuple{Label_Blue, TrackBar_BlueGamma, Label_Position_BlueGamma}}) {
        name->setBuddy(slider);
        balance->addWidget(name, row, 0);
        balance->addLayout(SliderRow(slider, label), row, 1);
        ++row;
    }
    balance->setColumnStretch(1, 1);

    // Previews side by side above the sliders: the dialog fits a screen of 800 x 600.
    auto *previews = new QHBoxLayout;
    previews->setSpacing(10);
    previews->addWidget(GroupBox_Source);
    previews->addWidget(GroupBox_Dest);

    auto *toneColumn = new QVBoxLayout;
    toneColumn->setSpacing(6);
    toneColumn->addWidget(GroupBox_Brightness);
    toneColumn->addWidget(GroupBox_Contrast);
    toneColumn->addWidget(GroupBox_Saturation);
    auto *balanceColumn = new QVBoxLayout;
    balanceColumn->addWidget(GroupBox_ColorBalance);
    balanceColumn->addStretch(1);
    auto *sliderRows = new QHBoxLayout;
    sliderRows->setSpacing(10);
    sliderRows->addLayout(toneColumn, 1);
    sliderRows->addLayout(balanceColumn, 1);

    Button_OK->setDefault(true);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(CheckBox_Keep);
    buttonRow->addSpacing(12);
    buttonRow->addWidget(Button_Back);
    buttonRow->addStretch(1);
    buttonRow->addSpacing(12);
    buttonRow->addWidget(Button_OK);
    buttonRow->addWidget(Button_Cancel);
    buttonRow->addWidget(Button_Help);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);
    column->addLayout(previews);
    column->addLayout(sliderRows);
    column->addLayout(buttonRow);

    for (QSlider *slider : sliders)
        connect(slider, &QSlider::valueChanged, this, &TDLG_Editor::OnAdjustChange);
    connect(Button_Back, &QPushButton::clicked, this, &TDLG_Editor::Button_BackClick);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(*this, Button_Help, help::Editor);
    Timer1->setInterval(kRepaintInterval);
    connect(Timer1, &QTimer::timeout, this, &TDLG_Editor::Timer1Timer);

    QWidget *previous = nullptr;
    for (QWidget *next : std::initializer_list<QWidget *>{TrackBar_Brightness, TrackBar_Contrast, TrackBar_Saturation,
                                                          TrackBar_RedGamma, TrackBar_GreenGamma, TrackBar_BlueGamma,
                                                          CheckBox_Keep, Button_Back, Button_OK, Button_Cancel,
                                                          Button_Help}) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
    TrackBar_Brightness->setFocus();

    CheckBox_Keep->setChecked(EditKeep);
    SetSliderRanges(EditKeep);
    if (EditKeep)
        OnAdjustChange();
    Timer1Timer();  // the dialog opens showing the right after-preview
    Timer1->start();
    SetUpFixedDialog(*this);
}

TDLG_Editor::~TDLG_Editor()
{
    EditKeep = CheckBox_Keep->isChecked();
    const std::array<QSlider *, SliderCount> sliders = Sliders();
    for (int i = 0; i < SliderCount; ++i)
        EditValue[EditValue.Low + i] = sliders[std::size_t(i)]->value();
}

std::array<QSlider *, TDLG_Editor::SliderCount> TDLG_Editor::Sliders() const
{
    return {TrackBar_Brightness, TrackBar_Contrast, TrackBar_Saturation,
            TrackBar_RedGamma,   TrackBar_GreenGamma, TrackBar_BlueGamma};
}

std::array<QLabel *, TDLG_Editor::SliderCount> TDLG_Editor::PositionLabels() const
{
    return {Label_Position_Brightness, Label_Position_Contrast,   Label_Position_Saturation,
            Label_Position_RedGamma,   Label_Position_GreenGamma, Label_Position_BlueGamma};
}

TAdjustValues TDLG_Editor::Values() const
{
    return {TrackBar_Brightness->value(), TrackBar_Contrast->value(),   TrackBar_Saturation->value(),
            TrackBar_RedGamma->value(),   TrackBar_GreenGamma->value(), TrackBar_BlueGamma->value()};
}

void TDLG_Editor::SetSliderRanges(bool keep)
{
    const QScopedValueRollback locked(FChangeLocked, true);
    const std::array<QSlider *, SliderCount> sliders = Sliders();
    for (int i = 0; i < SliderCount; ++i) {
        const TSliderRange &range = kRanges[std::size_t(i)];
        QSlider *slider = sliders[std::size_t(i)];
        slider->setMinimum(range.Minimum);
        slider->setMaximum(range.Maximum);
        // A stored position outside the range stops at the nearest end (the slider limits it).
        slider->setValue(keep ? EditValue[EditValue.Low + i] : range.Default);
    }
    // setValue does not signal when the position stays; the labels must show it all the same.
    OnAdjustChange();
}

void TDLG_Editor::OnAdjustChange()
{
    const std::array<QSlider *, SliderCount> sliders = Sliders();
    const std::array<QLabel *, SliderCount> labels = PositionLabels();
    for (int i = 0; i < SliderCount; ++i)
        labels[std::size_t(i)]->setText(PositionText(TSlider(i), sliders[std::size_t(i)]->value()));
    if (FChangeLocked)
        return;
    // Always from the unadjusted preview, so adjustments never pile up.
    auto after = std::make_shared<Bitmap>(*FSourcePreview);
    AdjustPicture(*after, Values());
    FDestPreview = std::move(after);
    FChangeMode = true;
}

void TDLG_Editor::Timer1Timer()
{
    if (!FChangeMode)
        return;
    Image_Dest->SetPicture(FDestPreview);
    FChangeMode = false;
}

void TDLG_Editor::Button_BackClick()
{
    SetSliderRanges(false);
    FDestPreview = FSourcePreview;
    FChangeMode = true;
}

Bitmap TDLG_Editor::GetAdjustBitmap()
{
    TBusyCursor busy;
    Bitmap result = FOriginalBitmap;
    AdjustPicture(result, Values());
    return result;
}

}  // namespace lmk
