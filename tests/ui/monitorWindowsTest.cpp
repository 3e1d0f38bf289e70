// Live monitoring, playback and auto-upload in the desktop program, against
// the instrument simulator on a pseudo-terminal, offscreen with the scripted
// responder. Waits are on conditions with generous deadlines.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <filesystem>
#include <functional>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingHooks.h"
#include "data/recordingStore.h"
#include "monitor/channelSettingsWindow.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorState.h"
#include "platform/fileOps.h"
#include "monitor/playControlWindow.h"
#include "platform/dialogs.h"
#include "serial/serialPort.h"
#include "serial/transfers.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "ui/desktopReset.h"
#include "support/simulator.h"
#include "monitor/graphPage.h"
#include "views/tableWindow.h"
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace app;

namespace {

bool waitFor(const std::function<bool()>& condition, int seconds = 30)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class MonitorWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetDesktop(responder);
        serial::transferState.reset();
    }
    void TearDown() override
    {
        monitor::stopAll();  // the reader never outlives the port it reads
        serial::closePort();
        serial::serialPort.reset();
        platform::dialogs.reset();
        ::unsetenv("OZMAR_COM1");
        testing_support::resetCore();
        document.reset();
    }
    std::unique_ptr<testing_support::SimulatorProcess> instrument(const std::string& args)
    {
        auto sim = testing_support::instrumentOnCom1(args);
        state::settings.portBase = 0x3F8;
        return sim;
    }
    testing_support::TempDir dir;
    platform::ScriptedResponder responder;
};

}  // namespace

TEST_F(MonitorWindows, MonitorFillsTheGraphAndBandsAndStopMakesAnUnsavedRecording)
{
    FrameWindow frame;
    frame.show();
    // A session longer than the test: it is the test that stops monitoring,
    // never the instrument's end, however slowly the display keeps up.
    auto sim = instrument("monitor --seconds 600 --speed 2 --treatment-at 2");
    frame.onCommand(25, 0, 0);  // the Graph window brings the tool windows
    ASSERT_NE(frame.playControlWindow(), nullptr);
    ASSERT_NE(frame.channelSettingsWindow(), nullptr);
    frame.onCommand(26, 0, 0);  // Bands
    frame.onCommand(458, 0, 0);  // Ctrl+T
    ASSERT_TRUE(monitor::monitorState.liveSession);
    auto* stop = frame.playControlWindow()->findChild<QPushButton*>("Button458");
    EXPECT_EQ(stop->text(), "Stop &Mon");
    EXPECT_FALSE(frame.playControlWindow()->findChild<QComboBox*>("Speed")->isEnabled());
    EXPECT_EQ(frame.graphSubWindow()->windowTitle(), "Graph - monitoring ");
    ASSERT_TRUE(waitFor([] { return monitor::monitorState.processedEpochCount >= 4; }));
    EXPECT_FALSE(monitor::graphPage.empty());
    EXPECT_GE(monitor::monitorState.accumulatedEpochCount, 1);
    // The Bands window counts the epochs as they come (read under lock B, as the window paints).
    const auto bandsCount = [&] {
        platform::SectionGuard lockB(monitor::monitorState.lockB);
        for (QMdiSubWindow* sub : frame.mdiArea()->subWindowList())
            if (auto* table = dynamic_cast<views::TableWindow*>(sub->widget()); table && table->isBands())
                for (int n = 0; n < 40; ++n)
                    if (const std::string line = table->table().line(n, analysis::LineFormat::Tabbed); line.rfind("Segments:", 0) == 0)
                        return std::stoi(line.substr(line.rfind('-') + 1));
        return -1;
    };
    const int counted = bandsCount();
    EXPECT_GE(counted, 1);
    ASSERT_TRUE(waitFor([&] { return bandsCount() > counted; }));
    // The treatment start made the recording a treatment in monitoring.
    EXPECT_TRUE(data::recordings.primary.contentFlags() & data::content::report);
    frame.onCommand(458, 0, 0);  // Stop Mon
    EXPECT_FALSE(monitor::monitorState.liveSession);
    EXPECT_TRUE(document.dataUnsaved);
    const data::Recording& rec = data::recordings.primary;
    EXPECT_EQ(rec.contentFlags() & 0x3C, 0x3C);
    EXPECT_GE(rec.rawChannels[0].count, 4u * 256u);
    for (const data::SampleRing& ring : rec.rawChannels)
        EXPECT_EQ(ring.count, rec.rawChannels[0].count);  // whole frames only
    EXPECT_EQ(stop->text(), "&Monitor");
    // Exit asks to save it; Cancel keeps the program.
    responder.answers = {platform::IDCANCEL};
    EXPECT_FALSE(frame.close());
    ASSERT_FALSE(responder.shown.empty());
    EXPECT_EQ(responder.shown.back().text, "Monitoring data not saved\nSave file (untitled)?");
    sim.reset();
}

TEST_F(MonitorWindows, PlaybackAtAllSpeedsAndTheTimeSetRange)
{
    testing_support::SampleOptions o;
    o.samples = 30 * 200;
    o.epochs = 23;
    testing_support::fillPrimary(o);
    data::Recording& rec = data::recordings.primary;
    rec.lengthSeconds = rec.playEndSecond = 30;
    document.dataPresent = true;
    FrameWindow frame;
    frame.show();
    frame.onCommand(25, 0, 0);
    monitor::PlayControlWindow* control = frame.playControlWindow();
    auto* timeSet = control->findChild<QLineEdit*>("TimeSet");
    EXPECT_EQ(timeSet->text(), "0-30");
    timeSet->setText("12 - 40");
    Q_EMIT timeSet->editingFinished();
    EXPECT_EQ(timeSet->text(), "12-30");
    timeSet->setText("40-50");
    Q_EMIT timeSet->editingFinished();
    EXPECT_EQ(timeSet->text(), "12-30");
    EXPECT_EQ(rec.playStartSecond, 12u);
    // 500 % from second 12 (epoch 9) to the end: "Complete".
    frame.onCommand(485, 0, 0);
    frame.onCommand(456, 0, 0);
    frame.onCommand(455, 0, 0);
    EXPECT_EQ(control->findChild<QPushButton*>("Button455")->text(), "Stop&Back");
    EXPECT_EQ(frame.graphSubWindow()->windowTitle(), "Graph - playback ");
    ASSERT_TRUE(waitFor([] { return monitor::monitorState.displayComplete.load(); }));
    ASSERT_TRUE(waitFor([&] { return control->findChild<QPushButton*>("Button455")->text() == "Play&Back"; }));
    EXPECT_EQ(rec.rawChannels[0].playCount, 30u * 200u);
    EXPECT_EQ(monitor::monitorState.playedEpochs, 23);
    // Each timed speed plays from the start of the range at its own rate until stopped.
    for (int id = 481; id <= 485; ++id) {
        frame.onCommand(id, 0, 0);
        frame.onCommand(456, 0, 0);
        frame.onCommand(455, 0, 0);
        EXPECT_EQ(monitor::monitorState.playSpeed, id - 480);
        EXPECT_EQ(monitor::playTimerPeriod(), std::chrono::microseconds(std::array{20000, 10000, 5000, 2000, 1000}[id - 481]));
        ASSERT_TRUE(waitFor([] { return monitor::monitorState.column >= 8; })) << id;
        frame.onCommand(455, 0, 0);
        EXPECT_FALSE(monitor::monitorState.playThreadRunning) << id;
        EXPECT_EQ(control->findChild<QPushButton*>("Button455")->text(), "Play&Back") << id;
    }
    // Step plays one epoch from the start of the range.
    frame.onCommand(480, 0, 0);
    frame.onCommand(456, 0, 0);
    frame.onCommand(455, 0, 0);
    ASSERT_TRUE(waitFor([] { return !monitor::monitorState.playThreadRunning; }));
    EXPECT_EQ(monitor::monitorState.playedEpochs, 12 * 200 / 256 + 1);
}

TEST_F(MonitorWindows, ChannelSettingsFollowTheConfiguration)
{
    FrameWindow frame;
    frame.show();
    frame.ensureToolWindows(true);
    monitor::ChannelSettingsWindow* w = frame.channelSettingsWindow();
    auto* scale3 = w->findChild<QComboBox*>("Scale410");
    ASSERT_NE(scale3, nullptr);
    EXPECT_EQ(scale3->itemText(0), "100");  // two-channel configuration: EMG scale ten times larger
    EXPECT_EQ(scale3->itemText(scale3->count() - 1), "20000");
    scale3->setCurrentIndex(scale3->findText("2000"));
    Q_EMIT scale3->activated(scale3->currentIndex());
    EXPECT_EQ(state::settings.channelSettings[2].scale, 200);
    // EEG3 in list 406 selects EEG4 in 407 and sets both header words.
    auto* signal3 = w->findChild<QComboBox*>("Signal406");
    auto* signal4 = w->findChild<QComboBox*>("Signal407");
    signal3->setCurrentIndex(1);
    Q_EMIT signal3->activated(1);
    EXPECT_EQ(signal4->currentText(), "EEG4");
    EXPECT_EQ(data::recordings.primary.header[data::hw::channelMode], 1);
    EXPECT_EQ(data::recordings.primary.header[data::hw::channelModeCopy], 1);
    EXPECT_EQ(scale3->itemText(0), "10");
    // No port: Monitor is disabled; a port chosen later enables it.
    auto* monitorButton = frame.playControlWindow()->findChild<QPushButton*>("Button458");
    EXPECT_FALSE(monitorButton->isEnabled());
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ::grantpt(master);
    ::unlockpt(master);
    ::setenv("OZMAR_COM1", ::ptsname(master), 1);
    frame.onCommand(814, 0, 0);  // Connect > Set Port > COM 1
    EXPECT_TRUE(monitorButton->isEnabled());
    monitor::stopAll();  // the reader never outlives the port it reads
    serial::closePort();
    ::close(master);
}

TEST_F(MonitorWindows, AutoUploadFilesTheArrivingRecordingAndMonitorsOn)
{
    const std::string sim = CORVANE_SIM_PATH;
    ASSERT_EQ(testing_support::runCommand(sim + " write " + dir.file("rec.dat") + " --seconds 60").status, 0);
    std::filesystem::create_directory(dir.file("up"));
    FrameWindow frame;
    frame.show();
    frame.ensureToolWindows(true);
    auto line = instrument("monitor --seconds 4 --speed 2 --upload " + dir.file("rec.dat"));
    serial::transferState.uploadDir = dir.file("up");
    state::startup.startingUp = true;  // the folder without its dialog, as at start-up
    frame.onCommand(40005, 0, 0);
    state::startup.startingUp = false;
    ASSERT_TRUE(monitor::monitorState.autoUploadActive);
    ASSERT_TRUE(monitor::monitorState.liveSession);
    EXPECT_EQ(frame.windowTitle(), "Ozmar - (untitled) (Auto Upload)");
    const auto filed = [&](const std::string& extension) {
        for (const auto& e : std::filesystem::directory_iterator(dir.file("up")))
            if (e.path().extension() == extension)
                return e.path().string();
        return std::string();
    };
    ASSERT_TRUE(waitFor([&] { return !filed(".dat").empty(); }));
    // The monitored EEG before it went into a monitoring file of its own.
    EXPECT_FALSE(filed(".mon").empty());
    EXPECT_EQ(testing_support::fileBytes(filed(".dat")), testing_support::fileBytes(dir.file("rec.dat")));
    // Monitoring resumes for the next recording, until the instrument goes away.
    ASSERT_TRUE(waitFor([] { return !monitor::monitorState.autoUploadActive; }));
    EXPECT_EQ(responder.shown.back().text, "Port COM1 is invalid.");
}

namespace {

// Auto-upload started as at start-up, into dir/up, with the tool windows made.
class AutoUploadPaths : public MonitorWindows {
protected:
    void SetUp() override
    {
        MonitorWindows::SetUp();
        const std::string sim = CORVANE_SIM_PATH;
        ASSERT_EQ(testing_support::runCommand(sim + " write " + dir.file("rec.dat") + " --seconds 60").status, 0);
        std::filesystem::create_directory(dir.file("up"));
    }
    void TearDown() override
    {
        state::startup.autoClose = false;
        MonitorWindows::TearDown();
    }
    void start(FrameWindow& frame)
    {
        frame.show();
        frame.ensureToolWindows(true);
        serial::transferState.uploadDir = dir.file("up");
        state::startup.startingUp = true;
        frame.onCommand(40005, 0, 0);
        state::startup.startingUp = false;
        ASSERT_TRUE(monitor::monitorState.autoUploadActive);
        ASSERT_TRUE(monitor::monitorState.liveSession);
    }
    std::vector<std::string> filed(const std::string& extension)
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.file("up")))
            if (e.path().extension() == extension)
                out.push_back(e.path().string());
        return out;
    }
};

// Naming a monitoring file fails, as on a full or vanished folder.
int failedForMonitoring(const char* from, const char* to)
{
    if (std::filesystem::path(to).extension() == ".mon") {
        errno = EIO;
        return -1;
    }
    return ::link(from, to);
}

}  // namespace

TEST_F(AutoUploadPaths, ARecordingThatCannotBeFiledIsKeptTheInstrumentToldAndAutoUploadGoesOff)
{
    // The monitored EEG cannot be put under its name: the upload that follows
    // would replace it in memory, so the instrument is refused with 0xF8.
    platform::fileOps.link = failedForMonitoring;
    FrameWindow frame;
    auto line = instrument("monitor --seconds 4 --speed 2 --upload " + dir.file("rec.dat"));
    start(frame);
    ASSERT_TRUE(waitFor([] { return !monitor::monitorState.autoUploadActive; }));
    ASSERT_EQ(responder.shown.size(), 2u);
    EXPECT_EQ(responder.shown.front().text.rfind("Cannot write file " + dir.file("up") + "/", 0), 0u);
    EXPECT_EQ(responder.shown.back().text, "The recording could not be filed in " + dir.file("up") + ".\nIt is kept unsaved; Auto Upload is off.");
    EXPECT_TRUE(document.dataUnsaved);
    EXPECT_GE(data::recordings.primary.rawChannels[0].count, 256u);
    EXPECT_TRUE(filed(".dat").empty());
    EXPECT_EQ(frame.windowTitle().toStdString().find("(Auto Upload)"), std::string::npos);
    EXPECT_TRUE(line->waitForLine("answered F8"));
    platform::fileOps.reset();
}

TEST_F(AutoUploadPaths, AutoCloseEndsTheProgramOnceTheRecordingIsFiled)
{
    state::startup.autoClose = true;
    FrameWindow frame;
    auto line = instrument("monitor --seconds 4 --speed 2 --upload " + dir.file("rec.dat"));
    start(frame);
    ASSERT_TRUE(waitFor([&] { return !frame.isVisible(); }));
    ASSERT_EQ(filed(".dat").size(), 1u);
    EXPECT_EQ(testing_support::fileBytes(filed(".dat")[0]), testing_support::fileBytes(dir.file("rec.dat")));
    EXPECT_EQ(filed(".mon").size(), 1u);
}

TEST_F(AutoUploadPaths, ResetWhileLiveFilesTheEegFirstAndTurningItOffStopsMonitoring)
{
    FrameWindow frame;
    auto line = instrument("monitor --seconds 12 --speed 4");
    start(frame);
    ASSERT_TRUE(waitFor([] { return monitor::monitorState.playedEpochs >= 2; }));
    frame.onCommand(456, 0, 0);  // Reset: the EEG so far is filed, monitoring starts again
    EXPECT_EQ(filed(".mon").size(), 1u);
    EXPECT_TRUE(monitor::monitorState.autoUploadActive);
    EXPECT_TRUE(monitor::monitorState.liveSession);
    EXPECT_EQ(frame.windowTitle(), "Ozmar - (untitled) (Auto Upload)");
    ASSERT_TRUE(waitFor([] { return monitor::monitorState.playedEpochs >= 1; }));
    frame.onCommand(40005, 0, 0);  // Auto Upload off while live
    EXPECT_FALSE(monitor::monitorState.autoUploadActive);
    EXPECT_FALSE(monitor::monitorState.liveSession);
    EXPECT_EQ(frame.windowTitle().toStdString().find("(Auto Upload)"), std::string::npos);
    EXPECT_TRUE(document.dataUnsaved);  // the EEG since the reset, unsaved in memory
    EXPECT_TRUE(responder.shown.empty());
}

TEST_F(AutoUploadPaths, APortGivenUpTurnsAutoUploadOff)
{
    FrameWindow frame;
    auto line = instrument("monitor --seconds 12 --speed 4");
    start(frame);
    ASSERT_TRUE(serial::serialPort.onPortLost);
    frame.onCommand(40005, 0, 0);  // the session ends as it would before the port goes
    monitor::monitorState.autoUploadActive = true;
    serial::serialPort.onPortLost();
    EXPECT_FALSE(monitor::monitorState.autoUploadActive);
    EXPECT_EQ(frame.windowTitle().toStdString().find("(Auto Upload)"), std::string::npos);
    auto* play = frame.playControlWindow()->findChild<QPushButton*>("Button458");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->text(), "&Monitor");
}

TEST_F(AutoUploadPaths, ARecordingAKilledFilingLeftIsFiledWhenAutoUploadStartsAndTheUserTold)
{
    const std::string leftover = dir.file("up/.12082603.dat.0badf00d.tmp");
    testing_support::writeBytes(leftover, testing_support::fileBytes(dir.file("rec.dat")));
    FrameWindow frame;
    auto line = instrument("monitor --seconds 12 --speed 4");
    start(frame);
    // The message comes from the event loop, once monitoring is under way.
    ASSERT_TRUE(waitFor([&] { return !responder.shown.empty(); }));
    ASSERT_EQ(filed(".dat").size(), 1u);
    EXPECT_EQ(testing_support::fileBytes(filed(".dat")[0]), testing_support::fileBytes(dir.file("rec.dat")));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_EQ(responder.shown[0].text, "A recording an earlier session left unfiled (" + leftover + ") was filed as " + filed(".dat")[0]);
    EXPECT_TRUE(monitor::monitorState.liveSession);
    frame.onCommand(40005, 0, 0);
}

// A transfer resets the recording on its own thread: the Channels Setting
// After each Open the Channels Setting window shows the opened recording's
// configuration, its Scale box agrees with the Graph's label, and a Spectrum
// window on EEG 3&4 goes back to EEG 1&2 in a two-channel recording.
TEST_F(MonitorWindows, ChannelSettingsFollowEachRecordingOpened)
{
    const std::string sim = CORVANE_SIM_PATH;
    ASSERT_EQ(testing_support::runCommand(sim + " write " + dir.file("four.dat") + " --channels 4 --seconds 20").status, 0);
    ASSERT_EQ(testing_support::runCommand(sim + " write " + dir.file("two.dat") + " --channels 2 --seconds 20").status, 0);
    FrameWindow frame;
    frame.show();
    frame.ensureToolWindows(true);
    monitor::ChannelSettingsWindow* w = frame.channelSettingsWindow();
    auto* signal3 = w->findChild<QComboBox*>("Signal406");
    auto* signal4 = w->findChild<QComboBox*>("Signal407");
    auto* scale3 = w->findChild<QComboBox*>("Scale410");
    auto* artifact3 = w->findChild<QComboBox*>("Artifact418");
    ASSERT_NE(artifact3, nullptr);
    frame.onCommand(27, 0, 0);  // a Spectrum window
    auto* spectrum = dynamic_cast<views::TableWindow*>(frame.mdiArea()->activeSubWindow()->widget());
    ASSERT_NE(spectrum, nullptr);
    for (const char* name : {"four.dat", "two.dat", "four.dat"}) {
        const bool four = std::string(name) == "four.dat";
        responder.fileAnswers.push_back(dir.file(name));
        frame.onCommand(2, 0, 0);
        EXPECT_EQ(signal3->currentText(), four ? "EEG3" : "EMG") << name;
        EXPECT_EQ(signal4->currentText(), four ? "EEG4" : "ECG") << name;
        EXPECT_EQ(scale3->itemText(0), four ? "10" : "100") << name;
        EXPECT_EQ(artifact3->isEnabled(), four) << name;
        // A recording with content keeps its configuration.
        EXPECT_FALSE(signal3->isEnabled()) << name;
        const auto [scales, unit] = monitor::graphPage.scales();
        EXPECT_EQ(scale3->currentText(), QString::number(scales[2].scaleLabel)) << name;
        if (four)
            platform::sendCommand(spectrum, 45, 0, 0);  // EEG 3&4
        else
            EXPECT_EQ(spectrum->table().pair, 0u) << spectrum->windowTitle().toStdString();
    }
}

// window is refreshed later on the user-interface thread, never from the
// transfer thread, and a window that reads the recording while a transfer
// holds it keeps what it showed.
TEST_F(MonitorWindows, ARecordingResetOnAnotherThreadRefreshesTheChannelWindowOnItsOwn)
{
    FrameWindow frame;
    frame.show();
    frame.ensureToolWindows(true);
    auto* signal3 = frame.channelSettingsWindow()->findChild<QComboBox*>("Signal406");
    ASSERT_EQ(signal3->currentIndex(), 0);
    {
        platform::SectionGuard lockB(monitor::monitorState.lockB);
        data::recordings.primary.header[data::hw::channelMode] = 1;
        data::recordings.primary.header[data::hw::channelModeCopy] = 1;
    }
    std::thread transfer([] { data::recordingHooks.refreshChannelSettings(); });
    transfer.join();
    EXPECT_EQ(signal3->currentIndex(), 0);  // nothing touched from the other thread
    ASSERT_TRUE(waitFor([&] { return signal3->currentIndex() == 1; }));

    // While another thread holds the recording, a refresh leaves the window as it was.
    std::mutex held;
    std::condition_variable changed;
    bool taken = false, release = false;
    std::thread holder([&] {
        platform::SectionGuard recordingLock(data::dataLocks.recordingLock);
        data::recordings.primary.header[data::hw::channelMode] = 0;
        data::recordings.primary.header[data::hw::channelModeCopy] = 0;
        std::unique_lock<std::mutex> lock(held);
        taken = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    });
    {
        std::unique_lock<std::mutex> lock(held);
        changed.wait(lock, [&] { return taken; });
    }
    frame.channelSettingsWindow()->refresh();
    EXPECT_EQ(signal3->currentIndex(), 1);
    {
        std::lock_guard<std::mutex> lock(held);
        release = true;
        changed.notify_all();
    }
    holder.join();
    frame.channelSettingsWindow()->refresh();
    EXPECT_EQ(signal3->currentIndex(), 0);
}
