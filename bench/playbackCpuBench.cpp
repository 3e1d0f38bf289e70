// The processor time the desktop program spends while it plays a maximum-size
// recording back at 500 % with the Graph window open (960 x 600 inside a
// 1280 x 900 frame): the user-interface thread's share of one core (the
// repaints) and the whole process's. Goal: the whole process under 10 % of
// a core.
//
//   playbackCpuBench [seconds]        (default 10; offscreen unless
//                                      QT_QPA_PLATFORM says otherwise, e.g. xcb
//                                      on an X display)
#include <sys/resource.h>
#include <sys/time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "monitor/monitorControl.h"
#include "platform/dialogs.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/sampleRecording.h"

namespace {

double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("max.dat"));
    testing_support::resetCore();
    state::startup.reset();
    state::startup.startingUp = false;
    state::startup.noSerial = true;
    state::settings.reset();
    platform::ScriptedResponder responder;
    platform::dialogs.responder = &responder;

    app::FrameWindow frame;
    frame.resize(1280, 900);
    frame.show();
    responder.fileAnswers = {dir.file("max.dat")};
    frame.onCommand(2, 0, 0);   // Open
    frame.onCommand(25, 0, 0);  // Graph
    frame.graphSubWindow()->setGeometry(0, 0, 960, 600);
    state::settings.playSpeedIndex = 5;  // 500 %
    QApplication::processEvents();

    const double gui0 = cpuSeconds(RUSAGE_THREAD), all0 = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer wall;
    wall.start();
    frame.onCommand(455, 0, 0);  // Play&Back
    QTimer::singleShot(seconds * 1000, &application, &QApplication::quit);
    application.exec();
    const double elapsed = wall.elapsed() / 1000.0;
    const double gui = cpuSeconds(RUSAGE_THREAD) - gui0, all = cpuSeconds(RUSAGE_SELF) - all0;
    monitor::stopAll();
    std::printf("playback at 500%% for %.1f s on %s: user-interface thread %.1f %% of a core, whole process %.1f %%\n",
                elapsed, qPrintable(QApplication::platformName()), 100.0 * gui / elapsed, 100.0 * all / elapsed);
    platform::dialogs.reset();
    return 0;
}
