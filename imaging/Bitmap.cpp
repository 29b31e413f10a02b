// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Bitmap.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace lmk {

std::ptrdiff_t Bitmap::StrideOf(int width, PixelFormat format)
{
    return (std::ptrdiff_t(width) * BytesPerPixelOf(format) + 3) & ~std::ptrdiff_t(3);
}

bool Bitmap::FitsInMemory(std::int64_t width, std::int64_t height)
{
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX)
        return false;
    return width == 0 || height == 0 || width * 4 <= kMaxBytes / height;
}

void Bitmap::TPixelFree::operator()(std::uint8_t *pixels) const { std::free(pixels); }

std::uint8_t *Bitmap::AllocatePixels(std::size_t bytes)
{
    // A photo's buffer is touched for the first time right after it is allocated (decoding,
    // copying). With 4 KiB pages the kernel hands out and clears 24 000 pages for a 96 MB picture,
    // which costs as much as a third of a JPEG decode; 2 MiB pages cut that to a few dozen.
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    void *pixels = nullptr;
    if (bytes >= kLargePage) {
        const std::size_t rounded = (bytes + kLargePage - 1) & ~(kLargePage - 1);
        pixels = std::aligned_alloc(kLargePage, rounded);
        if (pixels)
            ::madvise(pixels, rounded, MADV_HUGEPAGE);
    } else {
        pixels = std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (!pixels)
        throw std::bad_alloc();
    return static_cast<std::uint8_t *>(pixels);
}

void Bitmap::Allocate(int width, int height, PixelFormat format)
{
    if (!FitsInMemory(width, height))
        throw PictureTooLarge();
    const std::ptrdiff_t stride = StrideOf(width, format);
    const std::size_t bytes = std::size_t(stride) * std::size_t(height);
    if (bytes > FCapacity) {
        FPixels.reset(AllocatePixels(bytes));  // left uninitialised: every caller fills it
        FCapacity = bytes;
    }
    FWidth = width;
    FHeight = height;
    FFormat = format;
    FStride = stride;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) { Allocate(width, height, format); }

Bitmap::Bitmap(const Bitmap &other) { *this = other; }

Bitmap &Bitmap::operator=(const Bitmap &other)
{
    if (this != &other) {
        Allocate(other.FWidth, other.FHeight, other.FFormat);
        if (other.ByteCount() > 0)
            std::memcpy(FPixels.get(), other.FPixels.get(), other.ByteCount());
    }
    return *this;
}

Bitmap::Bitmap(Bitmap &&other) noexcept { *this = std::move(other); }

Bitmap &Bitmap::operator=(Bitmap &&other) noexcept
{
    if (this != &other) {
        FPixels = std::move(other.FPixels);
        FWidth = std::exchange(other.FWidth, 0);
        FHeight = std::exchange(other.FHeight, 0);
        FFormat = std::exchange(other.FFormat, PixelFormat::pfDevice);
        FStride = std::exchange(other.FStride, 0);
        FCapacity = std::exchange(other.FCapacity, 0);
    }
    return *this;
}

void Bitmap::SetSize(int width, int height) { Allocate(width, height, FFormat); }

void Bitmap::SetFormat(PixelFormat format)
{
    const int fromBpp = BytesPerPixel();
    const int toBpp = BytesPerPixelOf(format);
    if (fromBpp == toBpp) {
        FFormat = format;
        return;
    }
    if (toBpp == 3) {
        for (int y = 0; y < FHeight; ++y) {
            const std::uint8_t *src = ScanLine(y);
            std::uint8_t *dst = NarrowedScanLine(y);
            for (int x = 0; x < FWidth; ++x, src += 4, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        }
        FinishNarrowing();
        return;
    }
    Bitmap converted(FWidth, FHeight, format);
    for (int y = 0; y < FHeight; ++y) {
        const std::uint8_t *src = ScanLine(y);
        std::uint8_t *dst = converted.ScanLine(y);
        for (int x = 0; x < FWidth; ++x, src += 3, dst += 4) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = 255;
        }
    }
    *this = std::move(converted);
}

void Bitmap::FinishNarrowing()
{
    FFormat = PixelFormat::pf24bit;
    FStride = StrideOf(FWidth, FFormat);
}

void Bitmap::Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    const int bpp = BytesPerPixel();
    for (int y = 0; y < FHeight; ++y) {
        std::uint8_t *p = ScanLine(y);
        for (int x = 0; x < FWidth; ++x, p += bpp) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
            if (bpp == 4)
                p[3] = 255;
        }
    }
}

static QImage::Format QtFormatOf(PixelFormat format)
{
    return format == PixelFormat::pf24bit ? QImage::Format_BGR888 : QImage::Format_RGB32;
}

QImage Bitmap::WrapAsQImage()
{
    if (Empty())
        return {};
    return QImage(FPixels.get(), FWidth, FHeight, qsizetype(FStride), QtFormatOf(FFormat));
}

QImage Bitmap::WrapAsQImage() const
{
    if (Empty())
        return {};
    return QImage(static_cast<const uchar *>(FPixels.get()), FWidth, FHeight, qsizetype(FStride),
                  QtFormatOf(FFormat));
}

Bitmap Bitmap::FromQImage(const QImage &image, PixelFormat format)
{
    Bitmap result(image.width(), image.height(), format);
    if (result.Empty())
        return result;
    QImage target = result.WrapAsQImage();
    if (image.hasAlphaChannel()) {
        target.fill(Qt::white);
        QPainter painter(&target);
        painter.drawImage(0, 0, image);
    } else {
        const QImage converted = image.convertToFormat(target.format());
        const std::size_t rowBytes = std::size_t(result.Width()) * result.BytesPerPixel();
        for (int y = 0; y < result.Height(); ++y)
            std::memcpy(result.ScanLine(y), converted.constScanLine(y), rowBytes);
    }
    if (format != PixelFormat::pf24bit) {  // Qt leaves the fourth byte as it likes; make it defined
        for (int y = 0; y < result.Height(); ++y) {
            std::uint8_t *p = result.ScanLine(y);
            for (int x = 0; x < result.Width(); ++x)
                p[4 * x + 3] = 255;
        }
    }
    return result;
}

}  // namespace lmk
