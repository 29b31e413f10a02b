// SPDX-License-Identifier: GPL-3.0-or-later
// PNG through libpng. libpng's error callback must not return; ours throws PictureFileError,
// which leaves libpng's frames the way its own longjmp would (the library is built with unwind
// tables), and the structures are destroyed afterwards.
#include "imaging/PictureFileIO.h"
#include "imaging/PictureFiles.h"

#include <cstring>
#include <new>
#include <vector>

#include <png.h>

namespace lmk {

namespace {

// zlib level and row filter of the writer, measured on a 24-megapixel photo: level 6 (the
// usual default) made the file about 15 % smaller than level 2 and took four to eight times
// as long; the "up" filter alone gave smaller files than libpng's adaptive choice among all
// five filters and saves the per-row trial of the others.
constexpr int kPngCompressionLevel = 2;
constexpr int kPngFilters = PNG_FILTER_UP;

[[noreturn]] void ThrowPngError(png_structp, png_const_charp message) { throw PictureFileError(message); }

void IgnorePngWarning(png_structp, png_const_charp) {}

class TPngReader {
public:
    TPngReader()
        : FPng(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowPngError, IgnorePngWarning))
    {
        if (!FPng)
            throw std::bad_alloc();
        FInfo = png_create_info_struct(FPng);
        if (!FInfo) {
            png_destroy_read_struct(&FPng, nullptr, nullptr);
            throw std::bad_alloc();
        }
    }
    ~TPngReader() { png_destroy_read_struct(&FPng, &FInfo, nullptr); }
    TPngReader(const TPngReader &) = delete;
    TPngReader &operator=(const TPngReader &) = delete;
    png_structp Png() const { return FPng; }
    png_infop Info() const { return FInfo; }

private:
    png_structp FPng = nullptr;
    png_infop FInfo = nullptr;
};

class TPngWriter {
public:
    TPngWriter()
        : FPng(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowPngError, IgnorePngWarning))
    {
        if (!FPng)
            throw std::bad_alloc();
        FInfo = png_create_info_struct(FPng);
        if (!FInfo) {
            png_destroy_write_struct(&FPng, nullptr);
            throw std::bad_alloc();
        }
    }
    ~TPngWriter() { png_destroy_write_struct(&FPng, &FInfo); }
    TPngWriter(const TPngWriter &) = delete;
    TPngWriter &operator=(const TPngWriter &) = delete;
    png_structp Png() const { return FPng; }
    png_infop Info() const { return FInfo; }

private:
    png_structp FPng = nullptr;
    png_infop FInfo = nullptr;
};

struct TPngSource {
    const QByteArray &Data;
    qsizetype Position = 0;
};

void ReadPngBytes(png_structp png, png_bytep target, png_size_t length)
{
    auto *source = static_cast<TPngSource *>(png_get_io_ptr(png));
    if (length > png_size_t(source->Data.size() - source->Position))
        png_error(png, "Die PNG-Daten sind unvollständig");
    std::memcpy(target, source->Data.constData() + source->Position, length);
    source->Position += qsizetype(length);
}

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))->append(reinterpret_cast<const char *>(data),
                                                           qsizetype(length));
}

void FlushNothing(png_structp) {}

// B, G, R, alpha composed onto white in place; the fourth byte becomes opaque.
void ComposeOntoWhite(Bitmap &picture)
{
    for (int y = 0; y < picture.Height(); ++y) {
        std::uint8_t *p = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, p += 4) {
            const int alpha = p[3];
            const int white = 255 * (255 - alpha) + 127;
            p[0] = std::uint8_t((p[0] * alpha + white) / 255);
            p[1] = std::uint8_t((p[1] * alpha + white) / 255);
            p[2] = std::uint8_t((p[2] * alpha + white) / 255);
            p[3] = 255;
        }
    }
}

Bitmap DecodePng(const QByteArray &data)
{
    constexpr int kSignatureBytes = 8;
    if (data.size() < kSignatureBytes ||
        png_sig_cmp(reinterpret_cast<png_const_bytep>(data.constData()), 0, kSignatureBytes) != 0)
        ThrowPictureError(QStringLiteral("Keine PNG-Datei"));
    TPngReader reader;
    png_structp png = reader.Png();
    png_infop info = reader.Info();
    TPngSource source{data};
    png_set_read_fn(png, &source, ReadPngBytes);
    png_read_info(png, info);
    CheckPictureSize(png_get_image_width(png, info), png_get_image_height(png, info));

    // Every PNG kind becomes 8-bit B, G, R, with alpha where the file has transparency.
    const int colourType = png_get_color_type(png, info);
    const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);  // palette to RGB, small grey depths to 8 bits, tRNS to alpha
    png_set_scale_16(png);
    if (!(colourType & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int width = int(png_get_image_width(png, info));
    const int height = int(png_get_image_height(png, info));
    Bitmap picture(width, height, hasAlpha ? PixelFormat::pf32bit : PixelFormat::pf24bit);
    if (png_get_rowbytes(png, info) != png_size_t(width) * png_size_t(picture.BytesPerPixel()))
        ThrowPictureError(QStringLiteral("Nicht unterstützte PNG-Pixelart"));
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[std::size_t(y)] = picture.ScanLine(y);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);  // a file cut off after the pixels is still a damaged file
    if (hasAlpha) {
        ComposeOntoWhite(picture);
        picture.SetFormat(PixelFormat::pf24bit);
    }
    return picture;
}

QByteArray EncodePng(const Bitmap &picture, int dpi)
{
    CheckEncodable(picture);
    TPngWriter writer;
    png_structp png = writer.Png();
    png_infop info = writer.Info();
    QByteArray bytes;
    bytes.reserve(qsizetype(picture.ByteCount() / 2));  // photos compress to about half
    png_set_write_fn(png, &bytes, AppendPngBytes, FlushNothing);
    png_set_IHDR(png, info, png_uint_32(picture.Width()), png_uint_32(picture.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (ClampDpi(dpi) > 0)
        png_set_pHYs(png, info, PixelsPerMetre(dpi), PixelsPerMetre(dpi), PNG_RESOLUTION_METER);
    png_set_compression_level(png, kPngCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kPngFilters);
    png_write_info(png, info);
    png_set_bgr(png);
    if (picture.BytesPerPixel() == 4)
        png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the fourth byte while writing
    for (int y = 0; y < picture.Height(); ++y)  // libpng only reads the row
        png_write_row(png, const_cast<png_bytep>(picture.ScanLine(y)));
    png_write_end(png, nullptr);
    return bytes;
}

}  // namespace

Bitmap DecodePngFile(const QString &fileName) { return DecodeFileWith(fileName, DecodePng); }

void EncodePngFile(const Bitmap &picture, const QString &fileName, int dpi)
{
    EncodeFileWith(fileName, [&] { return EncodePng(picture, dpi); });
}

}  // namespace lmk
