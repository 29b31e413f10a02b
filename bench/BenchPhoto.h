// SPDX-License-Identifier: GPL-3.0-or-later
// The 24-megapixel photo every benchmark of lumikon_bench works on: the JPEG file named by
// LUMIKON_BENCH_PHOTO, or a smooth synthetic 6000 x 4000 picture when the variable is not set.
#pragma once

#include "imaging/Bitmap.h"

#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>

namespace lmk::bench {

constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;
constexpr int kDpi = 300;

// The photo as JPEG file, 24-bit and 32-bit picture, made once.
struct Photo {
    QTemporaryDir Folder;
    QString JpegFile;
    Bitmap Picture24;
    Bitmap Picture32;

    Photo();
    QString OutputFile(const char *name) const { return Folder.filePath(QString::fromLatin1(name)); }
};

const Photo &ThePhoto();

// Runs `operation` on a fresh copy of the 32-bit photo each time; the copy is not timed.
void OnCopy(benchmark::State &state, const std::function<void(Bitmap &)> &operation);

}  // namespace lmk::bench
