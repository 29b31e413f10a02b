// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the whole-picture operations on a 24-megapixel photo (bench/BenchPhoto.h); the
// benchmarks of the other bench_*.cpp files of this program register themselves as well.
//
//   lumikon_bench [benchmark options]   runs the benchmarks
//   lumikon_bench --open FILE           only opens FILE as the program does (decode, 32 bits),
//                                       so that its peak memory can be measured from outside
#include "bench/BenchPhoto.h"
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

using namespace lmk::bench;

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
