// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmap: the one in-memory picture type of the program.
//
// Memory layout: rows top-down (row 0 is the top row), each row `Stride()` bytes, padded to a
// multiple of 4. A pixel is 3 bytes B, G, R (Format 24) or 4 bytes B, G, R, X (Format 32 and
// Device); the fourth byte carries no meaning and no routine reads it. This layout is what
// QImage::Format_BGR888 and QImage::Format_RGB32 use on little-endian machines, so `WrapAsQImage`
// lets QPainter draw straight into the pixels without a copy.
//
// Copying a Bitmap copies its pixels (deep copy); moving hands the buffer over.
// A Bitmap carries no resolution, palette or transparency.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace lmk {

enum class PixelFormat { pf24bit, pf32bit, pfDevice };

// Raised when a picture of the requested size cannot be held: negative sizes, or more bytes
// than `Bitmap::kMaxBytes`. Checked before any memory is allocated.
class PictureTooLarge : public std::runtime_error {
public:
    explicit PictureTooLarge(const char *what = "Das Bild ist zu groß für den Arbeitsspeicher!")
        : std::runtime_error(what) {}
};

class Bitmap {
public:
    // The largest picture the program accepts: its 32-bit form may take at most 1 GiB. A
    // picture file or dialog asking for more is refused before anything is allocated.
    static constexpr std::int64_t kMaxBytes = std::int64_t(1) << 30;

    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat format = PixelFormat::pfDevice);
    Bitmap(const Bitmap &other);
    Bitmap &operator=(const Bitmap &other);
    Bitmap(Bitmap &&other) noexcept;
    Bitmap &operator=(Bitmap &&other) noexcept;
    ~Bitmap() = default;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    PixelFormat Format() const { return FFormat; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    int BytesPerPixel() const { return BytesPerPixelOf(FFormat); }
    std::ptrdiff_t Stride() const { return FStride; }
    std::size_t ByteCount() const { return std::size_t(FStride) * std::size_t(FHeight); }

    // Address of the first pixel of `row` (0 <= row < Height()).
    std::uint8_t *ScanLine(int row) { return FPixels.get() + std::ptrdiff_t(row) * FStride; }
    const std::uint8_t *ScanLine(int row) const { return FPixels.get() + std::ptrdiff_t(row) * FStride; }

    // New size; the pixels are undefined afterwards (callers fill or draw every pixel).
    // Allocation happens only when the buffer grows.
    void SetSize(int width, int height);
    // Changes the pixel format in place, keeping blue, green and red of every pixel. Going to
    // 32 bits sets the fourth byte to 255, so the picture is opaque wherever Qt looks at it.
    void SetFormat(PixelFormat format);
    // A 32-bit picture turned into 24 bits inside its own buffer, without a second one: a
    // routine that converts in one pass of its own writes row y's 24-bit pixels from
    // NarrowedScanLine(y) on, the top row first and each row from the left, every pixel after
    // it has read it (a 24-bit pixel never lies past the 32-bit pixels still to be read), and
    // then calls FinishNarrowing, which makes the picture 24 bits.
    std::uint8_t *NarrowedScanLine(int row)
    {
        return FPixels.get() + std::ptrdiff_t(row) * StrideOf(FWidth, PixelFormat::pf24bit);
    }
    void FinishNarrowing();
    // Every pixel gets the colour (red, green, blue).
    void Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    // A QImage over this Bitmap's own pixels (no copy); valid while the Bitmap keeps its size
    // and format. Drawing on it changes the Bitmap.
    QImage WrapAsQImage();
    QImage WrapAsQImage() const;
    // A Bitmap with the pixels of any QImage, alpha composed onto white.
    static Bitmap FromQImage(const QImage &image, PixelFormat format = PixelFormat::pf24bit);

    static int BytesPerPixelOf(PixelFormat format) { return format == PixelFormat::pf24bit ? 3 : 4; }
    static std::ptrdiff_t StrideOf(int width, PixelFormat format);
    // True when a picture of this size fits within kMaxBytes in its 32-bit form.
    static bool FitsInMemory(std::int64_t width, std::int64_t height);

private:
    void Allocate(int width, int height, PixelFormat format);
    static std::uint8_t *AllocatePixels(std::size_t bytes);

    int FWidth = 0;
    int FHeight = 0;
    PixelFormat FFormat = PixelFormat::pfDevice;
    std::ptrdiff_t FStride = 0;
    std::size_t FCapacity = 0;
    struct TPixelFree {
        void operator()(std::uint8_t *pixels) const;
    };
    std::unique_ptr<std::uint8_t[], TPixelFree> FPixels;
};

}  // namespace lmk
