// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG through libjpeg-turbo. libjpeg reports an error by calling error_exit, which by default
// prints the message and ends the process; ours throws PictureFileError instead. The exception
// passes through libjpeg's own frames (the library is built with unwind tables), exactly where
// the longjmp of its documentation would go, and the state is only destroyed afterwards.
#include "imaging/PictureFileIO.h"
#include "imaging/PictureFiles.h"

#include <algorithm>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace lmk {

namespace {

[[noreturn]] void ThrowJpegError(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    throw PictureFileError(text);
}

// Warnings stay silent, except the end of the data in the middle of the picture: libjpeg would
// fill the missing rows with grey and report success, and a truncated file must not open as if
// it were whole.
void OnJpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        ThrowJpegError(info);
}

void DiscardJpegOutput(j_common_ptr) {}

struct TJpegErrors : jpeg_error_mgr {
    TJpegErrors()
    {
        jpeg_std_error(this);
        error_exit = ThrowJpegError;
        emit_message = OnJpegMessage;
        output_message = DiscardJpegOutput;
    }
};

class TJpegDecompressor {
public:
    TJpegDecompressor()
    {
        FInfo.err = &FErrors;
        jpeg_create_decompress(&FInfo);
    }
    ~TJpegDecompressor() { jpeg_destroy_decompress(&FInfo); }
    TJpegDecompressor(const TJpegDecompressor &) = delete;
    TJpegDecompressor &operator=(const TJpegDecompressor &) = delete;
    jpeg_decompress_struct *operator->() { return &FInfo; }
    jpeg_decompress_struct *get() { return &FInfo; }

private:
    TJpegErrors FErrors;
    jpeg_decompress_struct FInfo{};
};

class TJpegCompressor {
public:
    TJpegCompressor()
    {
        FInfo.err = &FErrors;
        jpeg_create_compress(&FInfo);
    }
    ~TJpegCompressor() { jpeg_destroy_compress(&FInfo); }
    TJpegCompressor(const TJpegCompressor &) = delete;
    TJpegCompressor &operator=(const TJpegCompressor &) = delete;
    jpeg_compress_struct *operator->() { return &FInfo; }
    jpeg_compress_struct *get() { return &FInfo; }

private:
    TJpegErrors FErrors;
    jpeg_compress_struct FInfo{};
};

// Compressed data goes into a growing QByteArray, so nothing is left to free after an error.
class TByteArrayDestination : public jpeg_destination_mgr {
public:
    TByteArrayDestination()
    {
        init_destination = Start;
        empty_output_buffer = Grow;
        term_destination = Finish;
    }
    QByteArray Take() { return std::move(FBytes); }

private:
    static constexpr qsizetype kFirstSize = 1 << 16;
    static TByteArrayDestination *Of(j_compress_ptr info)
    {
        return static_cast<TByteArrayDestination *>(info->dest);
    }
    void PointAt(qsizetype used)
    {
        next_output_byte = reinterpret_cast<JOCTET *>(FBytes.data()) + used;
        free_in_buffer = std::size_t(FBytes.size() - used);
    }
    static void Start(j_compress_ptr info)
    {
        TByteArrayDestination *self = Of(info);
        self->FBytes.resize(kFirstSize);
        self->PointAt(0);
    }
    // Called with the whole buffer full.
    static boolean Grow(j_compress_ptr info)
    {
        TByteArrayDestination *self = Of(info);
        const qsizetype used = self->FBytes.size();
        self->FBytes.resize(2 * used);
        self->PointAt(used);
        return TRUE;
    }
    static void Finish(j_compress_ptr info)
    {
        TByteArrayDestination *self = Of(info);
        self->FBytes.resize(self->FBytes.size() - qsizetype(self->free_in_buffer));
    }

    QByteArray FBytes;
};

// libjpeg hands out RGB rows in our B, G, R order directly, so the rows are decoded in place.
void ReadBgrRows(jpeg_decompress_struct *info, Bitmap &picture)
{
    std::vector<JSAMPROW> rows(std::size_t(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y)
        rows[std::size_t(y)] = picture.ScanLine(y);
    while (info->output_scanline < info->output_height) {
        const JDIMENSION first = info->output_scanline;
        if (jpeg_read_scanlines(info, rows.data() + first, info->output_height - first) == 0)
            ThrowPictureError(QStringLiteral("Die JPEG-Daten sind unvollständig"));
    }
}

// CMYK has no conversion inside libjpeg. The files written by the common layout programs carry
// an Adobe marker and store the four inks inverted (255 = no ink); files without it store ink
// amounts directly.
void ReadCmykRows(jpeg_decompress_struct *info, Bitmap &picture)
{
    const bool inverted = info->saw_Adobe_marker;
    std::vector<JSAMPLE> cmyk(std::size_t(picture.Width()) * 4);
    JSAMPROW row = cmyk.data();
    while (info->output_scanline < info->output_height) {
        const int y = int(info->output_scanline);
        if (jpeg_read_scanlines(info, &row, 1) == 0)
            ThrowPictureError(QStringLiteral("Die JPEG-Daten sind unvollständig"));
        std::uint8_t *out = picture.ScanLine(y);
        const JSAMPLE *in = cmyk.data();
        for (int x = 0; x < picture.Width(); ++x, in += 4, out += 3) {
            // Remaining light of each ink times the remaining light of black.
            const int c = inverted ? in[0] : 255 - in[0];
            const int m = inverted ? in[1] : 255 - in[1];
            const int ye = inverted ? in[2] : 255 - in[2];
            const int k = inverted ? in[3] : 255 - in[3];
            out[0] = std::uint8_t((ye * k + 127) / 255);
            out[1] = std::uint8_t((m * k + 127) / 255);
            out[2] = std::uint8_t((c * k + 127) / 255);
        }
    }
}

}  // namespace

Bitmap DecodeJpeg(const QByteArray &data)
{
    TJpegDecompressor info;
    jpeg_mem_src(info.get(), reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(info.get(), TRUE);
    CheckPictureSize(info->image_width, info->image_height);
    // Speed over quality: the fast integer transform, plain replication of the colour
    // channels and no smoothing of progressive first passes.
    info->dct_method = JDCT_IFAST;
    info->do_fancy_upsampling = FALSE;
    info->do_block_smoothing = FALSE;
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;  // grey, RGB and YCbCr all give B, G, R
    jpeg_start_decompress(info.get());
    Bitmap picture(int(info->output_width), int(info->output_height), PixelFormat::pf24bit);
    if (cmyk)
        ReadCmykRows(info.get(), picture);
    else
        ReadBgrRows(info.get(), picture);
    jpeg_finish_decompress(info.get());
    return picture;
}

Bitmap DecodeJpegFile(const QString &fileName) { return DecodeFileWith(fileName, DecodeJpeg); }

QByteArray EncodeJpeg(const Bitmap &picture, int quality, int dpi)
{
    CheckEncodable(picture);
    constexpr int kJfifDotsPerInch = 1;
    constexpr int kJfifAspectOnly = 0;
    TByteArrayDestination destination;
    TJpegCompressor info;
    info->dest = &destination;
    info->image_width = JDIMENSION(picture.Width());
    info->image_height = JDIMENSION(picture.Height());
    info->input_components = picture.BytesPerPixel();
    info->in_color_space = picture.BytesPerPixel() == 3 ? JCS_EXT_BGR : JCS_EXT_BGRX;
    jpeg_set_defaults(info.get());
    jpeg_set_quality(info.get(), std::clamp(quality, 1, 100), TRUE);
    dpi = ClampDpi(dpi);
    info->write_JFIF_header = TRUE;
    info->density_unit = UINT8(dpi > 0 ? kJfifDotsPerInch : kJfifAspectOnly);
    info->X_density = UINT16(dpi > 0 ? dpi : 1);
    info->Y_density = info->X_density;
    jpeg_start_compress(info.get(), TRUE);
    std::vector<JSAMPROW> rows(std::size_t(picture.Height()));
    for (int y = 0; y < picture.Height(); ++y)  // libjpeg only reads the rows
        rows[std::size_t(y)] = const_cast<JSAMPROW>(picture.ScanLine(y));
    while (info->next_scanline < info->image_height) {
        const JDIMENSION next = info->next_scanline;
        jpeg_write_scanlines(info.get(), rows.data() + next, info->image_height - next);
    }
    jpeg_finish_compress(info.get());
    return destination.Take();
}

void EncodeJpegFile(const Bitmap &picture, const QString &fileName, int quality, int dpi)
{
    EncodeFileWith(fileName, [&] { return EncodeJpeg(picture, quality, dpi); });
}

}  // namespace lmk
