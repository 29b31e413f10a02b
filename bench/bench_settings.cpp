// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a settings file that has grown large or is full of junk: the cost must stay linear
// in its size, so that a damaged file cannot hold up the start.
#include "app/IniFile.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

// Printable junk with line breaks, "=" and the odd "[section]" line, as a damaged file shows.
QByteArray Junk(qsizetype size)
{
    QRandomGenerator random(7);
    QByteArray junk(size, Qt::Uninitialized);
    for (char &c : junk)
        c = static_cast<char>(random.bounded(1, 128));
    return junk;
}

void BM_ReadJunk(benchmark::State &state)
{
    const QByteArray junk = Junk(state.range(0));
    for (auto _ : state) {
        const lmk::TIniFile ini = lmk::TIniFile::FromBytes(junk);
        benchmark::DoNotOptimize(ini.Value(u"JPEG", u"Quality"));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadJunk)->RangeMultiplier(4)->Range(1 << 20, 16 << 20)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// Every line a key of one section: the worst case for the key index.
void BM_ReadManyKeys(benchmark::State &state)
{
    QByteArray file = "[EDIT]\n";
    for (int i = 0; file.size() < state.range(0); ++i)
        file += "Key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    for (auto _ : state) {
        const lmk::TIniFile ini = lmk::TIniFile::FromBytes(file);
        benchmark::DoNotOptimize(ini.Value(u"EDIT", u"Key1"));
    }
    state.SetBytesProcessed(state.iterations() * file.size());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadManyKeys)->RangeMultiplier(4)->Range(1 << 20, 16 << 20)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
