// A short session of the desktop program on the platform the tests run on:
// open a recording, open the Graph and FFT windows, play back one epoch, exit.
// scripts/waylandSession.sh runs it on a headless Weston compositor, where a
// client cannot place its top-level windows: the session must still end
// cleanly with the configuration written.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/configFile.h"
#include "app/fileCommands.h"
#include "app/manualLink.h"
#include "app/frameWindow.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorState.h"
#include "platform/commandIds.h"
#include "report/reportWindow.h"
#include "support/processRunner.h"
#include "ui/desktopReset.h"

namespace {

bool waitFor(const std::function<bool()>& condition)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Shows the frame at a size that holds its windows, with the recording open.
bool showWith(app::FrameWindow& frame, const std::string& path)
{
    frame.resize(1000, 700);
    frame.show();
    app::FrameEffects none{[] {}, [](bool) {}, [] {}, [] {}, [] {}};
    return app::openPath(&frame, path, none);
}

}  // namespace

TEST(DesktopSession, OpenGraphFftPlayOneEpochAndExitWritesTheConfiguration)
{
    if (const char* asked = std::getenv("OZMAR_TEST_PLATFORM"))
        ASSERT_EQ(QGuiApplication::platformName().toStdString(), asked);
    platform::ScriptedResponder responder;
    testing_support::resetDesktop(responder);
    testing_support::TempDir dir;
    ASSERT_EQ(testing_support::runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 20").status, 0);
    state::startup.startDir = dir.path().string();
    state::startup.noSerial = false;  // a run that keeps its configuration
    {
        app::FrameWindow frame;
        ASSERT_TRUE(showWith(frame, dir.file("rec.dat")));
        frame.onCommand(cmd::openReport, 0, 0);
        frame.onCommand(cmd::openGraph, 0, 0);
        frame.onCommand(cmd::openFft, 0, 0);
        ASSERT_NE(frame.graphSubWindow(), nullptr);
        frame.ensureToolWindows(true);
        frame.onCommand(cmd::speedStep, 0, 0);
        frame.onCommand(cmd::playBack, 0, 0);
        ASSERT_TRUE(waitFor([] { return monitor::monitorState.playedEpochs >= 1 && !monitor::monitorState.playThreadRunning; }));
        EXPECT_EQ(monitor::monitorState.playedEpochs, 1);
        EXPECT_TRUE(frame.close());
    }
    // The configuration read back: the frame's record, and the Graph and FFT windows'.
    app::windowLayout.reset();
    ASSERT_TRUE(app::readConfiguration(dir.file(app::kConfigFileName)))
        << "on " << QGuiApplication::platformName().toStdString();
    EXPECT_TRUE(app::windowLayout.frame.has_value());
    std::vector<int> kinds;
    for (const app::SavedWindow& w : app::windowLayout.windows)
        kinds.push_back(w.record.commandId);
    for (int kind : {static_cast<int>(cmd::openGraph), static_cast<int>(cmd::openFft)})
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind;
    EXPECT_TRUE(responder.shown.empty());
    app::windowLayout.reset();
    monitor::stopAll();
    platform::dialogs.reset();
    testing_support::resetCore();
    app::document.reset();
}

TEST(DesktopSession, CustomDrawnWindowsTellScreenReadersWhatTheyShow)
{
    platform::ScriptedResponder responder;
    testing_support::resetDesktop(responder);
    testing_support::TempDir dir;
    ASSERT_EQ(testing_support::runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 20").status, 0);
    {
        app::FrameWindow frame;
        ASSERT_TRUE(showWith(frame, dir.file("rec.dat")));
        frame.onCommand(cmd::openReport, 0, 0);
        frame.onCommand(cmd::reportGraph, 0, 0);
        frame.onCommand(cmd::openGraph, 0, 0);
        frame.onCommand(cmd::openFft, 0, 0);
        QWidget* graph = frame.graphSubWindow()->widget();
        QWidget* fft = frame.fftSubWindow()->widget();
        graph->grab();  // painted once, as on the screen
        fft->grab();
        EXPECT_EQ(graph->accessibleName(), "Graph");
        const std::string g = graph->accessibleDescription().toStdString();
        EXPECT_NE(g.find("Treatment recording of "), std::string::npos) << g;
        EXPECT_NE(g.find("page 1 of 8, seconds 0.00 to 2.56"), std::string::npos) << g;
        EXPECT_EQ(fft->accessibleName(), "FFT");
        EXPECT_NE(fft->accessibleDescription().indexOf("FFT (accumulated)"), -1) << fft->accessibleDescription().toStdString();
        const std::string r = frame.reportWindow()->accessibleDescription().toStdString();
        EXPECT_NE(r.find("rows of EEG traces"), std::string::npos) << r;
    }
    platform::dialogs.reset();
    testing_support::resetCore();
    app::document.reset();
}

TEST(DesktopSession, TheAboutBoxOffersTheManualInstalledBesideTheProgram)
{
    namespace fs = std::filesystem;
    testing_support::TempDir dir;
    fs::create_directories(dir.path() / "usr" / "bin");
    EXPECT_EQ(app::manualPath(dir.file("usr/bin")), "");
    fs::create_directories(dir.path() / "usr" / "share" / "doc" / "ozmar" / "manual");
    testing_support::writeBytes(dir.file("usr/share/doc/ozmar/manual/manual.html"), {'<'});
    EXPECT_EQ(app::manualPath(dir.file("usr/bin")), dir.file("usr/share/doc/ozmar/manual/manual.html"));
    fs::create_directories(dir.path() / "build" / "manual");
    testing_support::writeBytes(dir.file("build/manual/manual.html"), {'<'});
    EXPECT_EQ(app::manualPath(dir.file("build")), dir.file("build/manual/manual.html"));

    platform::ScriptedResponder responder;
    testing_support::resetDesktop(responder);
    app::FrameWindow frame;
    frame.show();
    QString buttons;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            for (QAbstractButton* b : box->buttons())
                buttons += b->text() + ";";
            box->reject();
        }
    });
    frame.onCommand(cmd::about, 0, 0);
    EXPECT_NE(buttons.indexOf("&Manual;"), -1) << buttons.toStdString();
    platform::dialogs.reset();
    testing_support::resetCore();
}
