// Live monitoring and playback with their real threads:
//  - LiveLatency: a writer plays the instrument on a pseudo-terminal at 200
//    frames a second; each frame carries its number, and the time from its
//    write to its column on the live Graph page is measured (50th and 99th
//    percentile, in ms; the reader's 20 ms pause is part of it);
//  - Playback500: playback at 500 % of a recording for three seconds: the
//    process's CPU use in percent of one core, the samples shown per second
//    (1000 is the rate) and how many epochs the epoch thread lags behind;
//  - PlaybackRate/1..5: each timed speed (25 % to 500 %) over 10 s, its rate
//    in percent of what the speed asks.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "serial/serialPort.h"
#include "support/liveBytes.h"
#include "support/sampleRecording.h"
#include "monitor/graphPage.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void LiveLatency(benchmark::State& state)
{
    constexpr int kFrames = 200 * 8;
    for (auto _ : state) {
        testing_support::resetCore();
        monitor::graphPage.reset();
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        ::setenv("OZMAR_COM1", ::ptsname(master), 1);
        serial::openPort(1);
        std::vector<std::atomic<std::int64_t>> written(kFrames);  // ns on the steady clock, 0: not yet
        std::vector<double> latency;
        latency.reserve(kFrames);
        monitor::monitorHooks.pageChanged = [&] {
            // The column just drawn carries its frame's number in channels 2 to 4.
            const int column = monitor::monitorState.column;
            const monitor::GraphSnapshot page = monitor::graphPage.snapshot();
            const auto at = [&](int ch) { return page.strips[static_cast<std::size_t>(ch)].samples[static_cast<std::size_t>(column)]; };
            const int k = at(1) | (at(2) << 7) | (at(3) << 14);
            const std::int64_t sent = k >= 0 && k < kFrames ? written[static_cast<std::size_t>(k)].load() : 0;
            if (sent != 0)
                latency.push_back((Clock::now().time_since_epoch().count() - sent) / 1e6);
        };
        monitor::beginMonitoring(*serial::serialPort.portHandle, 1);
        std::thread instrument([&] {
            const auto start = Clock::now();
            for (int k = 0; k < kFrames; ++k) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(5000 * k));
                testing_support::LiveBytes b;
                b.sample(0, 0).sample(1, k & 0x7F).sample(2, (k >> 7) & 0x7F).sample(3, (k >> 14) & 0x7F);
                written[static_cast<std::size_t>(k)] = Clock::now().time_since_epoch().count();
                if (::write(master, b.bytes.data(), b.bytes.size()) < 0)
                    break;
            }
        });
        instrument.join();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        monitor::stopAll();
        serial::closePort();
        ::close(master);
        monitor::monitorHooks.reset();
        std::sort(latency.begin(), latency.end());
        if (latency.empty()) {
            state.SkipWithError("no frame reached the page");
            return;
        }
        state.counters["p50_ms"] = latency[latency.size() / 2];
        state.counters["p99_ms"] = latency[latency.size() * 99 / 100];
        state.counters["max_ms"] = latency.back();
        state.counters["frames"] = static_cast<double>(latency.size());
    }
}
BENCHMARK(LiveLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Plays a recording at the speed state.range(0) for `seconds` of the clock.
void playback(benchmark::State& state, double seconds)
{
    const int speed = static_cast<int>(state.range(0));
    static const double kRate[6] = {0, 50, 100, 200, 500, 1000};  // samples a second
    for (auto _ : state) {
        testing_support::resetCore();
        testing_support::SampleOptions o;
        o.samples = 200 * 120;
        o.epochs = 93;
        testing_support::fillPrimary(o);
        data::Recording& rec = data::recordings.primary;
        rec.epochMarks.fill(true);
        rec.playStartSecond = 0;
        rec.playEndSecond = rec.lengthSeconds;
        monitor::resetPlayback();
        const double cpu0 = cpuSeconds();
        const auto t0 = Clock::now();
        monitor::togglePlayback(speed);
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const monitor::MonitorState& m = monitor::monitorState;
        const double shown = m.playedEpochs * 256.0 + m.epochSample + 1;
        const int lag = (m.currentEpoch - m.processedEpoch + 670) % 670;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = cpuSeconds() - cpu0;
        monitor::togglePlayback(speed);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["samples_per_s"] = shown / wall;
        state.counters["rate_percent"] = 100.0 * shown / wall / kRate[speed];
        state.counters["epoch_lag"] = lag;
    }
}

// 500 %: its rate, the CPU it takes and whether the epoch thread keeps up.
void Playback500(benchmark::State& state) { playback(state, 3.0); }
BENCHMARK(Playback500)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every timed speed over 10 s: the rate in percent of the speed's (within 5 %).
void PlaybackRate(benchmark::State& state) { playback(state, 10.0); }
BENCHMARK(PlaybackRate)->DenseRange(1, 5)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
