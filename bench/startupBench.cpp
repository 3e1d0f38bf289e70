// Start-up of the desktop program with a maximum-size recording named on the
// command line, until the Report window has painted for the first time
// (offscreen). The process itself is started once; each iteration runs the
// start-up steps, the frame, the file and the first paint again.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <chrono>
#include <cstdlib>

#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/startup.h"
#include "state/startupState.h"
#include "data/recordingReset.h"
#include "report/reportWindow.h"
#include "support/sampleRecording.h"

namespace {

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void startToFirstPaint(benchmark::State& state)
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("max.dat"));
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        state::startup.reset();
        testing_support::resetCore();
        app::startUp({"/ns", dir.file("max.dat")});
        data::resetPrimary();
        app::FrameWindow frame;
        frame.resize(1100, 760);
        frame.show();
        app::FrameEffects effects{[&] { frame.retitle(); }, [](bool) {}, [] {}, [] {}, [] {}};
        app::openPath(&frame, state::startup.dataFilePath, effects);
        frame.onCommand(40002, 0, 0);
        FirstPaint watch;
        frame.reportWindow()->viewport()->installEventFilter(&watch);
        frame.reportWindow()->viewport()->update();
        while (!watch.painted)
            QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
}

}  // namespace

BENCHMARK(startToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
