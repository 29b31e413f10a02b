// SPDX-License-Identifier: GPL-3.0-or-later
// Canvas: the drawing surface of a picture.
//
// Rectangles are QRect(x, y, width, height); only x(), y(), width() and height() count (Qt's
// inclusive right() and bottom() are never used). Everything drawn is cut off at the picture's
// edges and at the clipping rectangle.
//
// Fills, copies, stretches, keyed copies, blends, flood fill, gradients and pens are the
// program's own pixel routines, exact to the byte (one rasteriser serves both pen modes, so an
// inverted guide line covers exactly the pixels a solid one would); text goes through a
// QPainter on the picture's own pixels. A 32-bit picture gets 255 as the fourth byte
// of every pixel written. The canvas keeps a pointer to its picture, which must outlive it and
// keep its size and format while the canvas draws; a canvas over another paint device would
// hold that device instead and route the pixel routines through a picture of it.
#pragma once

#include "imaging/Bitmap.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace lmk {

// The colour-adjustment record of a canvas: in halftone stretch mode every pixel written by a
// stretch or copy passes through it. Neutral values (the defaults) change nothing.
struct TColorAdjustment {
    std::uint16_t Size = 24;             // size of the record in bytes
    std::uint16_t Flags = 0;
    std::uint16_t IlluminantIndex = 0;
    std::uint16_t RedGamma = 10000;      // 2500 ... 65000; 10000 is neutral
    std::uint16_t GreenGamma = 10000;
    std::uint16_t BlueGamma = 10000;
    std::uint16_t ReferenceBlack = 0;    // 0 ... 4000: input level (in 1/10000) that becomes black
    std::uint16_t ReferenceWhite = 10000;  // 6000 ... 10000: input level that becomes white
    std::int16_t Contrast = 0;           // -100 ... 100
    std::int16_t Brightness = 0;         // -100 ... 100
    std::int16_t Colorfulness = 0;       // -100 ... 100
    std::int16_t RedGreenTint = 0;       // -100 ... 100

    bool IsNeutral() const;
    bool operator==(const TColorAdjustment &) const = default;
};
static_assert(sizeof(TColorAdjustment) == 24, "the record has the size it declares");

// The transfer curve of one channel as the record defines it, for the input values 0 ... 255.
// `gamma` is the channel's gamma field.
std::uint8_t TransferValue(const TColorAdjustment &adjustment, std::uint16_t gamma, int value);

enum class StretchMode {
    ColorOnColor,  // nearest source pixel: plain dropping or repeating of pixels
    Halftone,      // area averaging, with the colour-adjustment record applied
};

enum class PenStyle { Solid, Dotted };
enum class PenMode {
    Copy,    // covered pixels take the pen colour
    Invert,  // covered pixels become their complement, once per drawing: drawing twice restores
};

struct CanvasPen {
    QColor Color = Qt::black;
    PenStyle Style = PenStyle::Solid;
    PenMode Mode = PenMode::Copy;
    int Width = 1;
};

struct CanvasFont {
    QString Name = QStringLiteral("Liberation Sans");
    int PixelHeight = 12;  // height of the font's em square in pixels
    QColor Color = Qt::black;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};

// Layout of text in a rectangle; combine with |. Without TextCenter or TextRight lines start
// at the left edge. Ampersands are always drawn as they are (no mnemonics).
enum TextFlag : unsigned {
    TextLeft = 0,
    TextWordWrap = 1u << 0,
    TextCenter = 1u << 1,
    TextRight = 1u << 2,
    TextSingleLine = 1u << 3,
    TextVCenter = 1u << 4,  // only with TextSingleLine: the line is centred vertically
    TextNoClip = 1u << 5,   // without it, text is clipped to the rectangle
};

class Canvas {
public:
    explicit Canvas(Bitmap &picture);
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    int Width() const { return FPicture->Width(); }
    int Height() const { return FPicture->Height(); }
    Bitmap &Picture() { return *FPicture; }
    const Bitmap &Picture() const { return *FPicture; }

    // State that the drawing operations use.
    QColor BrushColor = Qt::white;
    CanvasPen Pen;
    CanvasFont Font;
    StretchMode Stretch = StretchMode::ColorOnColor;

    const TColorAdjustment &ColorAdjustment() const { return FAdjustment; }
    // Throws std::invalid_argument for a record whose size is not 24 or whose fields lie outside
    // the ranges above; the old record then stays in effect.
    void SetColorAdjustment(const TColorAdjustment &adjustment);

    // Drawing outside `clip` is cut off from now on; ResetClip allows the whole picture again.
    void SetClipRect(const QRect &clip);
    void ResetClip();
    // The area drawing may touch: the clipping rectangle within the picture.
    QRect ClipRect() const;

    // Every pixel of the rectangle gets the brush colour.
    void FillRect(const QRect &rect);
    // Copies `sourceRect` of `source` onto `dest`; equal sizes copy exactly, others stretch in
    // the current stretch mode (and the colour adjustment applies in halftone mode). `source`
    // may be this canvas's own picture.
    void CopyRect(const QRect &dest, const Canvas &source, const QRect &sourceRect);
    void StretchDraw(const QRect &dest, const Bitmap &source, const QRect &sourceRect);
    void StretchDraw(const QRect &dest, const Bitmap &source);  // the whole source
    // Stretches by nearest pixel, leaving out source pixels whose colour is `key`.
    void KeyedStretchDraw(const QRect &dest, const Bitmap &source, const QRect &sourceRect, QColor key);
    // target := source * alpha / 255 + target * (255 - alpha) / 255 per channel, rounded to
    // nearest; the source is stretched by nearest pixel when the sizes differ.
    void AlphaBlend(const QRect &dest, const Bitmap &source, const QRect &sourceRect, int alpha);
    // Recolours with the brush colour the area of the seed's colour that is connected to the
    // seed through horizontal and vertical neighbours (within the clip).
    void FloodFill(QPoint seed);
    // Rows run from `top` at the first row to `bottom` at the last.
    void GradientFillVertical(const QRect &rect, QColor top, QColor bottom);

    // A line from `from` to `to`, both ends included, with the pen.
    void Line(QPoint from, QPoint to);
    // The rectangle's outline along its outermost pixels; a wider pen grows inwards.
    void FrameRect(const QRect &rect);

    // Text with the font, transparent background; the top-left corner of the first line's cell
    // is at `at`. "\r\n" and "\n" break lines.
    void TextOut(QPoint at, const QString &text);
    void DrawText(const QRect &rect, const QString &text, unsigned flags);
    // Height of the block DrawText would fill for this rectangle's width.
    int TextBlockHeight(const QRect &rect, const QString &text, unsigned flags) const;
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;

    // The installed font families, sorted.
    static QStringList FontFamilies();

private:
    QFont QtFont() const;
    // Adds the pixels a pen stroke from `from` to `to` covers (within the clip) to `covered`.
    void CoverLine(QPoint from, QPoint to, std::vector<std::uint64_t> &covered) const;
    // Colours or inverts each covered pixel exactly once.
    void PaintCovered(std::vector<std::uint64_t> &covered);
    void DrawNearest(const QRect &dest, const Bitmap &source, const QRect &sourceRect,
                     std::optional<QColor> key, int alpha);
    void DrawHalftone(const QRect &dest, const Bitmap &source, const QRect &sourceRect);

    Bitmap *FPicture;
    std::optional<QRect> FClip;
    TColorAdjustment FAdjustment;
};

}  // namespace lmk
