// The measurement core: one 128-point transform of two channels, and a full
// playback's worth of epochs (670 epochs of four channels: both transforms,
// four powers, six cross spectra and both tables per epoch).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/fft.h"
#include "data/recordingStore.h"
#include "monitor/epochEngine.h"
#include "support/sampleRecording.h"

namespace {

void fftTwoReal128(benchmark::State& state)
{
    std::vector<std::int16_t> a(256), b(256);
    for (int i = 0; i < 256; ++i) {
        a[i] = static_cast<std::int16_t>(1500 * std::sin(0.21 * i));
        b[i] = static_cast<std::int16_t>(900 * std::cos(0.07 * i) + (i % 13) * 11);
    }
    std::int16_t x[128], y[128];
    for (auto _ : state) {
        analysis::fftTwoReal(128, a.data(), 1, 2, b.data(), 1, 2, x, y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    }
}

void processAllEpochs(benchmark::State& state)
{
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    for (auto _ : state) {
        auto work = monitor::programEpochWork();
        monitor::startAccumulation(work, 0);
        for (int e = 0; e < data::kMaxEpochs; ++e)
            monitor::processEpoch(work, e, false);
    }
}

}  // namespace

BENCHMARK(fftTwoReal128);
BENCHMARK(processAllEpochs)->Unit(benchmark::kMillisecond);
