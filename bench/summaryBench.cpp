// The unattended summary of a maximum-size recording, from process start to
// exit: with the raw-data table (/rall) and without it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "support/sampleRecording.h"

namespace {

struct MaximumRecording {
    testing_support::TempDir dir;
    std::string path = dir.file("max.dat");
    MaximumRecording()
    {
        testing_support::resetCore();
        testing_support::fillPrimaryMaximum();
        testing_support::writePrimary(path);
    }
};

const MaximumRecording& recording()
{
    static MaximumRecording r;
    return r;
}

void summary(benchmark::State& state, const char* options)
{
    const MaximumRecording& r = recording();
    const std::string command = std::string(OZMAR_PATH) + " /summary " + options + " " + r.path + " " + r.dir.file("out.txt");
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("ozmar failed");
}

void summaryWithRawData(benchmark::State& state) { summary(state, "/rall"); }
void summaryWithoutRawData(benchmark::State& state) { summary(state, "/rbands /rspectrum"); }

}  // namespace

BENCHMARK(summaryWithRawData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(summaryWithoutRawData)->Unit(benchmark::kMillisecond)->UseRealTime();
