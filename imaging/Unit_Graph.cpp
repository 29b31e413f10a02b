// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Graph.h"

#include "imaging/Canvas.h"
#include "imaging/PictureFiles.h"
#include "imaging/Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

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


// 16.16 fixed point of the sharpening filter: weights in 1/65536, and a product is rounded by
// adding just under one half before the shift.
constexpr int kFixedShift = 16;
constexpr int kFixedOne = 1 << kFixedShift;
constexpr int kFixedHalfBelow = kFixedOne / 2 - 1;

constexpr float kSharpenMin = 2.0f;
constexpr float kSharpenMax = 5.0f;

// The rows of a picture as 24-bit pixels, fetched in order from top to bottom. A 24-bit
// picture gives its own rows; the rows of a 32-bit picture are converted into a ring of three
// buffers, enough for a filter that reads a row with its neighbours above and below.
class TRows24 {
public:
    explicit TRows24(const Bitmap &picture) : FPicture(picture)
    {
        if (picture.BytesPerPixel() == 4)
            FRing.resize(3 * std::size_t(picture.Width()) * 3);
    }

    const std::uint8_t *Row(int y)
    {
        if (FRing.empty())
            return FPicture.ScanLine(y);
        const std::size_t bytes = std::size_t(FPicture.Width()) * 3;
        std::uint8_t *row = FRing.data() + std::size_t(y % 3) * bytes;
        if (FConverted[y % 3] != y) {
            const std::uint8_t *s = FPicture.ScanLine(y);
            for (std::size_t i = 0, j = 0; i < bytes; i += 3, j += 4) {
                row[i] = s[j];
                row[i + 1] = s[j + 1];
                row[i + 2] = s[j + 2];
            }
            FConverted[y % 3] = y;
        }
        return row;
    }

private:
    const Bitmap &FPicture;
    std::vector<std::uint8_t> FRing;
    int FConverted[3] = {-1, -1, -1};
};

// One sharpened row: bytes 3 ... bytes - 4 (every channel of the inner pixels) of `out` from
// the source rows above, at and below.
void SharpenRow(const std::uint8_t *__restrict up, const std::uint8_t *__restrict centre,
                const std::uint8_t *__restrict down, std::uint8_t *__restrict out, std::size_t bytes,
                int centreWeight, int neighbourWeight)
{
    for (std::size_t i = 3; i + 3 < bytes; ++i) {
        const int sum = up[i] + centre[i - 3] + centre[i] + centre[i + 3] + down[i];
        const int v = ((centreWeight * centre[i] + kFixedHalfBelow) >> kFixedShift) -
                      ((neighbourWeight * sum + kFixedHalfBelow) >> kFixedShift);
        out[i] = Clamp(v);
    }
}

// One smoothing pass over the inner pixels, in place from top left to bottom right: the left
// neighbour and the row above are already smoothed. `average(sum, centre)` gives the new value
// from the sum of the eight neighbours and the old centre; it is taken by value, so that the
// pixel stores cannot alias what it refers to and that stays in registers.
template <class Average>
void SmoothInnerPixels(Bitmap &picture, Average average)
{
    const std::size_t last = (std::size_t(picture.Width()) - 1) * 3;  // first byte of the last column
    const int h = picture.Height();
    for (int y = 1; y + 1 < h; ++y) {
        const std::uint8_t *up = picture.ScanLine(y - 1);
        std::uint8_t *row = picture.ScanLine(y);
        const std::uint8_t *down = picture.ScanLine(y + 1);
        int left[3] = {row[0], row[1], row[2]};  // kept in registers: it was written one step ago
        for (std::size_t i = 3; i < last; i += 3)
            for (std::size_t c = 0; c < 3; ++c) {
                const std::size_t k = i + c;
                const int sum = up[k - 3] + up[k] + up[k + 3] + left[c] + row[k + 3] + down[k - 3] + down[k] + down[k + 3];
                left[c] = average(sum, row[k]);
                row[k] = std::uint8_t(left[c]);
            }
    }
}

// Edge row := Round((4 * inner + edge) / 5) over the inner columns. The quotient of an integer
// by 5 is never an exact half, so rounding the double quotient equals (4 * inner + edge + 2) div 5.
void BlendEdgeRow(std::uint8_t *edge, const std::uint8_t *inner, int width)
{
    const std::size_t last = (std::size_t(width) - 1) * 3;
    for (std::size_t k = 3; k < last; ++k)
        edge[k] = std::uint8_t((4 * inner[k] + edge[k] + 2) / 5);
}

void SmoothPass(Bitmap &picture, int centreWeight)
{
    const std::int64_t divisor = std::int64_t(centreWeight) + 8;
    // The eight neighbours and the weighted centre are summed in integers and divided in double
    // precision, truncated. A table of those quotients serves every sum that can occur as long
    // as it stays small; beyond that the division is done as written.
    constexpr std::int64_t kLargestTable = 1 << 16;
    if (centreWeight >= 0 && divisor * 255 < kLargestTable) {
        std::vector<std::uint8_t> quotient(std::size_t(divisor * 255 + 1));
        for (std::size_t a = 0; a < quotient.size(); ++a)
            quotient[a] = std::uint8_t(Trunc(double(a) / double(divisor)));
        SmoothInnerPixels(picture, [q = quotient.data(), w = centreWeight](int sum, int centre) {
            return int(q[sum + w * centre]);
        });
    } else {
        SmoothInnerPixels(picture, [divisor, w = std::int64_t(centreWeight)](int sum, int centre) {
            return int(Clamp(Trunc(FDiv(double(sum + w * centre), double(divisor)))));
        });
    }
    const int h = picture.Height();
    BlendEdgeRow(picture.ScanLine(0), picture.ScanLine(1), picture.Width());
    BlendEdgeRow(picture.ScanLine(h - 1), picture.ScanLine(h - 2), picture.Width());
}

// The largest factor of the saturation filter.
constexpr double kSaturationMaxFactor = 50.0;
constexpr int kSaturationMaxPercent = 5000;

// A pixel's mean as the saturation filter computes it, in double precision and in this order.
// Mathematically it is (b + g + r) / 3; the last bits can differ, and the truncation after the
// scaling depends on them.
double SaturationMean(int b, int g, int r)
{
    const int sum = b + g + r;
    const double squares = double(b * b + g * g + r * r);
    const double m = (255.0 * sum) / std::sqrt(squares * 195075.0) * std::sqrt(squares);
    return std::sqrt(m * m / 3.0);
}

void SaturateExactly(std::uint8_t *p, double factor)
{
    const double mean = SaturationMean(p[0], p[1], p[2]);
    for (int c = 0; c < 3; ++c)
        p[c] = Clamp(Trunc(mean + factor * (p[c] - mean)));
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

void Sharpen(Bitmap &picture, float strength)
{
    const int w = picture.Width();
    const int h = picture.Height();
    if (w < 3 || h < 3)
        return;
    if (!(strength >= kSharpenMin && strength <= kSharpenMax))  // also refuses NaN
        return;
    const float k = (strength - 1.0f) / 5.0f;
    const int neighbourWeight = Round(double(k) * kFixedOne);
    const int centreWeight = Round(double(strength) * kFixedOne);

    // Reading the source in either format and writing a 24-bit result sets the format and
    // filters in one pass.
    Bitmap result(w, h, PixelFormat::pf24bit);
    TRows24 source(picture);
    const std::size_t bytes = std::size_t(w) * 3;
    std::memcpy(result.ScanLine(0), source.Row(0), bytes);
    for (int y = 1; y + 1 < h; ++y) {
        const std::uint8_t *centre = source.Row(y);
        std::uint8_t *out = result.ScanLine(y);
        SharpenRow(source.Row(y - 1), centre, source.Row(y + 1), out, bytes, centreWeight, neighbourWeight);
        std::memcpy(out, centre, 3);
        std::memcpy(out + bytes - 3, centre + bytes - 3, 3);
    }
    std::memcpy(result.ScanLine(h - 1), source.Row(h - 1), bytes);
    picture = std::move(result);
}

void Smooth(Bitmap &picture, int n)
{
    // The edge rows are blended with the row inside them, which a picture one row high lacks.
    if (picture.Height() < 2)
        return;
    picture.SetFormat(PixelFormat::pf24bit);
    if (picture.Width() < 3)
        return;  // no inner column
    constexpr int kOnePassLimit = 7;
    const int centreWeight = n <= kOnePassLimit ? kOnePassLimit - n : kOnePassLimit;
    const int passes = n <= kOnePassLimit ? 1 : n - (kOnePassLimit - 1);
    for (int pass = 0; pass < passes; ++pass)
        SmoothPass(picture, centreWeight);
}

void Saturate(Bitmap &picture, int value)
{
    double factor = std::fabs(value / 100.0);
    if (factor > kSaturationMaxFactor)
        factor = kSaturationMaxFactor;
    picture.SetFormat(PixelFormat::pf24bit);
    if (factor == 1.0)
        return;
    // In exact arithmetic a channel becomes Trunc(t) with
    //     t = S / 3 + (p / 100) (v - S / 3) = ((100 - p) S + 3 p v) / 300,
    // p = |value| limited to 5000, S = B + G + R. The double computation lands within 1e-9 of t
    // (values below 13 000, a handful of roundings), while a t that is not a whole number is at
    // least 1/300 away from the next one: the integer quotient then gives the same byte. Only
    // where t is a whole number 1 ... 255 may the double result fall either side of it; such
    // pixels are computed exactly as written.
    const int percent = int(std::min<std::int64_t>(std::abs(std::int64_t(value)), kSaturationMaxPercent));
    const int sumWeight = 100 - percent;
    const int channelWeight = 3 * percent;
    constexpr int kDenominator = 300;
    const int w = picture.Width();
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const int b = p[0], g = p[1], r = p[2];
            if (b == g && g == r)
                continue;  // gray (this includes the sums 0 and 765)
            const int base = sumWeight * (b + g + r);
            const int nb = base + channelWeight * b;
            const int ng = base + channelWeight * g;
            const int nr = base + channelWeight * r;
            const auto onWholeNumber = [](int numerator) {
                return numerator % kDenominator == 0 && numerator >= kDenominator && numerator <= 255 * kDenominator;
            };
            if (onWholeNumber(nb) || onWholeNumber(ng) || onWholeNumber(nr)) {
                SaturateExactly(p, factor);
                continue;
            }
            p[0] = Clamp(nb / kDenominator);  // a negative t truncates to 0 or below: 0 either way
            p[1] = Clamp(ng / kDenominator);
            p[2] = Clamp(nr / kDenominator);
        }
    }
}

}  // namespace lmk
