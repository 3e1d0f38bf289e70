// The unattended runs of a maximum-size recording, from process start to
// exit: the summary with the raw-data table (/rall) and without it, and the
// image series of its 335 Graph pages (goal: under 5 s) and 670 FFT epochs
// (goal: under 8 s), and the Report window's pages as a PDF.
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

void images(benchmark::State& state, const char* mode)
{
    const MaximumRecording& r = recording();
    const std::string folder = r.dir.file("images");
    const std::string command = "mkdir -p " + folder + " && " + std::string(OZMAR_PATH) + " " + mode + " " + r.path + " " + folder +
                                " 2>/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("ozmar failed");
}

// The Report window's pages as a PDF with everything on (the trace strip of
// the whole recording among them; goal: under 2 s).
void printPdf(benchmark::State& state)
{
    const MaximumRecording& r = recording();
    const std::string command = std::string(OZMAR_PATH) + " /printpdf /rall " + r.path + " " + r.dir.file("out.pdf") + " 2>/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("ozmar failed");
}

void graphImages(benchmark::State& state) { images(state, "/graphimages"); }
void fftImages(benchmark::State& state) { images(state, "/fftimages"); }

}  // namespace

BENCHMARK(graphImages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(fftImages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(summaryWithRawData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(summaryWithoutRawData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(printPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
