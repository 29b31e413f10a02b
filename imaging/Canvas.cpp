// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Canvas.h"

#include "imaging/Numeric.h"
#include "imaging/Resample.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lmk {

namespace {

constexpr int kNeutralGamma = 10000;
constexpr double kFullScale = 10000.0;  // gammas and reference levels count in 1/10000
// Brightness 100 lifts every value by half the range, -100 lowers it by as much.
constexpr double kBrightnessStep = 127.5 / 100.0;
// Contrast scales the distance from the middle by 2^(contrast / 100): twice at 100, half at -100.
constexpr double kContrastMiddle = 128.0;

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

QRect Bounds(const Bitmap &b) { return QRect(0, 0, b.Width(), b.Height()); }

bool IsEmpty(const QRect &r) { return r.width() <= 0 || r.height() <= 0; }

// Intersection of two rectangles by x, y, width and height (empty when they do not meet).
QRect Meet(const QRect &a, const QRect &b)
{
    const int left = std::max(a.x(), b.x());
    const int top = std::max(a.y(), b.y());
    const int right = std::min(std::int64_t(a.x()) + a.width(), std::int64_t(b.x()) + b.width());
    const int bottom = std::min(std::int64_t(a.y()) + a.height(), std::int64_t(b.y()) + b.height());
    if (right <= left || bottom <= top)
        return QRect(left, top, 0, 0);
    return QRect(left, top, right - left, bottom - top);
}

void RequireInside(const QRect &sourceRect, const Bitmap &source)
{
    if (sourceRect.x() < 0 || sourceRect.y() < 0 || sourceRect.width() < 0 || sourceRect.height() < 0 ||
        std::int64_t(sourceRect.x()) + sourceRect.width() > source.Width() ||
        std::int64_t(sourceRect.y()) + sourceRect.height() > source.Height())
        throw std::out_of_range("Das Quellrechteck liegt außerhalb des Bildes.");
}

Bitmap CopyOfRegion(const Bitmap &source, const QRect &r)
{
    Bitmap copy(r.width(), r.height(), source.Format());
    const std::size_t bytes = std::size_t(r.width()) * std::size_t(source.BytesPerPixel());
    for (int y = 0; y < r.height(); ++y)
        std::copy_n(source.ScanLine(r.y() + y) + std::ptrdiff_t(r.x()) * source.BytesPerPixel(), bytes,
                    copy.ScanLine(y));
    return copy;
}

PixelMap MapOf(const TColorAdjustment &a)
{
    PixelMap map;
    const std::uint16_t gammas[3] = {a.BlueGamma, a.GreenGamma, a.RedGamma};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            map.Tables[std::size_t(c)][std::size_t(v)] = TransferValue(a, gammas[c], v);
    map.Colorfulness = a.Colorfulness;
    map.RedGreenTint = a.RedGreenTint;
    return map;
}

// Calls `body` with the byte counts of both pictures as compile-time constants, so the pixel
// loops know their step.
template <class Body>
void WithPixelSizes(int sourceBytes, int targetBytes, Body &&body)
{
    using Three = std::integral_constant<int, 3>;
    using Four = std::integral_constant<int, 4>;
    if (sourceBytes == 3)
        targetBytes == 3 ? body(Three{}, Three{}) : body(Three{}, Four{});
    else
        targetBytes == 3 ? body(Four{}, Three{}) : body(Four{}, Four{});
}

// Source index of each visible output for a nearest-pixel stretch: the sample under the
// output's centre.
std::vector<int> NearestIndices(int sourceStart, int sourceLength, int destLength, int firstOutput, int count)
{
    std::vector<int> indices(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const std::int64_t j = firstOutput + k;
        indices[std::size_t(k)] = sourceStart + int((2 * j + 1) * sourceLength / (2 * std::int64_t(destLength)));
    }
    return indices;
}

void PutPixel(std::uint8_t *p, int bytesPerPixel, QColor c)
{
    p[0] = std::uint8_t(c.blue());
    p[1] = std::uint8_t(c.green());
    p[2] = std::uint8_t(c.red());
    if (bytesPerPixel == 4)
        p[3] = 255;
}

QString WithPlainBreaks(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

int QtFlagsOf(unsigned flags)
{
    int qt = Qt::AlignTop;
    qt |= (flags & TextRight) ? Qt::AlignRight : (flags & TextCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (flags & TextWordWrap)
        qt |= Qt::TextWordWrap;
    if (flags & TextSingleLine) {
        qt |= Qt::TextSingleLine;
        if (flags & TextVCenter)
            qt = (qt & ~Qt::AlignTop) | Qt::AlignVCenter;
    }
    if (flags & TextNoClip)
        qt |= Qt::TextDontClip;
    return qt;
}

}  // namespace

bool TColorAdjustment::IsNeutral() const
{
    return RedGamma == kNeutralGamma && GreenGamma == kNeutralGamma && BlueGamma == kNeutralGamma &&
           ReferenceBlack == 0 && ReferenceWhite == kFullScale && Contrast == 0 && Brightness == 0 &&
           Colorfulness == 0 && RedGreenTint == 0;
}

std::uint8_t TransferValue(const TColorAdjustment &a, std::uint16_t gamma, int value)
{
    // Reference levels: ReferenceBlack and below become 0, ReferenceWhite and above 255.
    const double black = 255.0 * a.ReferenceBlack / kFullScale;
    const double white = 255.0 * a.ReferenceWhite / kFullScale;
    double v = std::clamp(FDiv((value - black) * 255.0, white - black), 0.0, 255.0);
    // Gamma: v' = 255 * (v / 255)^(10000 / g); g > 10000 brightens the middle tones.
    if (gamma != kNeutralGamma)
        v = 255.0 * std::pow(v / 255.0, kFullScale / gamma);
    v += a.Brightness * kBrightnessStep;
    v = kContrastMiddle + (v - kContrastMiddle) * std::exp2(a.Contrast / 100.0);
    return Clamp(Round(std::clamp(v, -1.0, 256.0)));
}

Canvas::Canvas(Bitmap &picture) : FPicture(&picture) {}

void Canvas::SetColorAdjustment(const TColorAdjustment &a)
{
    const bool valid = a.Size == sizeof(TColorAdjustment) && a.Flags == 0 && a.IlluminantIndex == 0 &&
                       InRange(a.RedGamma, 2500, 65000) && InRange(a.GreenGamma, 2500, 65000) &&
                       InRange(a.BlueGamma, 2500, 65000) && InRange(a.ReferenceBlack, 0, 4000) &&
                       InRange(a.ReferenceWhite, 6000, 10000) && InRange(a.Contrast, -100, 100) &&
                       InRange(a.Brightness, -100, 100) && InRange(a.Colorfulness, -100, 100) &&
                       InRange(a.RedGreenTint, -100, 100);
    if (!valid)
        throw std::invalid_argument("Ungültige Farbkorrektur.");
    FAdjustment = a;
}

void Canvas::SetClipRect(const QRect &clip) { FClip = clip; }

void Canvas::ResetClip() { FClip.reset(); }

QRect Canvas::ClipRect() const
{
    const QRect all = Bounds(*FPicture);
    return FClip ? Meet(all, *FClip) : all;
}

void Canvas::FillRect(const QRect &rect)
{
    const QRect r = Meet(rect, ClipRect());
    if (IsEmpty(r))
        return;
    const int bpp = FPicture->BytesPerPixel();
    for (int y = r.y(); y < r.y() + r.height(); ++y) {
        std::uint8_t *p = FPicture->ScanLine(y) + std::ptrdiff_t(r.x()) * bpp;
        for (int x = 0; x < r.width(); ++x, p += bpp)
            PutPixel(p, bpp, BrushColor);
    }
}

void Canvas::CopyRect(const QRect &dest, const Canvas &source, const QRect &sourceRect)
{
    StretchDraw(dest, *source.FPicture, sourceRect);
}

void Canvas::StretchDraw(const QRect &dest, const Bitmap &source) { StretchDraw(dest, source, Bounds(source)); }

void Canvas::StretchDraw(const QRect &dest, const Bitmap &source, const QRect &sourceRect)
{
    if (Stretch == StretchMode::Halftone)
        DrawHalftone(dest, source, sourceRect);
    else
        DrawNearest(dest, source, sourceRect, std::nullopt, 255);
}

void Canvas::KeyedStretchDraw(const QRect &dest, const Bitmap &source, const QRect &sourceRect, QColor key)
{
    DrawNearest(dest, source, sourceRect, key, 255);
}

void Canvas::AlphaBlend(const QRect &dest, const Bitmap &source, const QRect &sourceRect, int alpha)
{
    DrawNearest(dest, source, sourceRect, std::nullopt, std::clamp(alpha, 0, 255));
}

void Canvas::DrawHalftone(const QRect &dest, const Bitmap &source, const QRect &sourceRect)
{
    RequireInside(sourceRect, source);
    const QRect visible = Meet(dest, ClipRect());
    if (IsEmpty(visible) || IsEmpty(sourceRect))
        return;
    const std::optional<PixelMap> map = FAdjustment.IsNeutral() ? std::nullopt : std::optional(MapOf(FAdjustment));
    const bool sameSize = dest.size() == sourceRect.size();
    if (&source == FPicture && sameSize && dest.topLeft() == sourceRect.topLeft()) {
        // A picture copied onto itself: only the colour adjustment changes it.
        if (map)
            for (int y = visible.y(); y < visible.y() + visible.height(); ++y)
                map->ApplyRow(FPicture->ScanLine(y) + std::ptrdiff_t(visible.x()) * FPicture->BytesPerPixel(),
                              visible.width(), FPicture->BytesPerPixel());
        return;
    }
    const Bitmap own = &source == FPicture ? CopyOfRegion(source, sourceRect) : Bitmap();
    const Bitmap &from = &source == FPicture ? own : source;
    const QRect fromRect = &source == FPicture ? Bounds(own) : sourceRect;
    const AxisWeights xs = MakeAxisWeights(fromRect.width(), dest.width(), visible.x() - dest.x(), visible.width(),
                                           ResampleKernel::Area, true);
    const AxisWeights ys = MakeAxisWeights(fromRect.height(), dest.height(), visible.y() - dest.y(),
                                           visible.height(), ResampleKernel::Area, true);
    ResampleInto(from, fromRect, *FPicture, visible.topLeft(), xs, ys, map ? &*map : nullptr);
}

void Canvas::DrawNearest(const QRect &dest, const Bitmap &source, const QRect &sourceRect,
                         std::optional<QColor> key, int alpha)
{
    RequireInside(sourceRect, source);
    const QRect visible = Meet(dest, ClipRect());
    if (IsEmpty(visible) || IsEmpty(sourceRect))
        return;
    const Bitmap own = &source == FPicture ? CopyOfRegion(source, sourceRect) : Bitmap();
    const Bitmap &from = &source == FPicture ? own : source;
    const QRect fromRect = &source == FPicture ? Bounds(own) : sourceRect;
    const std::vector<int> columns = NearestIndices(fromRect.x(), fromRect.width(), dest.width(),
                                                    visible.x() - dest.x(), visible.width());
    const std::vector<int> rows = NearestIndices(fromRect.y(), fromRect.height(), dest.height(),
                                                 visible.y() - dest.y(), visible.height());
    const int keyB = key ? key->blue() : -1;
    const int keyG = key ? key->green() : -1;
    const int keyR = key ? key->red() : -1;
    WithPixelSizes(from.BytesPerPixel(), FPicture->BytesPerPixel(), [&](auto sb, auto db) {
        constexpr int SB = decltype(sb)::value;
        constexpr int DB = decltype(db)::value;
        for (int k = 0; k < visible.height(); ++k) {
            const std::uint8_t *s = from.ScanLine(rows[std::size_t(k)]);
            std::uint8_t *d = FPicture->ScanLine(visible.y() + k) + std::ptrdiff_t(visible.x()) * DB;
            for (int x = 0; x < visible.width(); ++x, d += DB) {
                const std::uint8_t *p = s + std::ptrdiff_t(columns[std::size_t(x)]) * SB;
                if (p[0] == keyB && p[1] == keyG && p[2] == keyR)
                    continue;
                for (int c = 0; c < 3; ++c)
                    d[c] = alpha == 255 ? p[c] : std::uint8_t((p[c] * alpha + d[c] * (255 - alpha) + 127) / 255);
                if constexpr (DB == 4)
                    d[3] = 255;
            }
        }
    });
}

void Canvas::FloodFill(QPoint seed)
{
    const QRect area = ClipRect();
    if (!area.contains(seed))
        return;
    const int bpp = FPicture->BytesPerPixel();
    const std::uint8_t *s = FPicture->ScanLine(seed.y()) + std::ptrdiff_t(seed.x()) * bpp;
    const std::uint8_t old[3] = {s[0], s[1], s[2]};
    if (old[0] == BrushColor.blue() && old[1] == BrushColor.green() && old[2] == BrushColor.red())
        return;  // nothing to recolour, and the test below could never end the fill
    const auto matches = [&](int x, int y) {
        const std::uint8_t *p = FPicture->ScanLine(y) + std::ptrdiff_t(x) * bpp;
        return p[0] == old[0] && p[1] == old[1] && p[2] == old[2];
    };
    const int left = area.x();
    const int right = area.x() + area.width();  // exclusive
    const int top = area.y();
    const int bottom = area.y() + area.height();
    // Scanline fill with an explicit stack: each popped seed grows into its whole horizontal
    // run, which is recoloured (so it no longer matches), and the runs above and below push one
    // seed each. Memory grows with the area's outline, never the call stack.
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (!matches(p.x(), p.y()))
            continue;
        int x0 = p.x();
        while (x0 > left && matches(x0 - 1, p.y()))
            --x0;
        int x1 = p.x() + 1;
        while (x1 < right && matches(x1, p.y()))
            ++x1;
        std::uint8_t *row = FPicture->ScanLine(p.y());
        for (int x = x0; x < x1; ++x)
            PutPixel(row + std::ptrdiff_t(x) * bpp, bpp, BrushColor);
        for (const int y : {p.y() - 1, p.y() + 1}) {
            if (y < top || y >= bottom)
                continue;
            bool inRun = false;
            for (int x = x0; x < x1; ++x) {
                const bool m = matches(x, y);
                if (m && !inRun)
                    stack.emplace_back(x, y);
                inRun = m;
            }
        }
    }
}

void Canvas::GradientFillVertical(const QRect &rect, QColor top, QColor bottom)
{
    const QRect r = Meet(rect, ClipRect());
    if (IsEmpty(r))
        return;
    const int bpp = FPicture->BytesPerPixel();
    const int span = std::max(rect.height() - 1, 1);
    const auto mix = [span](int a, int b, int i) { return Clamp(Round(a + double(b - a) * i / span)); };
    for (int y = r.y(); y < r.y() + r.height(); ++y) {
        const int i = y - rect.y();
        const QColor c(mix(top.red(), bottom.red(), i), mix(top.green(), bottom.green(), i),
                       mix(top.blue(), bottom.blue(), i));
        std::uint8_t *p = FPicture->ScanLine(y) + std::ptrdiff_t(r.x()) * bpp;
        for (int x = 0; x < r.width(); ++x, p += bpp)
            PutPixel(p, bpp, c);
    }
}

void Canvas::CoverLine(QPoint from, QPoint to, std::vector<std::uint64_t> &covered) const
{
    const QRect area = ClipRect();
    const int width = std::max(Pen.Width, 1);
    const int lo = -(width - 1) / 2;  // the pen's square around each point of the line
    const int hi = width / 2;
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    int err = dx + dy;
    int x = from.x();
    int y = from.y();
    for (int step = 0;; ++step) {
        // A dotted pen sets every other point of the line.
        if (Pen.Style == PenStyle::Solid || step % 2 == 0)
            for (int py = y + lo; py <= y + hi; ++py)
                for (int px = x + lo; px <= x + hi; ++px)
                    if (area.contains(px, py))
                        covered.push_back(std::uint64_t(std::uint32_t(py)) << 32 | std::uint32_t(px));
        if (x == to.x() && y == to.y())
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Canvas::PaintCovered(std::vector<std::uint64_t> &covered)
{
    std::sort(covered.begin(), covered.end());
    covered.erase(std::unique(covered.begin(), covered.end()), covered.end());
    const int bpp = FPicture->BytesPerPixel();
    for (const std::uint64_t key : covered) {
        std::uint8_t *p = FPicture->ScanLine(int(key >> 32)) + std::ptrdiff_t(std::uint32_t(key)) * bpp;
        if (Pen.Mode == PenMode::Invert) {
            p[0] = std::uint8_t(~p[0]);
            p[1] = std::uint8_t(~p[1]);
            p[2] = std::uint8_t(~p[2]);
        } else {
            PutPixel(p, bpp, Pen.Color);
        }
    }
}

void Canvas::Line(QPoint from, QPoint to)
{
    std::vector<std::uint64_t> covered;
    CoverLine(from, to, covered);
    PaintCovered(covered);
}

void Canvas::FrameRect(const QRect &rect)
{
    if (IsEmpty(rect))
        return;
    // The four sides run through the middle of their band, so the pen's square fills the band
    // from the rectangle's edge inwards.
    const int width = std::max(Pen.Width, 1);
    const int inLo = (width - 1) / 2;
    const int inHi = width / 2;
    const int left = rect.x() + inLo;
    const int top = rect.y() + inLo;
    const int right = rect.x() + rect.width() - 1 - inHi;
    const int bottom = rect.y() + rect.height() - 1 - inHi;
    std::vector<std::uint64_t> covered;
    CoverLine({left, top}, {right, top}, covered);
    CoverLine({right, top}, {right, bottom}, covered);
    CoverLine({right, bottom}, {left, bottom}, covered);
    CoverLine({left, bottom}, {left, top}, covered);
    PaintCovered(covered);
}

QFont Canvas::QtFont() const
{
    QFont font(Font.Name);
    font.setPixelSize(std::max(Font.PixelHeight, 1));
    font.setBold(Font.Bold);
    font.setItalic(Font.Italic);
    font.setUnderline(Font.Underline);
    return font;
}

void Canvas::TextOut(QPoint at, const QString &text)
{
    const QString plain = WithPlainBreaks(text);
    const QFontMetrics metrics(QtFont());
    const QRect cell = metrics.boundingRect(QRect(at, QSize(1, 1)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, plain);
    DrawText(QRect(at.x(), at.y(), std::max(cell.width(), 1), std::max(cell.height(), 1)), plain, TextNoClip);
}

void Canvas::DrawText(const QRect &rect, const QString &text, unsigned flags)
{
    if (FPicture->Empty())
        return;
    QImage image = FPicture->WrapAsQImage();
    QPainter painter(&image);
    QRect clip = ClipRect();
    if (!(flags & TextNoClip))
        clip = Meet(clip, rect);
    if (IsEmpty(clip))
        return;
    painter.setClipRect(clip);
    painter.setFont(QtFont());
    painter.setPen(Font.Color);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(rect, QtFlagsOf(flags), WithPlainBreaks(text));
}

int Canvas::TextBlockHeight(const QRect &rect, const QString &text, unsigned flags) const
{
    const QFontMetrics metrics(QtFont());
    return metrics.boundingRect(rect, QtFlagsOf(flags) | Qt::TextDontClip, WithPlainBreaks(text)).height();
}

int Canvas::TextWidth(const QString &text) const { return QFontMetrics(QtFont()).horizontalAdvance(text); }

int Canvas::TextHeight(const QString &text) const
{
    return QFontMetrics(QtFont()).boundingRect(QRect(0, 0, 1, 1), Qt::TextDontClip, WithPlainBreaks(text)).height();
}

QStringList Canvas::FontFamilies()
{
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    return families;
}

}  // namespace lmk
