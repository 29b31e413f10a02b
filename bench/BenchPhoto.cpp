// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/BenchPhoto.h"

#include "imaging/Numeric.h"
#include "imaging/PictureFiles.h"

#include <cmath>
#include <cstdint>

namespace lmk::bench {

namespace {

// A smooth colour field with some fine structure, roughly as a photo compresses.
Bitmap SyntheticPhoto()
{
    Bitmap photo(kPhotoWidth, kPhotoHeight, PixelFormat::pf24bit);
    for (int y = 0; y < kPhotoHeight; ++y) {
        std::uint8_t *p = photo.ScanLine(y);
        for (int x = 0; x < kPhotoWidth; ++x, p += 3) {
            const double s = std::sin(x * 0.013) * std::cos(y * 0.017);
            const int grain = int((unsigned(x) * 2654435761u ^ unsigned(y) * 40503u) >> 28) - 8;
            p[0] = Clamp(int(120 + 80 * s) + grain);
            p[1] = Clamp(int(90 + 60 * y / double(kPhotoHeight) + 40 * s) + grain);
            p[2] = Clamp(int(60 + 150 * x / double(kPhotoWidth)) + grain);
        }
    }
    return photo;
}

}  // namespace

Photo::Photo()
{
    const QByteArray named = qgetenv("LUMIKON_BENCH_PHOTO");
    if (!named.isEmpty()) {
        JpegFile = QString::fromLocal8Bit(named);
        Picture24 = DecodeJpegFile(JpegFile);
    } else {
        Picture24 = SyntheticPhoto();
        JpegFile = Folder.filePath(QStringLiteral("photo.jpg"));
        EncodeJpegFile(Picture24, JpegFile, 92, kDpi);
    }
    Picture32 = Picture24;
    Picture32.SetFormat(PixelFormat::pf32bit);
}

const Photo &ThePhoto()
{
    static const Photo photo;
    return photo;
}

void OnCopy(benchmark::State &state, const std::function<void(Bitmap &)> &operation)
{
    const Photo &photo = ThePhoto();
    Bitmap work;
    for (auto _ : state) {
        state.PauseTiming();
        work = photo.Picture32;
        state.ResumeTiming();
        operation(work);
        benchmark::DoNotOptimize(work.ScanLine(0));
    }
}

}  // namespace lmk::bench
