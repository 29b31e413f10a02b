// SPDX-License-Identifier: GPL-3.0-or-later
// The picture archive at start and exit: reading a full archive of 50 thumbnails (105 x 78)
// into the thumbnail list with the layout of its tiles, and writing it. The thumbnail itself
// (a 24-megapixel photo scaled to 105 x 78) is timed by BM_ResizeBicubic105x78.
#include "app/Unit_ArchiveFile.h"
#include "controls/TThumbsList.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace lmk;

namespace {

// Fifty existing picture files and an archive of them.
struct TArchiveOnDisk {
    QTemporaryDir Folder;
    QString Path = Folder.filePath("thumbs.dat");

    TArchiveOnDisk()
    {
        TThumbsList list;
        for (int i = 0; i < kArchiveMaxRecords; ++i) {
            const QString picture = Folder.filePath(QStringLiteral("Urlaub %1.jpg").arg(i));
            QFile(picture).open(QIODevice::WriteOnly);
            auto thumbnail = std::make_unique<Bitmap>(105, 78, PixelFormat::pf32bit);
            thumbnail->Fill(std::uint8_t(i * 5), 120, 200);
            list.AddThumbItem({}, {}, picture, {}, {}, 0, 0, std::move(thumbnail), false);
        }
        SaveArchiveFile(Path, list);
    }
};

// The list as the archive panel holds it: two columns of 120 x 120 tiles.
void ArchivePanelSettings(TThumbsList &list)
{
    list.resize(272, 700);
    list.ShowIcons = list.ShowStars = list.ShowNames = list.ShowDates = list.ShowCategorys = false;
}

void BM_LoadArchive50(benchmark::State &state)
{
    const TArchiveOnDisk archive;
    TThumbsList list;
    ArchivePanelSettings(list);
    for (auto _ : state) {
        if (!LoadArchiveFile(archive.Path, list) || list.GetThumbsCount() != kArchiveMaxRecords) {
            state.SkipWithError("the archive did not read back");
            break;
        }
    }
}
BENCHMARK(BM_LoadArchive50)->Unit(benchmark::kMillisecond);

void BM_SaveArchive50(benchmark::State &state)
{
    const TArchiveOnDisk archive;
    TThumbsList list;
    ArchivePanelSettings(list);
    LoadArchiveFile(archive.Path, list);
    for (auto _ : state)
        SaveArchiveFile(archive.Path, list);
}
BENCHMARK(BM_SaveArchive50)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // the tiles are widgets; no screen is needed
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
