// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Tone.h"

#include "imaging/Canvas.h"
#include "imaging/Numeric.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lmk {

namespace {

using ByteTable = std::array<std::uint8_t, 256>;

// Red and green shares of the sepia tint per unit of amount.
constexpr double kSepiaRedShare = 0.444;
constexpr double kSepiaGreenShare = 0.167;

// The brightness-and-contrast improvement's colour adjustment.
constexpr std::int16_t kAutoAdjustBrightness = -20;
constexpr std::int16_t kAutoAdjustContrast = 10;

constexpr std::uint32_t kOpaque = 0xFF000000u;

template <class Map>
ByteTable TableOf(Map &&map)
{
    ByteTable table;
    for (int v = 0; v < 256; ++v)
        table[std::size_t(v)] = map(v);
    return table;
}

// (B + G + R) div 3 for every sum 0 ... 765: one lookup instead of a division per pixel.
const std::array<std::uint8_t, 766> &GrayOfSum()
{
    static const std::array<std::uint8_t, 766> table = [] {
        std::array<std::uint8_t, 766> t;
        for (int sum = 0; sum < 766; ++sum)
            t[std::size_t(sum)] = std::uint8_t(sum / 3);
        return t;
    }();
    return table;
}

inline std::uint32_t Load32(const std::uint8_t *p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void Store32(std::uint8_t *p, std::uint32_t v) { std::memcpy(p, &v, 4); }

inline std::uint32_t Load24(const std::uint8_t *p) { return p[0] | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16; }

inline void Store24(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
}

// Pixels are read and written as 32-bit words B | G << 8 | R << 16 | X << 24, whatever their
// size in memory, so that a change of format and the operation share one pass. `map` turns
// such a word into the new pixel; for a 32-bit target it gives the fourth byte too.

// Pixels from..w - 1 of one row. Three-byte pixels move as four-byte words except the last
// of the row (which may end the buffer): a word's fourth byte is the next pixel's blue, which
// is written back as read when the row is mapped in place, and overwritten by the next pixel
// otherwise.
//
// `map` is taken by value: a local copy cannot be aliased by the pixel stores, so what it refers
// to stays in registers.
template <int FromBytes, int ToBytes, class Map>
void MapRow(const std::uint8_t *s, std::uint8_t *d, int x, int w, Map map)
{
    s += std::ptrdiff_t(x) * FromBytes;
    d += std::ptrdiff_t(x) * ToBytes;
    for (; x + 1 < w; ++x, s += FromBytes, d += ToBytes) {
        const std::uint32_t v = Load32(s);
        const std::uint32_t m = map(v);
        Store32(d, ToBytes == 3 && FromBytes == 3 ? (m & 0xFFFFFFu) | (v & 0xFF000000u) : m);
    }
    if (x < w) {
        const std::uint32_t m = map(FromBytes == 4 ? Load32(s) : Load24(s));
        if constexpr (ToBytes == 4)
            Store32(d, m);
        else
            Store24(d, m);
    }
}

#if defined(__SSE2__)
// Four pixels at a time in the 32-bit lanes of a vector, in the word layout above (three-byte
// pixels get X = 0). Three-byte pixels are unpacked from 12 bytes and packed back into 12.
template <int Bytes>
inline __m128i LoadFour(const std::uint8_t *p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    if constexpr (Bytes == 4)
        return v;
    // 64-bit halves holding bytes 0 ... 7 and 6 ... 13: two pixels each, at bytes 0 and 3.
    const __m128i t = _mm_unpacklo_epi64(v, _mm_srli_si128(v, 6));
    const __m128i first = _mm_and_si128(t, _mm_set1_epi64x(0xFFFFFF));
    const __m128i second = _mm_and_si128(_mm_slli_epi64(t, 8), _mm_set1_epi64x(0xFFFFFF00000000));
    return _mm_or_si128(first, second);
}

template <int Bytes>
inline void StoreFour(std::uint8_t *p, __m128i v)
{
    if constexpr (Bytes == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v);
    } else {
        // Six bytes in each 64-bit half, then the upper half moved next to the lower one.
        const __m128i t = _mm_or_si128(_mm_and_si128(v, _mm_set1_epi64x(0xFFFFFF)),
                                       _mm_and_si128(_mm_srli_epi64(v, 8), _mm_set1_epi64x(0xFFFFFF000000)));
        const __m128i packed = _mm_or_si128(_mm_and_si128(t, _mm_set_epi64x(0, -1)),
                                            _mm_srli_si128(_mm_and_si128(t, _mm_set_epi64x(-1, 0)), 2));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(p), packed);
        Store32(p + 8, std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8))));
    }
}

// (B + G + R) div 3 of four pixels, one per 32-bit lane: the sum is at most 765, where
// (sum * 43691) >> 17 is exactly the quotient.
inline __m128i GrayFour(__m128i v)
{
    const __m128i low = _mm_set1_epi32(0xFF);
    const __m128i sum = _mm_add_epi32(_mm_add_epi32(_mm_and_si128(v, low), _mm_and_si128(_mm_srli_epi32(v, 8), low)),
                                      _mm_and_si128(_mm_srli_epi32(v, 16), low));
    return _mm_srli_epi32(_mm_mulhi_epu16(sum, _mm_set1_epi32(43691)), 1);
}

inline __m128i InAllThreeChannels(__m128i gray)
{
    return _mm_or_si128(gray, _mm_or_si128(_mm_slli_epi32(gray, 8), _mm_slli_epi32(gray, 16)));
}
#endif

// The rows a pass reads or writes: a picture's own rows, or the 24-bit rows a 32-bit picture
// is narrowed into inside its own buffer.
struct TRows {
    std::uint8_t *Base;
    std::ptrdiff_t RowBytes;
    int W, H;
    std::uint8_t *ScanLine(int y) const { return Base + std::ptrdiff_t(y) * RowBytes; }
    int Width() const { return W; }
    int Height() const { return H; }
};

TRows RowsOf(Bitmap &picture) { return {picture.ScanLine(0), picture.Stride(), picture.Width(), picture.Height()}; }

// Calls pass(from, to, FromBytes, ToBytes) so that the picture ends in `format` (24 or 32
// bits): in place when it has that pixel size already or is narrowed from 32 to 24 bits (every
// pass reads a pixel before it writes it, from the top left on), else into a new picture that
// replaces it.
template <class Pass>
void InFormat(Bitmap &picture, PixelFormat format, Pass &&pass)
{
    using Three = std::integral_constant<int, 3>;
    using Four = std::integral_constant<int, 4>;
    const int fromBytes = picture.BytesPerPixel();
    const int toBytes = Bitmap::BytesPerPixelOf(format);
    if (fromBytes == toBytes) {
        const TRows rows = RowsOf(picture);
        fromBytes == 3 ? pass(rows, rows, Three{}, Three{}) : pass(rows, rows, Four{}, Four{});
        if (picture.Format() != format)
            picture.SetFormat(format);  // 32 bits and device differ only in name
    } else if (toBytes == 3) {
        const TRows narrowed{picture.NarrowedScanLine(0), Bitmap::StrideOf(picture.Width(), format), picture.Width(),
                             picture.Height()};
        pass(RowsOf(picture), narrowed, Four{}, Three{});
        picture.FinishNarrowing();
    } else {
        Bitmap result(picture.Width(), picture.Height(), format);
        pass(RowsOf(picture), RowsOf(result), Three{}, Four{});
        picture = std::move(result);
    }
}

// Every pixel through `map`, the picture ending in `format`.
template <class Map>
void MapInto(Bitmap &picture, PixelFormat format, Map &&map)
{
    InFormat(picture, format, [&](const TRows &from, const TRows &to, auto fromBytes, auto toBytes) {
        for (int y = 0; y < from.Height(); ++y)
            MapRow<decltype(fromBytes)::value, decltype(toBytes)::value>(from.ScanLine(y), to.ScanLine(y), 0,
                                                                         from.Width(), map);
    });
}

// The same with `kernel` mapping four pixels at a time (a vector to a vector) wherever a
// 16-byte load stays inside the row; `map` does the rest and gives the same pixels.
template <class Kernel, class Map>
void MapIntoByFour(Bitmap &picture, PixelFormat format, Kernel &&kernel, Map &&map)
{
#if defined(__SSE2__)
    InFormat(picture, format, [&](const TRows &from, const TRows &to, auto fromBytes, auto toBytes) {
        constexpr int FB = decltype(fromBytes)::value;
        constexpr int TB = decltype(toBytes)::value;
        const int w = from.Width();
        const int lastGroup = w - (FB == 3 ? 6 : 4);  // a 16-byte load from here ends within the row
        const auto four = kernel;  // a local copy, out of reach of the pixel stores
        for (int y = 0; y < from.Height(); ++y) {
            const std::uint8_t *s = from.ScanLine(y);
            std::uint8_t *d = to.ScanLine(y);
            int x = 0;
            for (; x <= lastGroup; x += 4)
                StoreFour<TB>(d + std::ptrdiff_t(x) * TB, four(LoadFour<FB>(s + std::ptrdiff_t(x) * FB)));
            MapRow<FB, TB>(s, d, x, w, map);
        }
    });
#else
    (void)kernel;
    MapInto(picture, format, map);
#endif
}

inline std::uint32_t SumOfChannels(std::uint32_t v) { return (v & 0xFF) + (v >> 8 & 0xFF) + (v >> 16 & 0xFF); }

// A map through one table per channel (blue, green, red).
struct TChannelTables {
    const ByteTable &Blue, &Green, &Red;
    std::uint32_t operator()(std::uint32_t v) const
    {
        return Blue[v & 0xFF] | std::uint32_t(Green[v >> 8 & 0xFF]) << 8 | std::uint32_t(Red[v >> 16 & 0xFF]) << 16;
    }
};

// Every pixel through one table per channel, the picture ending in `format`. A 32-bit pixel
// keeps its fourth byte, a pixel that had none gets 255.
void MapChannels(Bitmap &picture, PixelFormat format, const ByteTable &blue, const ByteTable &green, const ByteTable &red)
{
    // Blue and green looked up together, as the 16-bit word they form in memory: one lookup
    // fewer per pixel, from a table that still fits the cache.
    std::vector<std::uint16_t> blueGreen(1 << 16);
    for (int g = 0; g < 256; ++g)
        for (int b = 0; b < 256; ++b)
            blueGreen[std::size_t(g << 8 | b)] = std::uint16_t(blue[std::size_t(b)] | green[std::size_t(g)] << 8);
    InFormat(picture, format, [&](const TRows &from, const TRows &to, auto fromBytes, auto toBytes) {
        constexpr int FB = decltype(fromBytes)::value;
        constexpr int TB = decltype(toBytes)::value;
        // Locals, so that the byte stores (which may alias anything in memory) do not make
        // the compiler fetch the tables' addresses and the width again for every pixel.
        const std::uint16_t *const tbg = blueGreen.data();
        const std::uint8_t *const tr = red.data();
        const int w = from.Width();
        for (int y = 0; y < from.Height(); ++y) {
            const std::uint8_t *s = from.ScanLine(y);
            std::uint8_t *d = to.ScanLine(y);
            for (int x = 0; x < w; ++x, s += FB, d += TB) {
                std::uint16_t bg;
                std::memcpy(&bg, s, 2);
                bg = tbg[bg];
                const std::uint8_t r = tr[s[2]];
                std::memcpy(d, &bg, 2);
                d[2] = r;
                if constexpr (FB == 3 && TB == 4)
                    d[3] = 255;
            }
        }
    });
}

struct ChannelRange {
    std::array<int, 3> Min{255, 255, 255};  // blue, green, red
    std::array<int, 3> Max{0, 0, 0};

    void Include(int channel, int v)
    {
        Min[std::size_t(channel)] = std::min(Min[std::size_t(channel)], v);
        Max[std::size_t(channel)] = std::max(Max[std::size_t(channel)], v);
    }
};

// The smallest and largest value of each channel. With SSE2 whole blocks of pixels are
// compared sixteen bytes at a time: a block of 4 four-byte or 16 three-byte pixels puts every
// byte position in the same channel in every block.
template <int Bytes>
ChannelRange RangeOf(const Bitmap &picture)
{
    ChannelRange range;
    const std::size_t rowBytes = std::size_t(picture.Width()) * Bytes;
    std::size_t blockBytes = 0;
#if defined(__SSE2__)
    constexpr int kVectors = Bytes == 3 ? 3 : 1;
    blockBytes = rowBytes - rowBytes % (16 * kVectors);
    __m128i low[kVectors], high[kVectors];
    for (int k = 0; k < kVectors; ++k) {
        low[k] = _mm_set1_epi8(char(0xFF));
        high[k] = _mm_setzero_si128();
    }
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = 0; i < blockBytes; i += 16 * kVectors)
            for (int k = 0; k < kVectors; ++k) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 16 * k));
                low[k] = _mm_min_epu8(low[k], v);
                high[k] = _mm_max_epu8(high[k], v);
            }
    }
    if (blockBytes > 0 && picture.Height() > 0) {
        std::uint8_t lows[16 * kVectors], highs[16 * kVectors];
        for (int k = 0; k < kVectors; ++k) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(lows + 16 * k), low[k]);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(highs + 16 * k), high[k]);
        }
        for (int i = 0; i < 16 * kVectors; ++i)
            if (i % Bytes < 3) {
                range.Include(i % Bytes, lows[i]);
                range.Include(i % Bytes, highs[i]);
            }
    }
#endif
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = blockBytes; i < rowBytes; i += Bytes)
            for (int c = 0; c < 3; ++c)
                range.Include(c, p[i + std::size_t(c)]);
    }
    return range;
}

}  // namespace

void Grayscale(Bitmap &picture)
{
    const auto &grayOf = GrayOfSum();
    MapIntoByFour(
        picture, PixelFormat::pf24bit,
#if defined(__SSE2__)
        [](__m128i v) { return InAllThreeChannels(GrayFour(v)); },
#else
        nullptr,
#endif
        [&](std::uint32_t v) { return grayOf[SumOfChannels(v)] * 0x010101u; });
}

void Sepia(Bitmap &picture, int amount)
{
    // Limited to +-255 (the table and the saturating adds below then agree for every gray) and
    // at both ends of the result: a negative amount must not wrap dark grays round to bright
    // values.
    const int redAdd = std::clamp(Round(amount * kSepiaRedShare), -255, 255);
    const int greenAdd = std::clamp(Round(amount * kSepiaGreenShare), -255, 255);
    const ByteTable green = TableOf([&](int g) { return Clamp(g + greenAdd); });
    const ByteTable red = TableOf([&](int g) { return Clamp(g + redAdd); });
    const auto &grayOf = GrayOfSum();
    // Working in place gives the same bytes as tinting a 24-bit copy and drawing it back; the
    // drawing makes a 32-bit picture opaque.
    const auto tint = [&](std::uint32_t v) {
        const std::uint32_t gray = grayOf[SumOfChannels(v)];
        return gray | std::uint32_t(green[gray]) << 8 | std::uint32_t(red[gray]) << 16 | kOpaque;
    };
#if defined(__SSE2__)
    const auto bytes = [](int b, int g, int r, int x) { return _mm_set1_epi32(int(std::uint32_t(x) << 24 | r << 16 | g << 8 | b)); };
    const __m128i raise = bytes(0, std::max(greenAdd, 0), std::max(redAdd, 0), 255);
    const __m128i lower = bytes(0, std::max(-greenAdd, 0), std::max(-redAdd, 0), 0);
    const auto tintFour = [&](__m128i v) { return _mm_subs_epu8(_mm_adds_epu8(InAllThreeChannels(GrayFour(v)), raise), lower); };
#else
    const std::nullptr_t tintFour = nullptr;
#endif
    MapIntoByFour(picture, picture.Format(), tintFour, tint);
}

void InvertColors(Bitmap &picture)
{
    picture.SetFormat(PixelFormat::pf32bit);
    const std::size_t bytes = std::size_t(picture.Width()) * 4;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = 0; i < bytes; ++i)
            p[i] = std::uint8_t(~p[i]);
    }
}

void Colorize(Bitmap &picture, QColor tint)
{
    const auto scaleBy = [](int t) { return TableOf([t](int v) { return std::uint8_t(Div(t * v, 255)); }); };
    const QColor rgb = tint.toRgb();
    const ByteTable blue = scaleBy(rgb.blue()), green = scaleBy(rgb.green()), red = scaleBy(rgb.red());
#if defined(__SSE2__)
    // Channels as 16-bit lanes: t * v is at most 65025, and (x + 1 + (x >> 8)) >> 8 is exactly
    // x div 255 for every such x.
    const __m128i factors = _mm_set_epi16(0, short(rgb.red()), short(rgb.green()), short(rgb.blue()), 0,
                                          short(rgb.red()), short(rgb.green()), short(rgb.blue()));
    const auto scaleTwo = [&](__m128i channels) {
        const __m128i x = _mm_mullo_epi16(channels, factors);
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8);
    };
    const auto scaleFour = [&](__m128i v) {
        const __m128i zero = _mm_setzero_si128();
        return _mm_packus_epi16(scaleTwo(_mm_unpacklo_epi8(v, zero)), scaleTwo(_mm_unpackhi_epi8(v, zero)));
    };
#else
    const std::nullptr_t scaleFour = nullptr;
#endif
    MapIntoByFour(picture, PixelFormat::pf24bit, scaleFour, TChannelTables{blue, green, red});
}

bool AutoLevels(Bitmap &picture)
{
    const ChannelRange range = picture.BytesPerPixel() == 3 ? RangeOf<3>(picture) : RangeOf<4>(picture);
    std::array<ByteTable, 3> tables{};
    try {
        for (std::size_t c = 0; c < 3; ++c) {
            const double factor = FDiv(255.0, range.Max[c] - range.Min[c]);
            // Only values within the channel's range occur; the table holds exactly the
            // factor-then-multiply-then-truncate result for each of them.
            for (int v = range.Min[c]; v <= range.Max[c]; ++v)
                tables[c][std::size_t(v)] = std::uint8_t(Trunc((v - range.Min[c]) * factor));
        }
    } catch (const FloatDivisionByZero &) {
        picture.SetFormat(PixelFormat::pf24bit);
        return false;  // a flat channel: no pixel has been changed
    }
    MapChannels(picture, PixelFormat::pf24bit, tables[0], tables[1], tables[2]);
    return true;
}

void AutoAdjust(Bitmap &picture)
{
    TColorAdjustment adjustment;
    {
        Canvas canvas(picture);
        adjustment = canvas.ColorAdjustment();
        adjustment.Size = sizeof(TColorAdjustment);
        adjustment.IlluminantIndex = 0;
        adjustment.Brightness = kAutoAdjustBrightness;
        adjustment.Contrast = kAutoAdjustContrast;
        adjustment.RedGreenTint = 0;
        canvas.SetColorAdjustment(adjustment);  // refuses a record the canvas would refuse
    }
    // Copying the picture onto itself at 1:1 in halftone mode only sends every channel through
    // the record's transfer curve (a fresh canvas reports no colourfulness to mix); the same
    // curves as tables, applied in the pass that sets 32 bits.
    const auto curve = [&](std::uint16_t gamma) { return TableOf([&](int v) { return TransferValue(adjustment, gamma, v); }); };
    MapChannels(picture, PixelFormat::pf32bit, curve(adjustment.BlueGamma), curve(adjustment.GreenGamma),
                curve(adjustment.RedGamma));
}

}  // namespace lmk
