// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the free rotation, the sharpening, smoothing and saturation filters and the large
// bicubic enlargement on the 24-megapixel photo.
#include "bench/BenchPhoto.h"
#include "imaging/Unit_Graph.h"
#include "imaging/Unit_RotateFast.h"

#include <benchmark/benchmark.h>

using namespace lmk;

namespace {

using namespace lmk::bench;

// The alignment correction's typical turn: a few degrees, white background.
void BM_RotateBitmap3(benchmark::State &state)
{
    const Photo &photo = ThePhoto();
    for (auto _ : state) {
        std::optional<Bitmap> turned = RotateBitmap(photo.Picture32, 3, 0xFFFFFF);
        benchmark::DoNotOptimize(turned->ScanLine(0));
    }
}

void BM_Sharpen2(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { Sharpen(b, 2); });
}

// The command "remove moiré or scratches".
void BM_Smooth1(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { Smooth(b, 1); });
}

void BM_Saturate200(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { Saturate(b, 200); });
}

void BM_ResizeBicubic12000x8000(benchmark::State &state)
{
    OnCopy(state, [](Bitmap &b) { ResizeHighQuality(b, 12000, 8000, false, InterpolationMode::HighQualityBicubic); });
}

}  // namespace

BENCHMARK(BM_RotateBitmap3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sharpen2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Smooth1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Saturate200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResizeBicubic12000x8000)->Unit(benchmark::kMillisecond);
