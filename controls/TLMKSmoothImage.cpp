// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TLMKSmoothImage.h"

#include "imaging/Numeric.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace lmk {

namespace {

// Drawn extents are limited so that positions and QRect edges stay far from integer overflow,
// also for absurd pictures such as one pixel high and millions wide.
constexpr double kMaxExtent = double(1 << 28);

int TruncExtent(double x) { return Trunc(std::min(x, kMaxExtent)); }

// The size the base rule gives the picture before the drawn size is worked out (normal mode).
QSize BaseSize(int W, int H, int pw, int ph, const TSmoothImageOptions &o)
{
    const bool scaled = o.Stretch || (o.Proportional && (pw > W || ph > H));
    if (!scaled)
        return {pw, ph};
    if (!o.Proportional)
        return {W, H};
    const double s = double(pw) / ph;
    int a, b;
    if (pw > ph) {
        b = Trunc(W / s);
        a = W;
        if (b > H) {
            a = Trunc(s * H);
            b = H;
        }
    } else {
        a = Trunc(s * H);
        b = H;
        if (a > W) {
            b = Trunc(W / s);
            a = W;
        }
    }
    return {a, b};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

struct Span {
    int Source0, Source1;  // picture pixels [Source0, Source1)
    int Target0, Target1;  // drawn pixels [Target0, Target1), relative to the drawn origin
};

// One axis of SmoothImageVisiblePiece: the visible drawn pixels [visible0, visible1) of a
// picture axis of `count` pixels drawn `drawn` pixels long.
Span VisibleSpan(std::int64_t visible0, std::int64_t visible1, std::int64_t drawn, std::int64_t count)
{
    // One picture pixel and two drawn pixels more on each side, so that the interpolation at the
    // cut edges still sees the real neighbours and the seams lie outside the view.
    constexpr std::int64_t kDrawnMargin = 2;
    const std::int64_t s0 = std::max<std::int64_t>(0, FloorDiv((visible0 - kDrawnMargin) * count, drawn) - 1);
    const std::int64_t s1 = std::min<std::int64_t>(count, CeilDiv((visible1 + kDrawnMargin) * count, drawn) + 1);
    return {int(s0), int(s1), int(FloorDiv(s0 * drawn, count)), int(CeilDiv(s1 * drawn, count))};
}

}  // namespace

QRect SmoothImageDrawRect(QSize client, QSize picture, const TSmoothImageOptions &options)
{
    const int W = client.width(), H = client.height();
    const int pw = picture.width(), ph = picture.height();
    if (W <= 0 || H <= 0 || pw <= 0 || ph <= 0)
        return {};
    int w, h;
    if (options.FitToImage) {
        // A picture so narrow that it is less than one pixel wide at the view's height gives
        // w1 = 0; taking one pixel keeps the division defined and the height bounded by W * H.
        const int w1 = std::max(1, TruncExtent(H * (double(pw) / ph)));
        if (w1 < W) {
            w = W;
            h = TruncExtent(W * (double(H) / w1));
        } else {
            w = w1;
            h = H;
        }
    } else {
        const QSize base = BaseSize(W, H, pw, ph, options);
        if (base == QSize(pw, ph)) {
            // Not scaled: the picture keeps its own size. The products below can come out one
            // pixel short in floating point (22 * (15 / 22.0) is 14.99...), which would shrink
            // a picture shown 1:1 and blur it.
            w = pw;
            h = ph;
        } else if (ph >= pw) {
            w = TruncExtent(base.height() * (double(pw) / ph));
            h = base.height();
        } else {
            w = base.width();
            h = TruncExtent(base.width() * (double(ph) / pw));
        }
    }
    if (w <= 0 || h <= 0)
        return {};
    const QPoint topLeft = options.Center ? QPoint(W / 2 - w / 2, H / 2 - h / 2) : QPoint(0, 0);
    return {topLeft, QSize(w, h)};
}

TSmoothImagePiece SmoothImageVisiblePiece(QRect drawRect, QSize picture, QRect visible)
{
    const QRect shown = drawRect.intersected(visible);
    if (shown.isEmpty() || picture.isEmpty())
        return {};
    const Span x = VisibleSpan(shown.left() - drawRect.left(), shown.right() + 1 - drawRect.left(),
                               drawRect.width(), picture.width());
    const Span y = VisibleSpan(shown.top() - drawRect.top(), shown.bottom() + 1 - drawRect.top(),
                               drawRect.height(), picture.height());
    return {QRect(QPoint(x.Source0, y.Source0), QPoint(x.Source1 - 1, y.Source1 - 1)),
            QRect(QPoint(drawRect.left() + x.Target0, drawRect.top() + y.Target0),
                  QPoint(drawRect.left() + x.Target1 - 1, drawRect.top() + y.Target1 - 1))};
}

TLMKSmoothImage::TLMKSmoothImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, !FTransparent);
}

void TLMKSmoothImage::SetPicture(std::shared_ptr<const Bitmap> picture)
{
    // The cached copy may still point into the old picture's pixels: drop it first.
    FCachedImage = QImage();
    FCachedPiece = {};
    FPicture = std::move(picture);
    update();
}

void TLMKSmoothImage::SetPicture(Bitmap picture)
{
    SetPicture(std::make_shared<const Bitmap>(std::move(picture)));
}

void TLMKSmoothImage::ClearPicture() { SetPicture(std::shared_ptr<const Bitmap>()); }

void TLMKSmoothImage::SetOption(bool TSmoothImageOptions::*option, bool value)
{
    if (FOptions.*option == value)
        return;
    FOptions.*option = value;
    update();
}

void TLMKSmoothImage::SetCenter(bool value) { SetOption(&TSmoothImageOptions::Center, value); }
void TLMKSmoothImage::SetProportional(bool value) { SetOption(&TSmoothImageOptions::Proportional, value); }
void TLMKSmoothImage::SetStretch(bool value) { SetOption(&TSmoothImageOptions::Stretch, value); }
void TLMKSmoothImage::SetFitToImage(bool value) { SetOption(&TSmoothImageOptions::FitToImage, value); }

void TLMKSmoothImage::SetTransparent(bool value)
{
    if (FTransparent == value)
        return;
    FTransparent = value;
    // An opaque view paints every pixel itself; a transparent one lets the parent show through.
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TLMKSmoothImage::SetBrushColor(const QColor &color)
{
    if (FBrushColor == color)
        return;
    FBrushColor = color;
    update();
}

QRect TLMKSmoothImage::DrawRect() const
{
    if (!HasPicture())
        return {};
    return SmoothImageDrawRect(size(), QSize(FPicture->Width(), FPicture->Height()), FOptions);
}

const QImage &TLMKSmoothImage::ScaledPiece(const TSmoothImagePiece &piece)
{
    if (!FCachedImage.isNull() && piece == FCachedPiece)
        return FCachedImage;
    const QImage whole = FPicture->WrapAsQImage();
    const QImage part = piece.Source == whole.rect() ? whole : whole.copy(piece.Source);
    // At 1:1 the pixels are drawn unchanged; otherwise the smooth scaler averages when it
    // reduces, which keeps large photos free of the aliasing a per-paint transform gives.
    FCachedImage = piece.Source.size() == piece.Target.size()
                       ? part
                       : part.scaled(piece.Target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FCachedPiece = piece;
    return FCachedImage;
}

void TLMKSmoothImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!FTransparent)
        painter.fillRect(rect(), FBrushColor);
    if (!HasPicture())
        return;
    // The piece is worked out for the whole view, not the damaged area, so partial repaints
    // reuse the cached copy.
    const TSmoothImagePiece piece =
        SmoothImageVisiblePiece(DrawRect(), QSize(FPicture->Width(), FPicture->Height()), rect());
    if (piece.Target.isEmpty())
        return;
    painter.drawImage(piece.Target.topLeft(), ScaledPiece(piece));
}

// The view handles its clicks by passing them on; they do not travel further to the parent.
void TLMKSmoothImage::mouseDoubleClickEvent(QMouseEvent *event) { emit DoubleClicked(event); }

void TLMKSmoothImage::mousePressEvent(QMouseEvent *event) { emit MousePressed(event); }

}  // namespace lmk
