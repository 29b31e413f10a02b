// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TVistaGradPanel.h"

#include "controls/RibbonColors.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

namespace lmk {

namespace {

constexpr int kClockInterval = 1000;  // ms between the checks of date and time
constexpr int kTextMargin = 4;        // caption and info text from the panel's sides
constexpr int kCaptionTop = 2;
constexpr int kPictureLeft = 3;

QColor Rgb(unsigned rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

bool FillsHeight(TAlign align) { return align == TAlign::alLeft || align == TAlign::alRight || align == TAlign::alClient; }
bool FillsWidth(TAlign align) { return align == TAlign::alTop || align == TAlign::alBottom || align == TAlign::alClient; }

}  // namespace

TGradColors GradStyleColors(TGradStyle style)
{
    switch (style) {
    case TGradStyle::gsBLUE: return {Rgb(0xDCEAFF), Rgb(0xB1D3FF), Rgb(0x4B5E7C)};
    case TGradStyle::gsYELLOW: return {Rgb(0xFFFBE0), Rgb(0xFFE991), Rgb(0x8C7A2E)};
    case TGradStyle::gsGREEN: return {Rgb(0xE4F7DC), Rgb(0xB6E3A1), Rgb(0x4E7A3A)};
    case TGradStyle::gsRED: return {Rgb(0xFFE2DE), Rgb(0xF7AFA6), Rgb(0x8A3B31)};
    case TGradStyle::gsGRAY: return {Rgb(0xF0F0F0), Rgb(0xD4D4D4), Rgb(0x7A7A7A)};
    case TGradStyle::gsSILVER: return {Rgb(0xF7F8FA), Rgb(0xDDE1E6), Rgb(0x8E96A0)};
    case TGradStyle::gsSAPHIR: return {Rgb(0xD8E6F5), Rgb(0x8FB1D9), Rgb(0x2F4F7A)};
    case TGradStyle::gsDARKBLUE: return {Rgb(0x4A6FA5), Rgb(0x23406E), Rgb(0x14264A)};
    case TGradStyle::gsORANGE: return {Rgb(0xFFE9CF), Rgb(0xFFC27A), Rgb(0x9A5B12)};
    case TGradStyle::gsDARKGREEN: return {Rgb(0x5C8A4A), Rgb(0x345C27), Rgb(0x1E3A16)};
    case TGradStyle::gsDARKGRAY: return {Rgb(0x6E6E6E), Rgb(0x444444), Rgb(0x2A2A2A)};
    case TGradStyle::gsDEFAULT: break;
    }
    return {Rgb(0xDCEAFF), Rgb(0xB1D3FF), Rgb(0x4B5E7C)};
}

QString GradPanelInfoText(const QDateTime &now, bool showDate, bool showKW, bool showTime)
{
    QString text;
    if (showDate)
        text += QLocale(QLocale::German).toString(now.date(), QStringLiteral("dddd, dd. MMMM yyyy"));
    if (showKW)
        text += QStringLiteral("  (%1. KW)").arg(now.date().weekNumber());
    if (showTime)
        text += QStringLiteral("  ") + now.time().toString(QStringLiteral("hh:mm")) + QStringLiteral(" Uhr");
    return text;
}

QSize GradPanelAutoSize(QSize current, int textWidth, int textHeight, QSize picture, TAlign align)
{
    const bool withPicture = !picture.isEmpty();
    const int height = (withPicture && picture.height() > textHeight ? picture.height() : textHeight) + 4;
    const int width = textWidth + (withPicture ? picture.width() + 16 : 10);
    return {FillsWidth(align) ? current.width() : width, FillsHeight(align) ? current.height() : height};
}

TVistaGradPanel::TVistaGradPanel(QWidget *parent)
    : QWidget(parent), FStartColor(Rgb(0xDCEAFF)), FEndColor(Rgb(0xB1D3FF)), FLineColor(Rgb(0x4B5E7C))
{
    // The gradient covers every pixel: no separate erasing of the background.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font(QStringLiteral("MS Sans Serif"), 9);
    font.setBold(true);
    setFont(font);
    setContentsMargins(FBorderWidth, FBorderWidth, FBorderWidth, FBorderWidth);
    resize(kDefaultSize);
    FClock.setInterval(kClockInterval);
    connect(&FClock, &QTimer::timeout, this, &TVistaGradPanel::ClockTick);
}

template <typename T>
void TVistaGradPanel::Change(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Refresh();
}

void TVistaGradPanel::SetFontColor(const QColor &color) { Change(FFontColor, color); }
void TVistaGradPanel::SetCaption(const QString &caption) { Change(FCaption, caption); }
void TVistaGradPanel::SetShowCaption(bool value) { Change(FShowCaption, value); }
void TVistaGradPanel::SetGradStyle(TGradStyle style) { Change(FGradStyle, style); }
void TVistaGradPanel::SetGradOrientation(TGradOrientation orientation) { Change(FGradOrientation, orientation); }
void TVistaGradPanel::SetOrientation(TOrientation orientation) { Change(FOrientation, orientation); }
void TVistaGradPanel::SetLeftLine(bool value) { Change(FLeftLine, value); }
void TVistaGradPanel::SetRightLine(bool value) { Change(FRightLine, value); }
void TVistaGradPanel::SetTopLine(bool value) { Change(FTopLine, value); }
void TVistaGradPanel::SetButtomLine(bool value) { Change(FButtomLine, value); }
void TVistaGradPanel::SetStartColor(const QColor &color) { Change(FStartColor, color); }
void TVistaGradPanel::SetEndColor(const QColor &color) { Change(FEndColor, color); }
void TVistaGradPanel::SetLineColor(const QColor &color) { Change(FLineColor, color); }
void TVistaGradPanel::SetAutoSize(bool value) { Change(FAutoSize, value); }
void TVistaGradPanel::SetWordBreak(bool value) { Change(FWordBreak, value); }
void TVistaGradPanel::SetPicIdle(const QImage &picture) { Change(FPicIdle, picture); }
void TVistaGradPanel::SetShowDate(bool value) { Change(FShowDate, value); }
void TVistaGradPanel::SetShowTime(bool value) { Change(FShowTime, value); }
void TVistaGradPanel::SetShowKW(bool value) { Change(FShowKW, value); }
void TVistaGradPanel::SetAlign(TAlign align) { Change(FAlign, align); }

void TVistaGradPanel::SetBorderWidth(int width)
{
    if (width == FBorderWidth)
        return;
    FBorderWidth = width;
    setContentsMargins(width, width, width, width);
    update();
}

TGradColors TVistaGradPanel::Colors() const
{
    return FGradStyle == TGradStyle::gsDEFAULT ? TGradColors{FStartColor, FEndColor, FLineColor}
                                               : GradStyleColors(FGradStyle);
}

void TVistaGradPanel::Refresh()
{
    FInfoText = ShowsInfo() ? GradPanelInfoText(QDateTime::currentDateTime(), FShowDate, FShowKW, FShowTime)
                            : QString();
    if (!ShowsInfo())
        FClock.stop();
    else if (!FClock.isActive())
        FClock.start();
    ApplyAutoSize();
    update();
}

void TVistaGradPanel::ClockTick()
{
    const QString text = GradPanelInfoText(QDateTime::currentDateTime(), FShowDate, FShowKW, FShowTime);
    if (text == FInfoText)
        return;
    FInfoText = text;
    ApplyAutoSize();
    update();
}

int TVistaGradPanel::TextWidth() const
{
    const QFontMetrics metrics(font());
    int width = FShowCaption ? metrics.horizontalAdvance(FCaption) : 0;
    if (ShowsInfo())
        width += metrics.horizontalAdvance(FInfoText);
    return width;
}

void TVistaGradPanel::ApplyAutoSize()
{
    const bool fixHeight = FAutoSize && !FillsHeight(FAlign);
    const bool fixWidth = FAutoSize && !FillsWidth(FAlign);
    if (fixHeight || fixWidth) {
        const QSize wanted = GradPanelAutoSize(size(), TextWidth(), QFontMetrics(font()).height(), FPicIdle.size(), FAlign);
        if (fixHeight)
            setFixedHeight(wanted.height());
        if (fixWidth)
            setFixedWidth(wanted.width());
    }
    // Sizes AutoSize no longer decides are free again.
    if (FFixedHeight && !fixHeight) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    if (FFixedWidth && !fixWidth) {
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
    }
    FFixedHeight = fixHeight;
    FFixedWidth = fixWidth;
}

void TVistaGradPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        ApplyAutoSize();
        update();
    }
    QWidget::changeEvent(event);
}

void TVistaGradPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int W = width(), H = height();
    const TGradColors colors = Colors();

    switch (FGradOrientation) {
    case TGradOrientation::goLeftToRigth: FillHorizontalGradient(painter, rect(), colors.Start, colors.End); break;
    case TGradOrientation::goRightToLeft: FillHorizontalGradient(painter, rect(), colors.End, colors.Start); break;
    case TGradOrientation::goTopToBottom: FillVerticalGradient(painter, rect(), colors.Start, colors.End); break;
    case TGradOrientation::goBottomToTop: FillVerticalGradient(painter, rect(), colors.End, colors.Start); break;
    }

    if (FLeftLine)
        painter.fillRect(QRect(0, 0, 1, H), colors.Line);
    if (FRightLine)
        painter.fillRect(QRect(W - 1, 0, 1, H), colors.Line);
    if (FTopLine)
        painter.fillRect(QRect(0, 0, W, 1), colors.Line);
    if (FButtomLine)
        painter.fillRect(QRect(0, H - 1, W, 1), colors.Line);

    const bool withPicture = !FPicIdle.isNull();
    if (withPicture) {
        const int half = FPicIdle.height() / 2;
        DrawButtonSymbol(painter, QRect(kPictureLeft, H / 2 - half, FPicIdle.width(), 2 * half), FPicIdle, true);
    }

    const QFontMetrics metrics(font());
    painter.setFont(font());
    painter.setPen(FFontColor);
    if (!FInfoText.trimmed().isEmpty()) {
        const int th = metrics.height();
        const int infoWidth = metrics.horizontalAdvance(FInfoText);
        painter.drawText(QRect(W - infoWidth - kTextMargin, H / 2 - th / 2 - 1, infoWidth, th),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, FInfoText);
    }

    if (FShowCaption) {
        const int left = withPicture ? FPicIdle.width() + 6 : kTextMargin;
        const QRect area(QPoint(left, kCaptionTop), QPoint(W - kTextMargin - 1, H - 2 - 1));
        int flags = Qt::AlignTop | (FWordBreak ? Qt::TextWordWrap : Qt::TextSingleLine);
        switch (FOrientation) {
        case TOrientation::oLeft: flags |= Qt::AlignLeft; break;
        case TOrientation::oCenter: flags |= Qt::AlignHCenter; break;
        case TOrientation::oRight: flags |= Qt::AlignRight; break;
        }
        painter.drawText(area, flags, FCaption);
    }
}

}  // namespace lmk
