// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/RibbonColors.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace lmk {

namespace {

QColor Rgb(unsigned rgb) { return QColor::fromRgb(QRgb(0xFF000000u | rgb)); }

// The per-style sets, in the order of TLMKRibbonStyle.
struct StyleColors {
    unsigned Bar1, Bar2, BarCaption, BarBottomLine;
    unsigned Hover1, Hover2, Hover3, Hover4;
    unsigned Down1, Down2, Down3, Down4;
    unsigned FrameHover, FrameDown;
    unsigned Font, FontHover, FontDown, FontDisable;
    unsigned Separator1, Separator2, SeparatorStart, SeparatorEnd;
};

constexpr StyleColors kStyles[] = {
    // rsSilver
    {0xF4F6F8, 0xDCE1E7, 0x3C3C3C, 0xA5ACB5, 0xFFFDEB, 0xFFE7A2, 0xFFD75A, 0xFFE9A6, 0xF7C27A, 0xF6B15F,
     0xF3952F, 0xF8B862, 0xDBCE99, 0xC28A30, 0x1E1E1E, 0x1E1E1E, 0x1E1E1E, 0x8D8D8D, 0xA5ACB5, 0xFFFFFF,
     0xF4F6F8, 0xDCE1E7},
    // rsBlack: the style of the main window
    {0x70706E, 0x5A5A5A, 0xC5C5C2, 0x2A2A2A, 0xB9B9B9, 0x7D7D7D, 0x555555, 0x7D7D7B, 0x4D4D4D, 0x3F4140,
     0x303231, 0x3E3E3E, 0x444444, 0x1F1F1F, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xB9B9B9, 0x1F1F1F, 0x828282,
     0x70706E, 0x5A5A5A},
    // rsOffice2010
    {0xFFFFFF, 0xE5E9EE, 0x1E395B, 0xB6BAC0, 0xFFFCDB, 0xFFE9A0, 0xFFD86B, 0xFFE8A7, 0xFDD38C, 0xFBC166,
     0xF9A93F, 0xFBD178, 0xF2CA58, 0xC2913A, 0x1E395B, 0x1E395B, 0x1E395B, 0x8D8D8D, 0xC5CAD2, 0xFFFFFF,
     0xFFFFFF, 0xE5E9EE},
    // rsWindows7
    {0xF5F9FF, 0xDAE6F4, 0x15428B, 0x9EB6CE, 0xFDFEFF, 0xE9F2FC, 0xD5E6F9, 0xE5F0FC, 0xCBDDF2, 0xB9D0EC,
     0xA6C4E8, 0xC2D8F2, 0xA9C4E5, 0x6E8EB6, 0x15428B, 0x15428B, 0x15428B, 0x8D8D8D, 0x9EB6CE, 0xFFFFFF,
     0xF5F9FF, 0xDAE6F4},
    // rsSymphony
    {0xE8EDF1, 0xC9D3DC, 0x2D3E50, 0x8C9AA8, 0xF3F8FC, 0xD9E8F5, 0xC0D8EE, 0xD6E7F5, 0xA9C6E2, 0x95B8DA,
     0x7FA9D2, 0x9CBEDF, 0x7E9CBB, 0x4F6E8F, 0x1E2A36, 0x1E2A36, 0x1E2A36, 0x8D959C, 0x8C9AA8, 0xF4F7FA,
     0xE8EDF1, 0xC9D3DC},
    // rsWindows10
    {0xFFFFFF, 0xF3F3F3, 0x262626, 0xDADBDC, 0xE5F1FB, 0xE5F1FB, 0xE5F1FB, 0xE5F1FB, 0xCCE4F7, 0xCCE4F7,
     0xCCE4F7, 0xCCE4F7, 0xCCE4F7, 0x99C9EF, 0x262626, 0x262626, 0x262626, 0x9A9A9A, 0xD5D5D5, 0xFFFFFF,
     0xFFFFFF, 0xF3F3F3},
    // rsFlatGray
    {0xE6E6E6, 0xE6E6E6, 0x303030, 0xB4B4B4, 0xD2D2D2, 0xD2D2D2, 0xD2D2D2, 0xD2D2D2, 0xBEBEBE, 0xBEBEBE,
     0xBEBEBE, 0xBEBEBE, 0xA0A0A0, 0x8C8C8C, 0x202020, 0x202020, 0x202020, 0x9A9A9A, 0xB4B4B4, 0xF5F5F5,
     0xE6E6E6, 0xE6E6E6},
    // rsFlatBlue
    {0x2B579A, 0x2B579A, 0xFFFFFF, 0x1E3F70, 0x3E6DB5, 0x3E6DB5, 0x3E6DB5, 0x3E6DB5, 0x19478A, 0x19478A,
     0x19478A, 0x19478A, 0x6A92D0, 0x12335F, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xA8BBD8, 0x1E3F70, 0x4F77B5,
     0x2B579A, 0x2B579A},
};

const StyleColors &ColorsOf(TLMKRibbonStyle style) { return kStyles[static_cast<int>(style)]; }

// The linear mix of two channel values at step i of the steps 0 ... last, rounded to nearest.
int Mix(int from, int to, int i, int last)
{
    return last == 0 ? from : (from * (last - i) + to * i + last / 2) / last;
}

QColor MixColor(const QColor &from, const QColor &to, int i, int last)
{
    return QColor(Mix(from.red(), to.red(), i, last), Mix(from.green(), to.green(), i, last),
                  Mix(from.blue(), to.blue(), i, last));
}

}  // namespace

TLMKRibbonToolBarColors RibbonToolBarColors(TLMKRibbonStyle style)
{
    const StyleColors &c = ColorsOf(style);
    return {Rgb(c.Bar1), Rgb(c.Bar2), Rgb(c.BarCaption), Rgb(c.BarBottomLine)};
}

TLMKRibbonToolButtonColors RibbonToolButtonColors(TLMKRibbonStyle style)
{
    const StyleColors &c = ColorsOf(style);
    return {Rgb(c.Hover1),     Rgb(c.Hover2),     Rgb(c.Hover3),         Rgb(c.Hover4),
            Rgb(c.Down1),      Rgb(c.Down2),      Rgb(c.Down3),          Rgb(c.Down4),
            Rgb(c.FrameHover), Rgb(c.FrameDown),  Rgb(c.Font),           Rgb(c.FontHover),
            Rgb(c.FontDown),   Rgb(c.FontDisable), Rgb(c.Separator1),    Rgb(c.Separator2),
            Rgb(c.SeparatorStart), Rgb(c.SeparatorEnd)};
}

TRibbonLook RibbonButtonLook(bool downed, bool down, bool enter, bool enabled)
{
    if (downed || (down && enter && enabled))
        return TRibbonLook::Pressed;
    if (enter && enabled && !down)
        return TRibbonLook::Hover;
    return TRibbonLook::Normal;
}

void FillVerticalGradient(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to)
{
    const int last = rect.height() - 1;
    for (int i = 0; i <= last; ++i)
        painter.fillRect(QRect(rect.x(), rect.y() + i, rect.width(), 1), MixColor(from, to, i, last));
}

void FillHorizontalGradient(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to)
{
    const int last = rect.width() - 1;
    for (int i = 0; i <= last; ++i)
        painter.fillRect(QRect(rect.x() + i, rect.y(), 1, rect.height()), MixColor(from, to, i, last));
}

void PaintRibbonLook(QPainter &painter, QSize size, int split, TRibbonLook look,
                     const TLMKRibbonToolButtonColors &colors)
{
    if (look == TRibbonLook::Normal)
        return;
    const bool pressed = look == TRibbonLook::Pressed;
    const int W = size.width(), H = size.height();
    FillVerticalGradient(painter, QRect(0, 0, W, split), pressed ? colors.DownColor1 : colors.HoverColor1,
                         pressed ? colors.DownColor2 : colors.HoverColor2);
    FillVerticalGradient(painter, QRect(0, split, W, H - split), pressed ? colors.DownColor3 : colors.HoverColor3,
                         pressed ? colors.DownColor4 : colors.HoverColor4);
    const QColor frame = pressed ? colors.FrameDownColor : colors.FrameHoverColor;
    painter.fillRect(QRect(1, 0, W - 2, 1), frame);
    painter.fillRect(QRect(1, H - 1, W - 2, 1), frame);
    painter.fillRect(QRect(0, 1, 1, H - 2), frame);
    painter.fillRect(QRect(W - 1, 1, 1, H - 2), frame);
}

QColor RibbonFontColor(const TLMKRibbonToolButtonColors &colors, TRibbonLook look, bool enabled)
{
    if (!enabled)
        return colors.FontDisableColor;
    switch (look) {
    case TRibbonLook::Pressed: return colors.FontDownColor;
    case TRibbonLook::Hover: return colors.FontHoverColor;
    case TRibbonLook::Normal: break;
    }
    return colors.FontColor;
}

namespace {
constexpr int kDisabledOpacityPercent = 40;
}  // namespace

int SymbolGray(int red, int green, int blue) { return (77 * red + 151 * green + 28 * blue) >> 8; }

QImage PreparedSymbol(const QImage &symbol, bool enabled)
{
    if (symbol.isNull())
        return {};
    QImage out = symbol.convertToFormat(QImage::Format_ARGB32);
    const bool keyed = !symbol.hasAlphaChannel();
    const QRgb key = out.pixel(0, 0) & RGB_MASK;
    for (int y = 0; y < out.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            QRgb &p = row[x];
            if (keyed && (p & RGB_MASK) == key) {
                p = 0;  // left out: fully transparent
                continue;
            }
            if (!enabled) {
                // Gray alone hardly changes the light symbols of a dark icon theme, so a
                // symbol with its own transparency is also faded to show that it is disabled.
                const int gray = SymbolGray(qRed(p), qGreen(p), qBlue(p));
                p = qRgba(gray, gray, gray, keyed ? qAlpha(p) : qAlpha(p) * kDisabledOpacityPercent / 100);
            }
        }
    }
    return out;
}

void DrawButtonSymbol(QPainter &painter, const QRect &target, const QImage &symbol, bool enabled)
{
    if (symbol.isNull() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, PreparedSymbol(symbol, enabled));
    painter.restore();
}

QString StripAccelerator(const QString &caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

// ---- TLMKRibbonButtonBase ---------------------------------------------------------------------

TLMKRibbonButtonBase::TLMKRibbonButtonBase(QWidget *parent, bool showHint)
    : QWidget(parent), FColors(RibbonToolButtonColors(FStyle)), FShowHint(showHint)
{
    setFocusPolicy(Qt::NoFocus);
}

void TLMKRibbonButtonBase::SetSymbol(const QImage &symbol)
{
    if (IsDivider() || symbol == FSymbol)
        return;
    FSymbol = symbol;
    Repaint();
}

void TLMKRibbonButtonBase::SetDowned(bool value)
{
    if (IsDivider() || value == FDowned)
        return;
    FDowned = value;
    Repaint();
}

void TLMKRibbonButtonBase::SetEnabled(bool value)
{
    if (IsDivider() || value == FEnabled)
        return;
    FEnabled = value;
    Repaint();
}

void TLMKRibbonButtonBase::SetStyle(TLMKRibbonStyle style)
{
    FStyle = style;
    SetColors(RibbonToolButtonColors(style));
}

void TLMKRibbonButtonBase::SetColors(const TLMKRibbonToolButtonColors &colors)
{
    if (colors == FColors)
        return;
    FColors = colors;
    Repaint();
}

void TLMKRibbonButtonBase::SetHint(const QString &hint)
{
    FHint = hint;
    UpdateToolTip();
}

void TLMKRibbonButtonBase::SetShowHint(bool value)
{
    FShowHint = value;
    UpdateToolTip();
}

void TLMKRibbonButtonBase::UpdateToolTip() { setToolTip(FShowHint ? FHint : QString()); }

void TLMKRibbonButtonBase::Click()
{
    if (IsDivider() || !FEnabled || parentWidget() == nullptr || !parentWidget()->isVisible())
        return;
    // A handler may delete the button (closing the window, rebuilding the bar).
    const QPointer<TLMKRibbonButtonBase> self(this);
    const std::function<void()> handler = FOnClick;
    emit Clicked();
    if (self && handler)
        handler();
}

void TLMKRibbonButtonBase::SetEnter(bool value)
{
    if (value == FEnter)
        return;
    FEnter = value;
    Repaint();
}

void TLMKRibbonButtonBase::enterEvent(QEnterEvent *event)
{
    if (!IsDivider())
        SetEnter(true);
    QWidget::enterEvent(event);
}

void TLMKRibbonButtonBase::leaveEvent(QEvent *event)
{
    SetEnter(false);
    QWidget::leaveEvent(event);
}

void TLMKRibbonButtonBase::mousePressEvent(QMouseEvent *event)
{
    if (IsDivider() || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    FDown = true;
    FEnter = rect().contains(event->position().toPoint());
    Repaint();
}

void TLMKRibbonButtonBase::mouseMoveEvent(QMouseEvent *event)
{
    // While the left button is held the button keeps the mouse; it looks pressed only while
    // the pointer is on it.
    if (!FDown)
        return QWidget::mouseMoveEvent(event);
    SetEnter(rect().contains(event->position().toPoint()));
}

void TLMKRibbonButtonBase::mouseReleaseEvent(QMouseEvent *event)
{
    if (!FDown || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    FDown = false;
    const bool inside = rect().contains(event->position().toPoint());
    FEnter = inside;
    Repaint();
    if (inside)
        Click();  // last: the click's handler may delete the button
}

}  // namespace lmk
