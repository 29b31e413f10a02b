// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKDsgGroupBox.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <algorithm>

namespace lmk {

namespace {

constexpr int kCaptionMargin = 8;  // distance of the caption part from the box's side
constexpr int kImageGap = 3;       // between the image and the caption text
constexpr int kCornerRadius = 3;   // rounded corners of 6 x 6 pixels
constexpr int kDoubleInset = 2;    // the inner line of a double frame

bool IsTop(TCaptionPosition p)
{
    return p == TCaptionPosition::cpTopLeft || p == TCaptionPosition::cpTopRight ||
           p == TCaptionPosition::cpTopCenter;
}

struct PartSize {
    int Width, Height;
};

PartSize CaptionPartSize(QSize text, QSize image)
{
    const int gap = text.width() > 0 && image.width() > 0 ? kImageGap : 0;
    return {image.width() + gap + text.width(), std::max(text.height(), image.height()) + 2};
}

}  // namespace

int GroupBoxBorderThickness(TBorderStyle style, bool ctl3D)
{
    switch (style) {
    case TBorderStyle::bsNone: return 1;
    case TBorderStyle::bsSingle: return ctl3D ? 2 : 1;
    case TBorderStyle::bsDouble: return ctl3D ? 4 : 2;
    }
    return 1;
}

QMargins GroupBoxInnerMargins(QSize text, QSize image, TCaptionPosition position, TBorderStyle style,
                              bool ctl3D)
{
    const int t = GroupBoxBorderThickness(style, ctl3D);
    const int m = std::max(CaptionPartSize(text, image).Height, t);
    // The caption side keeps m clear, the other three the frame's thickness; one pixel more all round.
    return IsTop(position) ? QMargins(t + 1, m + 1, t + 1, t + 1) : QMargins(t + 1, t + 1, t + 1, m + 1);
}

TGroupBoxGeometry GroupBoxGeometry(QSize box, QSize text, QSize image, TCaptionPosition position,
                                   TBorderStyle style, bool ctl3D)
{
    const int W = box.width(), H = box.height();
    const PartSize part = CaptionPartSize(text, image);
    int left = kCaptionMargin;
    switch (position) {
    case TCaptionPosition::cpTopLeft:
    case TCaptionPosition::cpBottomLeft: left = kCaptionMargin; break;
    case TCaptionPosition::cpTopRight:
    case TCaptionPosition::cpBottomRight: left = W - kCaptionMargin - part.Width; break;
    case TCaptionPosition::cpTopCenter:
    case TCaptionPosition::cpBottomCenter: left = (W - part.Width) / 2; break;
    }
    const bool top = IsTop(position);

    TGroupBoxGeometry g;
    g.CaptionPart = QRect(left, top ? 0 : H - part.Height, part.Width, part.Height);
    g.TextLeft = left + image.width() + (text.width() > 0 && image.width() > 0 ? kImageGap : 0);
    g.Interrupted = text.width() > 0 || image.width() > 0;

    const int t = GroupBoxBorderThickness(style, ctl3D);
    const int m = std::max(part.Height, t);
    int frameTop = 0, frameBottom = H;  // bottom exclusive
    if (top)
        frameTop += m / 2;
    else if (g.Interrupted)
        frameBottom -= m / 2 - (style == TBorderStyle::bsDouble ? 1 : 0);
    g.Frame = QRect(0, frameTop, W, frameBottom - frameTop);
    g.Inner = QRect(QPoint(0, 0), box).marginsRemoved(GroupBoxInnerMargins(text, image, position, style, ctl3D));
    return g;
}

QSize GroupBoxCaptionSize(const QFont &font, const QString &caption)
{
    if (caption.isEmpty())
        return {0, 0};
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(caption), metrics.height()};
}

TLMKDsgGroupBox::TLMKDsgGroupBox(QWidget *parent) : TLMKDsgGroupBox(QString(), parent) {}

TLMKDsgGroupBox::TLMKDsgGroupBox(const QString &caption, QWidget *parent)
    : QWidget(parent), FCaption(caption)
{
    setFont(QFont(QStringLiteral("Arial"), 10));
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { FocusChanged(now); });
    GeometryChanged();
}

void TLMKDsgGroupBox::SetCaption(const QString &caption)
{
    if (FCaption == caption)
        return;
    FCaption = caption;
    GeometryChanged();
}

void TLMKDsgGroupBox::SetBorderStyle(TBorderStyle style)
{
    if (FBorderStyle == style)
        return;
    FBorderStyle = style;
    GeometryChanged();
}

void TLMKDsgGroupBox::SetCaptionPosition(TCaptionPosition position)
{
    if (FCaptionPosition == position)
        return;
    FCaptionPosition = position;
    GeometryChanged();
}

void TLMKDsgGroupBox::SetRoundEdges(bool value)
{
    if (FRoundEdges == value)
        return;
    FRoundEdges = value;
    update();
}

void TLMKDsgGroupBox::SetBorderColor(const QColor &color)
{
    if (FBorderColor == color)
        return;
    FBorderColor = color;
    update();
}

void TLMKDsgGroupBox::SetBorderFocusColor(const QColor &color)
{
    if (FBorderFocusColor == color)
        return;
    FBorderFocusColor = color;
    update();
}

void TLMKDsgGroupBox::SetImages(const QList<QPixmap> &images)
{
    FImages = images;
    GeometryChanged();
}

void TLMKDsgGroupBox::SetImageIndex(int index)
{
    if (FImageIndex == index)
        return;
    FImageIndex = index;
    GeometryChanged();
}

void TLMKDsgGroupBox::SetTransparent(bool value)
{
    if (FTransparent == value)
        return;
    FTransparent = value;
    update();
}

void TLMKDsgGroupBox::SetCtl3D(bool value)
{
    if (FCtl3D == value)
        return;
    FCtl3D = value;
    GeometryChanged();
}

void TLMKDsgGroupBox::SetColor(const QColor &color)
{
    if (FColor == color)
        return;
    FColor = color;
    update();
}

const QPixmap *TLMKDsgGroupBox::CurrentImage() const
{
    if (FImageIndex < 0 || FImageIndex >= FImages.size() || FImages[FImageIndex].isNull())
        return nullptr;
    return &FImages[FImageIndex];
}

QSize TLMKDsgGroupBox::ImageSize() const
{
    const QPixmap *image = CurrentImage();
    return image ? image->deviceIndependentSize().toSize() : QSize(0, 0);
}

TGroupBoxGeometry TLMKDsgGroupBox::Geometry() const
{
    return GroupBoxGeometry(size(), GroupBoxCaptionSize(font(), FCaption), ImageSize(), FCaptionPosition,
                            FBorderStyle, FCtl3D);
}

void TLMKDsgGroupBox::GeometryChanged()
{
    setContentsMargins(GroupBoxInnerMargins(GroupBoxCaptionSize(font(), FCaption), ImageSize(),
                                            FCaptionPosition, FBorderStyle, FCtl3D));
    update();
}

void TLMKDsgGroupBox::FocusChanged(QWidget *now)
{
    const bool focused = now != nullptr && isAncestorOf(now);
    if (focused == FFocused)
        return;
    FFocused = focused;
    update();
}

void TLMKDsgGroupBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        GeometryChanged();
    QWidget::changeEvent(event);
}

void TLMKDsgGroupBox::DrawFrame(QPainter &painter, const QRect &frame) const
{
    // Pens run through pixel centres, so a straight edge covers exactly one row or column of
    // pixels in the full colour. Only the rounded corners are antialiased; square corners stay
    // crisp.
    const auto outline = [&](const QRect &r, const QColor &color) {
        painter.setPen(QPen(color, 1));
        painter.setRenderHint(QPainter::Antialiasing, FRoundEdges);
        const QRectF line = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
        if (FRoundEdges)
            painter.drawRoundedRect(line, kCornerRadius, kCornerRadius);
        else
            painter.drawRect(line);
    };
    const QRect inner = frame.adjusted(kDoubleInset, kDoubleInset, -kDoubleInset, -kDoubleInset);
    const QColor color = FFocused ? FBorderFocusColor : FBorderColor;
    switch (FBorderStyle) {
    case TBorderStyle::bsNone: break;
    case TBorderStyle::bsSingle: outline(frame, color); break;
    case TBorderStyle::bsDouble:
        if (FCtl3D) {
            for (const QRect &r : {frame, inner}) {
                outline(r.translated(1, 1), Qt::white);
                outline(r, QColor(0x80, 0x80, 0x80));
            }
        } else {
            outline(frame, color);
            outline(inner, color);
        }
        break;
    }
}

void TLMKDsgGroupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!FTransparent)
        painter.fillRect(rect(), FColor.isValid() ? FColor : palette().color(QPalette::Window));

    const TGroupBoxGeometry g = Geometry();
    if (const QPixmap *image = CurrentImage())
        painter.drawPixmap(g.CaptionPart.topLeft(), *image);
    if (!FCaption.isEmpty()) {
        painter.setPen(FFocused ? FBorderFocusColor : FBorderColor);
        painter.setFont(font());
        const QRect textRect(QPoint(g.TextLeft, g.CaptionPart.top()), g.CaptionPart.bottomRight());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, FCaption);
    }
    // The frame leaves out the caption part and one pixel around it.
    if (g.Interrupted)
        painter.setClipRegion(QRegion(rect()) - QRegion(g.CaptionPart.adjusted(-1, -1, 1, 1)));
    DrawFrame(painter, g.Frame);
}

QFont DialogFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    return font;
}

void SetDialogLook(TLMKDsgGroupBox &box)
{
    const QColor background(0xF0, 0xF0, 0xF0);
    box.SetBorderColor(QColor(0x70, 0x70, 0x6E));
    box.SetRoundEdges(true);
    box.SetColor(background);
    box.setFont(DialogFont());

    // The program's dark palette would give light texts on the light background. The controls
    // inside get a palette built on the light colours (dark texts, white fields), keeping the
    // program's highlight colour.
    const QPalette outer = box.palette();
    QPalette light(QColor(0xE1, 0xE1, 0xE1), background);
    light.setColor(QPalette::Highlight, outer.color(QPalette::Highlight));
    light.setColor(QPalette::HighlightedText, outer.color(QPalette::HighlightedText));
    box.setPalette(light);
}

}  // namespace lmk
