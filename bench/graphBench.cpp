// Painting the views (offscreen):
//   - a full repaint of a four-channel Graph page into a 1280 x 800 image, as
//     the Graph window paints during playback at up to 500 % (goal: under 2 ms);
//   - the Report window with 30 graph rows painted (goal: under 30 ms);
//   - a four-channel FFT page into a 1280 x 800 image (goal: under 2 ms);
//   - a Bands window's refresh after 602 (goal: under 1 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "report/reportWindow.h"
#include "state/settings.h"
#include "support/sampleRecording.h"
#include "monitor/epochEngine.h"
#include "views/fftPainter.h"
#include "views/graphPainter.h"
#include "views/tableWindow.h"

namespace {

void fillEeg(std::uint32_t samples)
{
    testing_support::resetCore();
    data::Recording& rec = data::recordings.primary;
    rec.header[data::hw::channelMode] = rec.header[data::hw::channelModeCopy] = 1;
    rec.header[data::hw::contentFlags] = data::content::rawEeg;
    for (int ch = 0; ch < 4; ++ch)
        for (std::uint32_t i = 0; i < samples; ++i)
            data::channelAppend(rec, ch, static_cast<std::int16_t>(1500 * std::sin(i * 0.05 + ch) + 300 * std::sin(i * 0.9)));
    rec.lengthSeconds = samples / 200;
}

void fullGraphRepaint(benchmark::State& state)
{
    fillEeg(4096);
    state::settings.reset();
    for (auto& c : state::settings.channelSettings)
        c.artifact = 100;  // overshoot copies too
    QImage image(1280, 800, QImage::Format_RGB32);
    const monitor::GraphSnapshot page = monitor::renderPage(data::recordings.primary, 1024, monitor::graphPage.geometry());
    for (auto _ : state) {
        QPainter painter(&image);
        const views::PageSetup setup = views::setupGraphPage(painter, page.geometry, image.width(), image.height());
        views::drawGraphPage(painter, page, setup.lineHeight, true);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void reportWithThirtyGraphRows(benchmark::State& state)
{
    fillEeg(6 * 30 * 200);  // 30 rows of 6 seconds
    state::settings.reset();
    report::ReportWindow window(false);
    window.resize(900, 30 * 17 * 20);  // tall enough to show every row
    window.page().showGraph = window.page().showGraphColor = true;
    window.onCommand(602, 0, 1);
    if (window.page().graphRows() < 30)
        state.SkipWithError("fewer than 30 graph rows");
    QImage image(window.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        window.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = window.page().graphRows();
}

void fftRepaint(benchmark::State& state)
{
    fillEeg(256 * 40);
    state::settings.reset();
    auto work = monitor::programEpochWork();
    monitor::startAccumulation(work, 0);
    for (int e = 0; e < 40; ++e)
        monitor::processEpoch(work, e, false);
    QImage image(1280, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        const views::FftSnapshot page = views::fftPage(data::recordings.primary, monitor::graphPage.geometry());
        const views::PageSetup setup = views::setupGraphPage(painter, page.geometry, image.width(), image.height());
        views::drawFftPage(painter, page, setup.lineHeight, true);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void bandsRefresh(benchmark::State& state)
{
    fillEeg(256 * 40);
    state::settings.reset();
    auto work = monitor::programEpochWork();
    monitor::startAccumulation(work, 0);
    for (int e = 0; e < 40; ++e)
        monitor::processEpoch(work, e, false);
    views::BandsWindow window;
    window.resize(600, 300);
    QImage image(window.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        window.onCommand(602, 0, 0);  // the bands again, then the repaint
        window.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

}  // namespace

BENCHMARK(fftRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(bandsRefresh)->Unit(benchmark::kMicrosecond);
BENCHMARK(fullGraphRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(reportWithThirtyGraphRows)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    const QImage screen(16, 16, QImage::Format_RGB32);
    monitor::graphPage.setGeometry(views::measureGraphGeometry(screen));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
