// EDF+ export of a maximum-size four-channel recording (670 epochs, 858
// one-second records): building the bytes, and writing the file through the
// crash-safe path (goal: under 50 ms).
#include <benchmark/benchmark.h>

#include "data/recordingStore.h"
#include "report/edfExport.h"
#include "support/sampleRecording.h"

namespace {

void prepare()
{
    static bool done = false;
    if (done)
        return;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    data::recordings.primary.header[data::hw::channelMode] = 1;
    done = true;
}

void EdfBytes(benchmark::State& state)
{
    prepare();
    for (auto _ : state)
        benchmark::DoNotOptimize(report::edfBytes(data::recordings.primary, {}));
}

void EdfFile(benchmark::State& state)
{
    prepare();
    testing_support::TempDir dir;
    for (auto _ : state)
        if (!report::exportEdf(data::recordings.primary, dir.file("max.edf"), {}).empty())
            state.SkipWithError("could not write");
}

}  // namespace

BENCHMARK(EdfBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(EdfFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
