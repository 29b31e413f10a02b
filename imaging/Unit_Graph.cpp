// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Graph.h"

#include "imaging/Canvas.h"
#include "imaging/PictureFiles.h"
#include "imaging/Resample.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace lmk {

namespace {

// A product of two sizes, formed in integers before the division (64 bits, so large sizes
// cannot overflow).
int RoundedRatio(std::int64_t a, std::int64_t b, std::int64_t divisor)
{
    return Round(FDiv(double(a * b), double(divisor)));
}

// The whole source stretched by area averaging onto a new picture of the given size.
Bitmap AreaScaled(const Bitmap &source, int width, int height, PixelFormat format)
{
    Bitmap target(width, height, format);
    if (target.Empty())
        return target;
    if (source.Empty()) {
        target.Fill(0, 0, 0);
        return target;
    }
    Canvas canvas(target);
    canvas.Stretch = StretchMode::Halftone;
    canvas.StretchDraw(QRect(0, 0, width, height), source);
    return target;
}

std::uint32_t Load32(const std::uint8_t *p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store32(std::uint8_t *p, std::uint32_t v) { std::memcpy(p, &v, 4); }

// Quarter turns of a 32-bit picture, tile by tile, so that both the rows read and the rows
// written of one tile stay in the cache.
Bitmap Turned(const Bitmap &picture, bool clockwise)
{
    constexpr int kTile = 64;
    const int w = picture.Width();
    const int h = picture.Height();
    Bitmap turned(h, w, PixelFormat::pf32bit);
    for (int ty = 0; ty < w; ty += kTile) {        // rows of the turned picture
        for (int tx = 0; tx < h; tx += kTile) {    // columns of the turned picture
            const int yEnd = std::min(ty + kTile, w);
            const int xEnd = std::min(tx + kTile, h);
            for (int y = ty; y < yEnd; ++y) {
                std::uint8_t *d = turned.ScanLine(y);
                // clockwise: new (x, y) comes from old (y, h - 1 - x); else from old (w - 1 - y, x)
                const int oldColumn = clockwise ? y : w - 1 - y;
                for (int x = tx; x < xEnd; ++x) {
                    const int oldRow = clockwise ? h - 1 - x : x;
                    Store32(d + std::ptrdiff_t(x) * 4, Load32(picture.ScanLine(oldRow) + std::ptrdiff_t(oldColumn) * 4));
                }
            }
        }
    }
    return turned;
}

void MirrorLeftRight(Bitmap &picture)
{
    const int w = picture.Width();
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *row = picture.ScanLine(y);
        for (int l = 0, r = w - 1; l < r; ++l, --r) {
            const std::uint32_t a = Load32(row + std::ptrdiff_t(l) * 4);
            Store32(row + std::ptrdiff_t(l) * 4, Load32(row + std::ptrdiff_t(r) * 4));
            Store32(row + std::ptrdiff_t(r) * 4, a);
        }
    }
}

void MirrorTopBottom(Bitmap &picture)
{
    const std::size_t bytes = std::size_t(picture.Width()) * 4;
    for (int t = 0, b = picture.Height() - 1; t < b; ++t, --b)
        std::swap_ranges(picture.ScanLine(t), picture.ScanLine(t) + bytes, picture.ScanLine(b));
}

}  // namespace

void ClearCanvas(Canvas &canvas)
{
    canvas.BrushColor = Qt::white;
    canvas.FillRect(canvas.ClipRect());
}

void ScaledCopy(const Bitmap &source, Bitmap &target, int boxWidth, int boxHeight)
{
    const int w = source.Width();
    const int h = source.Height();
    int tw = w;
    int th = h;
    if (w < boxWidth && h < boxHeight) {
        // small pictures are never enlarged
    } else if (w >= h) {
        tw = boxWidth;
        th = RoundedRatio(boxWidth, h, w);
    } else {
        th = boxHeight;
        tw = RoundedRatio(boxHeight, w, h);
    }
    target = AreaScaled(source, tw, th, source.Format());
}

void ResizeHalftone(Bitmap &picture, int newWidth, int newHeight, bool keepProportions)
{
    const int w = picture.Width();
    const int h = picture.Height();
    int tw = newWidth;
    int th = newHeight;
    if (keepProportions) {
        if (h >= w) {
            th = newHeight;
            tw = Trunc(newHeight * FDiv(w, h));
        } else {
            tw = newWidth;
            th = Trunc(newWidth * FDiv(h, w));
        }
        if (th > newHeight) {
            tw = Trunc(newHeight * FDiv(tw, th));
            th = newHeight;
        }
    }
    picture = AreaScaled(picture, tw, th, PixelFormat::pfDevice);
}

void ResizeHighQuality(Bitmap &picture, int width, int height, bool keepProportions, InterpolationMode mode)
{
    const int w = picture.Width();
    const int h = picture.Height();
    if (keepProportions) {
        if (h >= w)
            width = Trunc(height * FDiv(w, h));
        else
            height = Trunc(width * FDiv(h, w));
    }
    if (!Bitmap::FitsInMemory(width, height))
        throw PictureTooLarge();
    Bitmap result(width, height, PixelFormat::pf32bit);
    if (result.Empty() || picture.Empty()) {
        result.Fill(0, 0, 0);
        picture = std::move(result);
        return;
    }
    // The picture is scaled to (width + 2) x (height + 2) and placed at (-1, -1): its outermost
    // ring of pixels falls outside, so the border is interpolated from inner samples too. Only
    // the inner width x height outputs are computed.
    const ResampleKernel kernel =
        mode == InterpolationMode::HighQualityBicubic ? ResampleKernel::CatmullRom : ResampleKernel::Triangle;
    const bool prefilter = mode != InterpolationMode::Default;
    const AxisWeights xs = MakeAxisWeights(w, width + 2, 1, width, kernel, prefilter);
    const AxisWeights ys = MakeAxisWeights(h, height + 2, 1, height, kernel, prefilter);
    ResampleInto(picture, QRect(0, 0, w, h), result, QPoint(0, 0), xs, ys);
    picture = std::move(result);
}

Bitmap &BlendBitmaps(Bitmap &a, Bitmap &b, int weight)
{
    weight = std::clamp(weight, 0, 255);
    a.SetFormat(PixelFormat::pf24bit);
    b.SetFormat(PixelFormat::pf24bit);
    const int rows = std::min(a.Height(), b.Height());
    const int bytes = std::min(3 * a.Width(), 3 * b.Width());
    for (int y = 0; y < rows; ++y) {
        std::uint8_t *pa = a.ScanLine(y);
        const std::uint8_t *pb = b.ScanLine(y);
        for (int i = 0; i < bytes; ++i)
            pa[i] = std::uint8_t((weight * pa[i] + (255 - weight) * pb[i]) / 255);
    }
    return a;
}

void Brighten(Bitmap &picture, int amount)
{
    const int offset = int(std::clamp<std::int64_t>(std::int64_t(amount) * 255 / 200, -255, 255));
    std::array<std::uint8_t, 256> table;
    for (int v = 0; v < 256; ++v)
        table[std::size_t(v)] = Clamp(v + offset);
    picture.SetFormat(PixelFormat::pf24bit);
    const std::size_t bytes = std::size_t(picture.Width()) * 3;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = 0; i < bytes; ++i)
            p[i] = table[p[i]];
    }
}

bool LoadPictureFile(const QString &fileName, Bitmap &picture)
{
    Bitmap decoded;
    try {
        decoded = DecodeWithQt(fileName);
    } catch (const PictureFileError &) {
        decoded = Bitmap();  // unreadable: an empty picture, as for a file nothing reads
    } catch (const PictureTooLarge &) {
        decoded = Bitmap();
    }
    decoded.SetFormat(PixelFormat::pf32bit);
    picture = std::move(decoded);
    return true;
}

void RotateFlip(Bitmap &picture, int kind)
{
    if (kind < 0 || kind > 3)
        throw std::invalid_argument("RotateFlip: unknown kind");
    picture.SetFormat(PixelFormat::pf32bit);
    switch (kind) {
    case 0:
        picture = Turned(picture, true);
        break;
    case 1:
        picture = Turned(picture, false);
        break;
    case 2:
        MirrorLeftRight(picture);
        break;
    case 3:
        MirrorTopBottom(picture);
        break;
    }
}

}  // namespace lmk
