// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Unit_Tone.h"

#include "imaging/Canvas.h"
#include "imaging/Numeric.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace lmk {

namespace {

using ByteTable = std::array<std::uint8_t, 256>;

// Red and green shares of the sepia tint per unit of amount.
constexpr double kSepiaRedShare = 0.444;
constexpr double kSepiaGreenShare = 0.167;

// The brightness-and-contrast improvement's colour adjustment.
constexpr std::int16_t kAutoAdjustBrightness = -20;
constexpr std::int16_t kAutoAdjustContrast = 10;

template <class Map>
ByteTable TableOf(Map &&map)
{
    ByteTable table;
    for (int v = 0; v < 256; ++v)
        table[std::size_t(v)] = map(v);
    return table;
}

// Applies one table per channel (blue, green, red) to every pixel of a picture with
// `BytesPerPixel` bytes per pixel; a fourth byte is set to 255, as drawing on a 32-bit picture
// does.
template <int BytesPerPixel>
void MapChannels(Bitmap &picture, const ByteTable &blue, const ByteTable &green, const ByteTable &red)
{
    const std::size_t bytes = std::size_t(picture.Width()) * BytesPerPixel;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = 0; i < bytes; i += BytesPerPixel) {
            p[i] = blue[p[i]];
            p[i + 1] = green[p[i + 1]];
            p[i + 2] = red[p[i + 2]];
            if constexpr (BytesPerPixel == 4)
                p[i + 3] = 255;
        }
    }
}

// The gray mean of (B + G + R) div 3 goes to blue; green and red get it through their tables.
template <int BytesPerPixel>
void TintGray(Bitmap &picture, const ByteTable &green, const ByteTable &red)
{
    const std::size_t bytes = std::size_t(picture.Width()) * BytesPerPixel;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = 0; i < bytes; i += BytesPerPixel) {
            const unsigned gray = (unsigned(p[i]) + p[i + 1] + p[i + 2]) / 3;
            p[i] = std::uint8_t(gray);
            p[i + 1] = green[gray];
            p[i + 2] = red[gray];
            if constexpr (BytesPerPixel == 4)
                p[i + 3] = 255;
        }
    }
}

struct ChannelRange {
    std::array<int, 3> Min{255, 255, 255};  // blue, green, red
    std::array<int, 3> Max{0, 0, 0};
};

ChannelRange RangeOf(const Bitmap &picture24)
{
    std::uint8_t minB = 255, minG = 255, minR = 255, maxB = 0, maxG = 0, maxR = 0;
    const std::size_t bytes = std::size_t(picture24.Width()) * 3;
    for (int y = 0; y < picture24.Height(); ++y) {
        const std::uint8_t *p = picture24.ScanLine(y);
        for (std::size_t i = 0; i < bytes; i += 3) {
            minB = std::min(minB, p[i]);
            maxB = std::max(maxB, p[i]);
            minG = std::min(minG, p[i + 1]);
            maxG = std::max(maxG, p[i + 1]);
            minR = std::min(minR, p[i + 2]);
            maxR = std::max(maxR, p[i + 2]);
        }
    }
    return {{minB, minG, minR}, {maxB, maxG, maxR}};
}

}  // namespace

void Grayscale(Bitmap &picture)
{
    picture.SetFormat(PixelFormat::pf24bit);
    const std::size_t bytes = std::size_t(picture.Width()) * 3;
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (std::size_t i = 0; i < bytes; i += 3) {
            const auto gray = std::uint8_t((unsigned(p[i]) + p[i + 1] + p[i + 2]) / 3);
            p[i] = p[i + 1] = p[i + 2] = gray;
        }
    }
}

void Sepia(Bitmap &picture, int amount)
{
    const int redAdd = Round(amount * kSepiaRedShare);
    const int greenAdd = Round(amount * kSepiaGreenShare);
    // Limited at both ends: a negative amount must not wrap dark grays round to bright values.
    const ByteTable green = TableOf([&](int g) { return Clamp(g + greenAdd); });
    const ByteTable red = TableOf([&](int g) { return Clamp(g + redAdd); });
    // Working in place gives the same bytes as tinting a 24-bit copy and drawing it back.
    if (picture.BytesPerPixel() == 3)
        TintGray<3>(picture, green, red);
    else
        TintGray<4>(picture, green, red);
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
    picture.SetFormat(PixelFormat::pf24bit);
    MapChannels<3>(picture, scaleBy(rgb.blue()), scaleBy(rgb.green()), scaleBy(rgb.red()));
}

bool AutoLevels(Bitmap &picture)
{
    picture.SetFormat(PixelFormat::pf24bit);
    const ChannelRange range = RangeOf(picture);
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
        return false;  // a flat channel: nothing has been changed yet
    }
    MapChannels<3>(picture, tables[0], tables[1], tables[2]);
    return true;
}

void AutoAdjust(Bitmap &picture)
{
    picture.SetFormat(PixelFormat::pf32bit);
    Canvas canvas(picture);
    TColorAdjustment adjustment = canvas.ColorAdjustment();
    adjustment.Size = sizeof(TColorAdjustment);
    adjustment.IlluminantIndex = 0;
    adjustment.Brightness = kAutoAdjustBrightness;
    adjustment.Contrast = kAutoAdjustContrast;
    adjustment.RedGreenTint = 0;
    canvas.SetColorAdjustment(adjustment);
    canvas.Stretch = StretchMode::Halftone;
    const QRect whole(0, 0, picture.Width(), picture.Height());
    canvas.CopyRect(whole, canvas, whole);
}

}  // namespace lmk
