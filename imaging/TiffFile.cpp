// SPDX-License-Identifier: GPL-3.0-or-later
// TIFF through libtiff, reading from and writing to memory. libtiff reports problems through
// handlers and then returns a failure code; our handlers keep the first error message for the
// exception and print nothing.
#include "imaging/PictureFileIO.h"
#include "imaging/PictureFiles.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <tiffio.h>

namespace lmk {

namespace {

// The TIFF file image in memory with a read/write position, as libtiff's client procedures
// see it.
struct TTiffMemory {
    QByteArray Bytes;
    qint64 Position = 0;
};

TTiffMemory &MemoryOf(thandle_t handle) { return *static_cast<TTiffMemory *>(handle); }

tmsize_t ReadTiffBytes(thandle_t handle, void *target, tmsize_t size)
{
    TTiffMemory &memory = MemoryOf(handle);
    const tmsize_t count = std::clamp<qint64>(memory.Bytes.size() - memory.Position, 0, size);
    if (count > 0) {
        std::memcpy(target, memory.Bytes.constData() + memory.Position, std::size_t(count));
        memory.Position += count;
    }
    return count;
}

tmsize_t WriteTiffBytes(thandle_t handle, void *source, tmsize_t size)
{
    TTiffMemory &memory = MemoryOf(handle);
    const qint64 end = memory.Position + size;
    if (end > memory.Bytes.size()) {
        if (end > memory.Bytes.capacity())
            memory.Bytes.reserve(std::max(end, 2 * memory.Bytes.capacity()));
        const qsizetype oldSize = memory.Bytes.size();
        memory.Bytes.resize(end);
        if (memory.Position > oldSize)  // a seek beyond the end leaves a gap of zeros
            std::memset(memory.Bytes.data() + oldSize, 0, std::size_t(memory.Position - oldSize));
    }
    std::memcpy(memory.Bytes.data() + memory.Position, source, std::size_t(size));
    memory.Position = end;
    return size;
}

toff_t SeekTiff(thandle_t handle, toff_t offset, int whence)
{
    TTiffMemory &memory = MemoryOf(handle);
    const qint64 base = whence == SEEK_CUR ? memory.Position : whence == SEEK_END ? memory.Bytes.size() : 0;
    const qint64 target = base + qint64(offset);  // offsets relative to CUR and END may be negative
    if (target < 0)
        return toff_t(-1);
    memory.Position = target;
    return toff_t(target);
}

int CloseTiff(thandle_t) { return 0; }

toff_t TiffSize(thandle_t handle) { return toff_t(MemoryOf(handle).Bytes.size()); }

// Reading maps the bytes directly instead of copying them through ReadTiffBytes.
int MapTiff(thandle_t handle, void **base, toff_t *size)
{
    TTiffMemory &memory = MemoryOf(handle);
    *base = const_cast<char *>(memory.Bytes.constData());
    *size = toff_t(memory.Bytes.size());
    return 1;
}

void UnmapTiff(thandle_t, void *, toff_t) {}

// The first error libtiff reports on one file; warnings are dropped.
class TTiffErrors {
public:
    QString Text(const char *fallback) const
    {
        return QString::fromUtf8(FFirst.empty() ? fallback : FFirst.c_str());
    }
    static int OnError(TIFF *, void *self, const char *, const char *format, va_list arguments)
    {
        auto *errors = static_cast<TTiffErrors *>(self);
        if (errors->FFirst.empty()) {
            char text[512];
            std::vsnprintf(text, sizeof text, format, arguments);
            errors->FFirst = text;
        }
        return 1;  // handled: libtiff's process-wide handler stays quiet
    }
    static int OnWarning(TIFF *, void *, const char *, const char *, va_list) { return 1; }

private:
    std::string FFirst;
};

// Messages that libtiff sends before a file is open go to its process-wide handlers, which
// print to stderr by default.
void SilenceGlobalTiffHandlers()
{
    static const bool silenced = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)silenced;
}

using TTiffHandle = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

TTiffHandle OpenTiff(TTiffMemory &memory, const char *mode, TTiffErrors &errors)
{
    SilenceGlobalTiffHandlers();
    std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)> options(TIFFOpenOptionsAlloc(),
                                                                            TIFFOpenOptionsFree);
    if (!options)
        throw std::bad_alloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), TTiffErrors::OnError, &errors);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), TTiffErrors::OnWarning, nullptr);
    // No single buffer inside libtiff may exceed what a whole picture may take; damaged
    // headers with absurd strip sizes are refused instead of allocated.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(Bitmap::kMaxBytes));
    TIFF *tif = TIFFClientOpenExt("memory", mode, &memory, ReadTiffBytes, WriteTiffBytes, SeekTiff,
                                  CloseTiff, TiffSize, MapTiff, UnmapTiff, options.get());
    if (!tif)
        ThrowPictureError(errors.Text("Die TIFF-Datei kann nicht geöffnet werden"));
    return TTiffHandle(tif, TIFFClose);
}

// libtiff delivers R, G, B, A packed into 32 bits with alpha already multiplied in, so
// composing onto white only adds the uncovered part.
void CopyRgbaOntoWhite(const std::uint32_t *raster, Bitmap &picture)
{
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint32_t *in = raster + std::size_t(y) * std::size_t(picture.Width());
        std::uint8_t *out = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, out += 3) {
            const std::uint32_t pixel = in[x];
            const int uncovered = 255 - int(TIFFGetA(pixel));
            out[0] = std::uint8_t(std::min(255, int(TIFFGetB(pixel)) + uncovered));
            out[1] = std::uint8_t(std::min(255, int(TIFFGetG(pixel)) + uncovered));
            out[2] = std::uint8_t(std::min(255, int(TIFFGetR(pixel)) + uncovered));
        }
    }
}

Bitmap DecodeTiff(const QByteArray &data)
{
    TTiffMemory memory{data};
    TTiffErrors errors;
    TTiffHandle tif = OpenTiff(memory, "r", errors);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height))
        ThrowPictureError(errors.Text("Die TIFF-Datei nennt keine Bildgröße"));
    CheckPictureSize(width, height);
    char reason[1024] = {};
    if (!TIFFRGBAImageOK(tif.get(), reason))
        ThrowPictureError(QString::fromUtf8(reason));
    // Left uninitialised: libtiff writes every pixel or fails.
    std::unique_ptr<std::uint32_t[]> raster(new std::uint32_t[std::size_t(width) * height]);
    constexpr int kStopOnError = 1;
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.get(), ORIENTATION_TOPLEFT, kStopOnError))
        ThrowPictureError(errors.Text("Die TIFF-Daten sind fehlerhaft"));
    Bitmap picture(int(width), int(height), PixelFormat::pf24bit);
    CopyRgbaOntoWhite(raster.get(), picture);
    return picture;
}

QByteArray EncodeTiff(const Bitmap &picture, int dpi)
{
    CheckEncodable(picture);
    TTiffMemory memory;
    memory.Bytes.reserve(qsizetype(std::size_t(picture.Width()) * 3 * std::size_t(picture.Height()) + 4096));
    TTiffErrors errors;
    {
        TTiffHandle tif = OpenTiff(memory, "w", errors);
        TIFF *t = tif.get();
        dpi = ClampDpi(dpi);
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, std::uint32_t(picture.Width()));
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, std::uint32_t(picture.Height()));
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        // Rationals are passed as double through libtiff's variadic setter. Without a
        // resolution the tags say 1 pixel per (no) unit.
        TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, dpi > 0 ? RESUNIT_INCH : RESUNIT_NONE);
        TIFFSetField(t, TIFFTAG_XRESOLUTION, double(dpi > 0 ? dpi : 1));
        TIFFSetField(t, TIFFTAG_YRESOLUTION, double(dpi > 0 ? dpi : 1));
        const int bpp = picture.BytesPerPixel();
        std::vector<std::uint8_t> rgb(std::size_t(picture.Width()) * 3);
        for (int y = 0; y < picture.Height(); ++y) {
            const std::uint8_t *in = picture.ScanLine(y);
            for (std::size_t x = 0; x < rgb.size(); x += 3, in += bpp) {
                rgb[x] = in[2];
                rgb[x + 1] = in[1];
                rgb[x + 2] = in[0];
            }
            if (TIFFWriteScanline(t, rgb.data(), std::uint32_t(y), 0) < 0)
                ThrowPictureError(errors.Text("Die TIFF-Daten können nicht geschrieben werden"));
        }
        if (!TIFFFlush(t))  // writes the directory; TIFFClose would drop a failure silently
            ThrowPictureError(errors.Text("Die TIFF-Daten können nicht geschrieben werden"));
    }
    return std::move(memory.Bytes);
}

}  // namespace

Bitmap DecodeTiffFile(const QString &fileName) { return DecodeFileWith(fileName, DecodeTiff); }

void EncodeTiffFile(const Bitmap &picture, const QString &fileName, int dpi)
{
    EncodeFileWith(fileName, [&] { return EncodeTiff(picture, dpi); });
}

}  // namespace lmk
