// SPDX-License-Identifier: GPL-3.0-or-later
// BMP, read and written by the program itself. The reader takes the uncompressed kinds
// (1, 4, 8 bits with a colour table; 16 and 32 bits with or without bit masks; 24 bits),
// bottom-up or top-down, with the Windows and the old OS/2 header. The writer stores 24 bits
// bottom-up with a 40-byte header, which every program reads.
#include "imaging/PictureFileIO.h"
#include "imaging/PictureFiles.h"

#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace lmk {

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;  // OS/2 1.x: 16-bit sizes, 3-byte colours
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

std::uint16_t U16(const std::uint8_t *p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t *p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24; }
void PutU16(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void PutU32(std::uint8_t *p, std::uint32_t v)
{
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

[[noreturn]] void ThrowTruncated() { ThrowPictureError(QStringLiteral("Die BMP-Datei ist unvollständig")); }

// One colour channel given by a bit mask, widened or narrowed to 8 bits.
class TChannelMask {
public:
    explicit TChannelMask(std::uint32_t mask)
        // A mask with holes counts as wide as its span, so no value can pass the table.
        : FMask(mask), FShift(mask ? std::countr_zero(mask) : 0), FBits(int(std::bit_width(mask >> FShift)))
    {
        const std::uint32_t top = FBits >= 8 ? 0 : (1u << FBits) - 1;
        for (std::uint32_t v = 0; v <= top && top > 0; ++v)
            FSmall[v] = std::uint8_t((v * 255 + top / 2) / top);
    }
    std::uint8_t Of(std::uint32_t pixel) const
    {
        const std::uint32_t v = (pixel & FMask) >> FShift;
        if (FBits >= 8)
            return std::uint8_t(v >> (FBits - 8));
        return FSmall[v];
    }

private:
    std::uint32_t FMask;
    int FShift;
    int FBits;
    std::array<std::uint8_t, 128> FSmall{};  // values of channels narrower than 8 bits
};

struct TBmpLayout {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    bool TopDown = false;
    int Bits = 0;
    std::uint32_t Compression = kBiRgb;
    std::array<std::uint32_t, 3> Masks{};  // red, green, blue
    std::vector<std::array<std::uint8_t, 3>> Colours;  // B, G, R
    std::int64_t PixelOffset = 0;
    std::int64_t RowBytes = 0;  // in the file, padded to 4 bytes
};

void ReadColourTable(const QByteArray &data, std::int64_t start, int entryBytes, std::int64_t count,
                     TBmpLayout &layout)
{
    if (start + count * entryBytes > data.size())
        ThrowTruncated();
    const auto *p = reinterpret_cast<const std::uint8_t *>(data.constData()) + start;
    // Indices beyond a short table come out black, as the table is padded to its full length.
    layout.Colours.assign(std::size_t(1) << layout.Bits, {0, 0, 0});
    for (std::int64_t i = 0; i < count; ++i, p += entryBytes)
        layout.Colours[std::size_t(i)] = {p[0], p[1], p[2]};
}

TBmpLayout ReadLayout(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(data.constData());
    if (data.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        ThrowPictureError(QStringLiteral("Keine BMP-Datei"));
    if (data.size() < kFileHeaderBytes + 4)
        ThrowTruncated();
    TBmpLayout layout;
    layout.PixelOffset = U32(bytes + 10);
    const std::uint32_t headerBytes = U32(bytes + kFileHeaderBytes);
    if (headerBytes != kCoreHeaderBytes && headerBytes < kInfoHeaderBytes)
        ThrowPictureError(QStringLiteral("Unbekannter BMP-Dateikopf"));
    if (data.size() < kFileHeaderBytes + std::int64_t(std::min(headerBytes, 124u)))
        ThrowTruncated();
    const std::uint8_t *h = bytes + kFileHeaderBytes;
    int colourEntryBytes = 4;
    std::int64_t colourCount = 0;
    std::int64_t afterHeader = kFileHeaderBytes + std::int64_t(headerBytes);
    if (headerBytes == kCoreHeaderBytes) {
        layout.Width = U16(h + 4);
        layout.Height = U16(h + 6);
        layout.Bits = U16(h + 10);
        colourEntryBytes = 3;
    } else {
        layout.Width = std::int32_t(U32(h + 4));
        layout.Height = std::int32_t(U32(h + 8));
        layout.Bits = U16(h + 14);
        layout.Compression = U32(h + 16);
        colourCount = U32(h + 32);
        if (layout.Compression == kBiBitfields || layout.Compression == kBiAlphaBitfields) {
            // Masks sit inside the longer headers, or right after the 40-byte one.
            const std::int64_t maskStart = kFileHeaderBytes + kInfoHeaderBytes;
            if (headerBytes == kInfoHeaderBytes)
                afterHeader += layout.Compression == kBiAlphaBitfields ? 16 : 12;
            if (maskStart + 12 > data.size())
                ThrowTruncated();
            for (int i = 0; i < 3; ++i)
                layout.Masks[std::size_t(i)] = U32(bytes + maskStart + 4 * i);
        }
    }
    if (layout.Height < 0) {
        layout.TopDown = true;
        layout.Height = -layout.Height;  // int64: the most negative 32-bit height negates safely
    }
    CheckPictureSize(layout.Width, layout.Height);

    const bool masked = layout.Compression == kBiBitfields || layout.Compression == kBiAlphaBitfields;
    const bool supported = (layout.Compression == kBiRgb &&
                            (layout.Bits == 1 || layout.Bits == 4 || layout.Bits == 8 || layout.Bits == 16 ||
                             layout.Bits == 24 || layout.Bits == 32)) ||
                           (masked && (layout.Bits == 16 || layout.Bits == 32));
    if (!supported)
        ThrowPictureError(QStringLiteral("Nicht unterstützte BMP-Art (%1 Bit, Kompression %2)")
                              .arg(layout.Bits)
                              .arg(layout.Compression));
    if (layout.Compression == kBiRgb && layout.Bits == 16)
        layout.Masks = {0x7C00, 0x03E0, 0x001F};  // 5 bits each
    if (layout.Bits <= 8) {
        const std::int64_t fullTable = std::int64_t(1) << layout.Bits;
        colourCount = colourCount == 0 ? fullTable : std::min(colourCount, fullTable);
        ReadColourTable(data, afterHeader, colourEntryBytes, colourCount, layout);
    }

    layout.RowBytes = (layout.Width * layout.Bits + 31) / 32 * 4;
    // The last row may lack its padding; some writers leave it off.
    const std::int64_t lastRowBytes = (layout.Width * layout.Bits + 7) / 8;
    if (layout.PixelOffset + layout.RowBytes * (layout.Height - 1) + lastRowBytes > data.size())
        ThrowTruncated();
    return layout;
}

void DecodeIndexedRow(const std::uint8_t *in, const TBmpLayout &layout, std::uint8_t *out)
{
    const int bits = layout.Bits;
    const int perByte = 8 / bits;
    const std::uint32_t indexMask = (1u << bits) - 1;
    for (std::int64_t x = 0; x < layout.Width; ++x, out += 3) {
        const int shift = 8 - bits * (int(x % perByte) + 1);  // leftmost pixel in the high bits
        const auto &colour = layout.Colours[(in[x / perByte] >> shift) & indexMask];
        std::memcpy(out, colour.data(), 3);
    }
}

void DecodeMaskedRow(const std::uint8_t *in, const TBmpLayout &layout,
                     const std::array<TChannelMask, 3> &channels, std::uint8_t *out)
{
    const int step = layout.Bits / 8;
    for (std::int64_t x = 0; x < layout.Width; ++x, in += step, out += 3) {
        const std::uint32_t pixel = step == 2 ? U16(in) : U32(in);
        out[0] = channels[2].Of(pixel);
        out[1] = channels[1].Of(pixel);
        out[2] = channels[0].Of(pixel);
    }
}

void DecodeBgrxRow(const std::uint8_t *in, std::int64_t width, std::uint8_t *out)
{
    for (std::int64_t x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

}  // namespace

Bitmap DecodeBmp(const QByteArray &data)
{
    const TBmpLayout layout = ReadLayout(data);
    Bitmap picture(int(layout.Width), int(layout.Height), PixelFormat::pf24bit);
    const std::array<TChannelMask, 3> channels{TChannelMask(layout.Masks[0]), TChannelMask(layout.Masks[1]),
                                               TChannelMask(layout.Masks[2])};
    const bool plainBgrx = layout.Bits == 32 && layout.Compression == kBiRgb;
    const auto *pixels = reinterpret_cast<const std::uint8_t *>(data.constData()) + layout.PixelOffset;
    for (int y = 0; y < picture.Height(); ++y) {
        const std::int64_t fileRow = layout.TopDown ? y : layout.Height - 1 - y;
        const std::uint8_t *in = pixels + fileRow * layout.RowBytes;
        std::uint8_t *out = picture.ScanLine(y);
        if (layout.Bits == 24)
            std::memcpy(out, in, std::size_t(layout.Width) * 3);
        else if (plainBgrx)
            DecodeBgrxRow(in, layout.Width, out);
        else if (layout.Bits <= 8)
            DecodeIndexedRow(in, layout, out);
        else
            DecodeMaskedRow(in, layout, channels, out);
    }
    return picture;
}

Bitmap DecodeBmpFile(const QString &fileName) { return DecodeFileWith(fileName, DecodeBmp); }

QByteArray EncodeBmp(const Bitmap &picture, int dpi)
{
    CheckEncodable(picture);
    constexpr std::uint32_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
    const std::size_t rowBytes = std::size_t(picture.Width()) * 3;
    const std::size_t paddedRowBytes = (rowBytes + 3) & ~std::size_t(3);
    const std::size_t fileBytes = kHeaderBytes + paddedRowBytes * std::size_t(picture.Height());
    QByteArray bytes(qsizetype(fileBytes), '\0');  // zeros: the row padding and unused fields
    auto *out = reinterpret_cast<std::uint8_t *>(bytes.data());

    out[0] = 'B';
    out[1] = 'M';
    PutU32(out + 2, std::uint32_t(fileBytes));
    PutU32(out + 10, kHeaderBytes);
    std::uint8_t *info = out + kFileHeaderBytes;
    PutU32(info, kInfoHeaderBytes);
    PutU32(info + 4, std::uint32_t(picture.Width()));
    PutU32(info + 8, std::uint32_t(picture.Height()));  // positive: bottom-up
    PutU16(info + 12, 1);                               // planes
    PutU16(info + 14, 24);                              // bits per pixel
    PutU32(info + 16, kBiRgb);
    PutU32(info + 20, std::uint32_t(paddedRowBytes * std::size_t(picture.Height())));
    PutU32(info + 24, PixelsPerMetre(dpi));
    PutU32(info + 28, PixelsPerMetre(dpi));

    const int bpp = picture.BytesPerPixel();
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t *in = picture.ScanLine(y);
        std::uint8_t *row = out + kHeaderBytes + paddedRowBytes * std::size_t(picture.Height() - 1 - y);
        if (bpp == 3) {
            std::memcpy(row, in, rowBytes);
        } else {
            for (std::size_t x = 0; x < rowBytes; x += 3, in += 4) {
                row[x] = in[0];
                row[x + 1] = in[1];
                row[x + 2] = in[2];
            }
        }
    }
    return bytes;
}

void EncodeBmpFile(const Bitmap &picture, const QString &fileName, int dpi)
{
    EncodeFileWith(fileName, [&] { return EncodeBmp(picture, dpi); });
}

}  // namespace lmk
