// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Unit_DLG_Resolution.h"

#include "app/BusyCursor.h"
#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "controls/TLMKDsgGroupBox.h"
#include "imaging/Bitmap.h"
#include "view/DialogWindow.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <cmath>

namespace lmk {

namespace {

const QString kHighQuality = QStringLiteral("HighQuality");
const QString kHighQualityBicubic = QStringLiteral("HighQualityBicubic");
const QString kHighQualityBilinear = QStringLiteral("HighQualityBilinear");

// Digits beyond this stop adding up: far above every size a picture can have, and far enough
// below the 64-bit limit that neither the next digit nor a product with a picture side overflows.
constexpr std::int64_t kParseCeiling = std::int64_t(1) << 40;

// Long enough for every size a picture can have, so a typed size is never cut off from view.
constexpr int kEditWidth = 110;

// True when a picture could have a side this long at all.
bool PossibleSide(std::int64_t side) { return Bitmap::FitsInMemory(side, 1); }

}  // namespace

std::optional<std::int64_t> TDLG_Resolution::ParseSize(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    std::int64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), kParseCeiling);
    }
    return value;
}

std::optional<std::int64_t> TDLG_Resolution::CoupledSize(std::int64_t typed, int ownSide, int otherSide)
{
    if (!PossibleSide(typed))
        return std::nullopt;
    // Round (halves to even) without the narrowing to int, which a long side would overflow.
    const auto result = std::int64_t(std::nearbyint(FDiv(double(typed * otherSide), double(ownSide))));
    if (!PossibleSide(result))
        return std::nullopt;
    return result;
}

TDLG_Resolution::TSizeCheck TDLG_Resolution::CheckSize(const QString &widthText, const QString &heightText)
{
    const std::optional<std::int64_t> width = ParseSize(widthText);
    if (!width)
        return TSizeCheck::NotANumber;
    const std::optional<std::int64_t> height = ParseSize(heightText);
    if (!height)
        return TSizeCheck::NotANumber;
    if (*width <= 0 || *height <= 0)
        return TSizeCheck::TooSmall;
    if (!Bitmap::FitsInMemory(*width, *height))
        return TSizeCheck::TooLarge;
    return TSizeCheck::Accepted;
}

QString TDLG_Resolution::CheckMessage(TSizeCheck check)
{
    switch (check) {
    case TSizeCheck::NotANumber: return QStringLiteral("Die angegebenen Werte sind fehlerhaft!");
    case TSizeCheck::TooSmall: return QStringLiteral("Die neuen Abmessungen sind zu klein!");
    case TSizeCheck::TooLarge: return QStringLiteral("Die neuen Abmessungen sind zu groß!");
    case TSizeCheck::Accepted: break;
    }
    return QString();
}

InterpolationMode TDLG_Resolution::ModeFor(const QString &entry)
{
    if (entry == kHighQualityBicubic)
        return InterpolationMode::HighQualityBicubic;
    if (entry == kHighQualityBilinear)
        return InterpolationMode::HighQualityBilinear;
    return InterpolationMode::HighQuality;
}

TDLG_Resolution::TDLG_Resolution(QWidget *owner, Bitmap &picture)
    : QDialog(owner),
      Label_Width(Named(new QLabel(QStringLiteral("&Breite:"), this), "Label_Width")),
      Edit_Width(Named(new QLineEdit(this), "Edit_Width")),
      Label_Height(Named(new QLabel(QStringLiteral("&Höhe:"), this), "Label_Height")),
      Edit_Height(Named(new QLineEdit(this), "Edit_Height")),
      CheckBox_Proportional(
          Named(new QCheckBox(QStringLiteral("&Proportionen beibehalten"), this), "CheckBox_Proportional")),
      Label_InterpolationMode(
          Named(new QLabel(QStringLiteral("&Interpolationsmodus:"), this), "Label_InterpolationMode")),
      ComboBox_InterpolationMode(Named(new QComboBox(this), "ComboBox_InterpolationMode")),
      Button_OK(Named(new QPushButton(QStringLiteral("&Übernehmen"), this), "Button_OK")),
      Button_Cancel(Named(new QPushButton(QStringLiteral("Abbrechen"), this), "Button_Cancel")),
      Button_Help(Named(new QPushButton(QStringLiteral("?"), this), "Button_Help")),
      FBitmap(picture)
{
    setWindowTitle(QStringLiteral("Bildgröße ändern"));
    setFont(DialogFont());

    const auto *digitsOnly = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit *edit : {Edit_Width, Edit_Height}) {
        edit->setValidator(digitsOnly);
        edit->setFixedWidth(kEditWidth);
        edit->setAlignment(Qt::AlignRight);
    }
    Edit_Width->setText(QString::number(FBitmap.Width()));
    Edit_Height->setText(QString::number(FBitmap.Height()));
    Label_Width->setBuddy(Edit_Width);
    Label_Height->setBuddy(Edit_Height);
    CheckBox_Proportional->setChecked(true);
    ComboBox_InterpolationMode->addItems({kHighQuality, kHighQualityBicubic, kHighQualityBilinear});
    ComboBox_InterpolationMode->setEditable(false);
    ComboBox_InterpolationMode->setCurrentText(kHighQualityBicubic);
    Label_InterpolationMode->setBuddy(ComboBox_InterpolationMode);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->addWidget(Label_Width, 0, 0);
    grid->addWidget(Edit_Width, 0, 1, Qt::AlignLeft);
    grid->addWidget(Label_Height, 1, 0);
    grid->addWidget(Edit_Height, 1, 1, Qt::AlignLeft);
    grid->addWidget(CheckBox_Proportional, 2, 1);
    grid->addWidget(Label_InterpolationMode, 3, 0);
    grid->addWidget(ComboBox_InterpolationMode, 3, 1);
    grid->setColumnStretch(1, 1);

    Button_OK->setDefault(true);
    QHBoxLayout *buttonRow = FootButtonRow({Button_OK, Button_Cancel, Button_Help});

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(14);
    column->addLayout(grid);
    column->addLayout(buttonRow);

    const int width = FBitmap.Width();
    const int height = FBitmap.Height();
    connect(Edit_Width, &QLineEdit::textChanged, this, [=, this] { Couple(Edit_Width, Edit_Height, width, height); });
    connect(Edit_Height, &QLineEdit::textChanged, this, [=, this] { Couple(Edit_Height, Edit_Width, height, width); });
    connect(Button_OK, &QPushButton::clicked, this, &TDLG_Resolution::Button_OKClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelp(*this, Button_Help, help::Resolution);

    setTabOrder(Edit_Width, Edit_Height);
    setTabOrder(Edit_Height, CheckBox_Proportional);
    setTabOrder(CheckBox_Proportional, ComboBox_InterpolationMode);
    setTabOrder(ComboBox_InterpolationMode, Button_OK);
    setTabOrder(Button_OK, Button_Cancel);
    setTabOrder(Button_Cancel, Button_Help);
    Edit_Width->setFocus();
    Edit_Width->selectAll();
    SetUpFixedDialog(*this);
}

void TDLG_Resolution::Couple(QLineEdit *typed, QLineEdit *other, int ownSide, int otherSide)
{
    // Only the edit the user types into drives: the text set here changes an edit without
    // the focus, which therefore does not drive back.
    if (!CheckBox_Proportional->isChecked() || !typed->hasFocus())
        return;
    const std::optional<std::int64_t> value = ParseSize(typed->text());
    if (!value)
        return;
    if (const std::optional<std::int64_t> coupled = CoupledSize(*value, ownSide, otherSide))
        other->setText(QString::number(*coupled));
}

void TDLG_Resolution::Button_OKClick()
{
    const TSizeCheck check = CheckSize(Edit_Width->text(), Edit_Height->text());
    if (check != TSizeCheck::Accepted) {
        MsgBox(CheckMessage(check), MsgKind::Error, MsgButtons::OK);
        return;
    }
    {
        TBusyCursor busy;
        ResizeHighQuality(FBitmap, int(*ParseSize(Edit_Width->text())), int(*ParseSize(Edit_Height->text())), false,
                          ModeFor(ComboBox_InterpolationMode->currentText()));
    }
    accept();
}

}  // namespace lmk
