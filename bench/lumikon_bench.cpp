// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the whole-picture operations on a 24-megapixel photo.
//
//   lumikon_bench [benchmark options]   runs the benchmarks; the photo is the JPEG file named by
//                                       LUMIKON_BENCH_PHOTO, or a smooth synthetic 6000 x 4000
//                                       picture when the variable is not set
//   lumikon_bench --open FILE           only opens FILE as the program does (decode, 32 bits),
//                                       so that its peak memory can be measured from outside
#include "imaging/Canvas.h"
#include "imaging/PictureFiles.h"
#include "imaging/Unit_Graph.h"
#include "imaging/Unit_Tone.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

using namespace lmk;

namespace {

constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;
constexpr int kDpi = 300;

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

// The photo as JPEG file, 24-bit and 32-bit picture, made once.
struct Photo {
    QTemporaryDir Folder;
    QString JpegFile;
    Bitmap Picture24;
    Bitmap Picture32;

    Photo()
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
    QString OutputFile(const char *name) const { return Folder.filePath(QString::fromLatin1(name)); }
};

const Photo &ThePhoto()
{
    static const Photo photo;
    return photo;
}

// Runs `operation` on a fresh copy of the 32-bit photo each time; the copy is not timed.
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

void BM_DecodeJpeg(benchmark::State &state)
{
    const Photo &photo = ThePhoto();
    for (auto _ : state) {
        Bitmap decoded = DecodeJpegFile(photo.JpegFile);
        benchmark::DoNotOptimize(decoded.ScanLine(0));
    }
}

void BM_EncodeJpeg90(benchmark::State &state)
{
    const Photo &photo = ThePhoto();
    const QString out = photo.OutputFile("out.jpg");
    for (auto _ : state)
        EncodeJpegFile(photo.Picture24, out, 90, kDpi);
}

void BM_WritePng(benchmark::State &state)
{
    const Photo &photo = ThePhoto();
    const QString out = photo.OutputFile("out.png");
    for (auto _ : state)
        EncodePngFile(photo.Picture24, out, kDpi);
}

void BM_ResizeBicubic3000x2000(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { ResizeHighQuality(b, 3000, 2000, false, InterpolationMode::HighQualityBicubic); });
}

void BM_ResizeBicubic105x78(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { ResizeHighQuality(b, 105, 78, false, InterpolationMode::HighQualityBicubic); });
}

void BM_ScaledCopy240x270(benchmark::State &state)
{
    const Photo &photo = ThePhoto();
    Bitmap target;
    for (auto _ : state) {
        ScaledCopy(photo.Picture32, target, 240, 270);
        benchmark::DoNotOptimize(target.ScanLine(0));
    }
}

// Reading and writing every byte of the 32-bit picture once: no operation on the whole picture
// can be faster.
void BM_Memcpy32(benchmark::State &state)
{
    const Photo &photo = ThePhoto();
    std::vector<std::uint8_t> target(photo.Picture32.ByteCount());
    for (auto _ : state) {
        std::memcpy(target.data(), photo.Picture32.ScanLine(0), target.size());
        benchmark::ClobberMemory();
    }
}

void BM_RotateFlip(benchmark::State &state)
{
    const int kind = int(state.range(0));
    OnCopy(state, [kind](Bitmap &b) { RotateFlip(b, kind); });
}

// The one-click tone and colour operations.
void BM_Grayscale(benchmark::State &state) { OnCopy(state, Grayscale); }

void BM_Sepia(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { Sepia(b, kSepiaAmount); });
}

void BM_InvertColors(benchmark::State &state) { OnCopy(state, InvertColors); }

void BM_Colorize(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { Colorize(b, QColor(255, 128, 0)); });
}

void BM_AutoLevels(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { benchmark::DoNotOptimize(AutoLevels(b)); });
}

// The brightness and contrast improvement: a 1:1 halftone copy onto itself.
void BM_AutoAdjust(benchmark::State &state) { OnCopy(state, AutoAdjust); }

void BM_ResizeHalftoneHalf(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { ResizeHalftone(b, 3000, 2000, false); });
}

void BM_FloodFillWhole(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) {
        b.Fill(0, 0, 0);
        Canvas canvas(b);
        canvas.BrushColor = Qt::white;
        canvas.FloodFill(QPoint(b.Width() / 2, b.Height() / 2));
    });
}

void BM_RotateFlipKinds(benchmark::internal::Benchmark *b)
{
    for (int kind = 0; kind < 4; ++kind)
        b->Arg(kind);
}

int OpenOnly(const char *fileName)
{
    Bitmap picture = DecodeJpegFile(QString::fromLocal8Bit(fileName));
    picture.SetFormat(PixelFormat::pf32bit);
    std::printf("%d %d %zu\n", picture.Width(), picture.Height(), picture.ByteCount());
    return 0;
}

}  // namespace

BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeJpeg90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeBicubic3000x2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeBicubic105x78)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaledCopy240x270)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateFlip)->Apply(BM_RotateFlipKinds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sepia)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertColors)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Colorize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoAdjust)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeHalftoneHalf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillWhole)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--open") == 0)
        return OpenOnly(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
