// The transfers in the desktop program against the instrument simulator on a
// pseudo-terminal (COM1 is $OZMAR_COM1), offscreen with the scripted responder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <thread>
#include <ctime>
#include <filesystem>
#include <stdlib.h>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingStore.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"
#include "report/reportWindow.h"
#include "serial/serialPort.h"
#include "serial/transferDialog.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "support/simulator.h"
#include "ui/desktopReset.h"

using namespace app;

namespace {

class TransferCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new testing_support::TempDir;
        const std::string sim = CORVANE_SIM_PATH;
        ASSERT_EQ(testing_support::runCommand(sim + " write " + dir->file("four.dat") + " --seconds 120 --channels 4 --report-text").status, 0);
        ASSERT_EQ(testing_support::runCommand(sim + " write " + dir->file("max.dat") + " --max").status, 0);
    }
    static void TearDownTestSuite() { delete dir; }
    void SetUp() override
    {
        testing_support::resetCore();
        state::startup.reset();
        state::startup.startingUp = false;
        state::startup.noSerial = true;
        state::settings.reset();
        monitor::monitorState.reset();
        document.reset();
        platform::dialogs.responder = &responder;
        serial::transferState.reset();
        serial::TransferDialog::opened = nullptr;
    }
    void TearDown() override
    {
        monitor::stopAll();  // the reader never outlives the port it reads
        serial::closePort();
        serial::serialPort.reset();
        serial::TransferDialog::opened = nullptr;
        platform::dialogs.reset();
        ::unsetenv("OZMAR_COM1");
        testing_support::resetCore();
        document.reset();
    }
    std::unique_ptr<testing_support::SimulatorProcess> instrument(const std::string& args)
    {
        return testing_support::instrumentOnCom1(args);
    }
    // Watches the progress dialog: its title and last bar value.
    void watch()
    {
        serial::TransferDialog::opened = [this](serial::TransferDialog& dialog) {
            title = dialog.windowTitle().toStdString();
            auto* timer = new QTimer(&dialog);
            QObject::connect(timer, &QTimer::timeout, &dialog, [this, &dialog] { lastBar = std::max(lastBar, dialog.shownBarValue()); });
            timer->start(0);
        };
    }
    static inline testing_support::TempDir* dir = nullptr;
    platform::ScriptedResponder responder;
    std::string title;
    int lastBar = 0;
    int cancelledAt = -1;
};

}  // namespace

TEST_F(TransferCommands, ReceiveDataShowsTheReportAndSavesTheSameBytes)
{
    FrameWindow frame;
    frame.show();
    auto sim = instrument("send " + dir->file("four.dat"));
    watch();
    frame.onCommand(12, 0, 0);  // Ctrl+F3
    EXPECT_EQ(sim->wait(), 0);
    EXPECT_TRUE(responder.shown.empty()) << responder.texts()[0];
    EXPECT_EQ(title, "COM1: Data Receiving...");
    EXPECT_EQ(lastBar, 100);
    ASSERT_NE(frame.reportWindow(), nullptr);
    EXPECT_EQ(frame.reportWindow()->page().line(0, report::ReportMode::Screen), data::recordings.primary.deviceName);
    EXPECT_TRUE(document.dataUnsaved);
    EXPECT_TRUE(document.sendable);
    EXPECT_EQ(frame.windowTitle(), "Ozmar - (untitled) ");
    // Saved, it is the file the instrument sent.
    responder.fileAnswers = {dir->file("got.dat")};
    frame.onCommand(4, 0, 0);
    EXPECT_EQ(testing_support::fileBytes(dir->file("got.dat")), testing_support::fileBytes(dir->file("four.dat")));
}

TEST_F(TransferCommands, SendDataAndSendNameDeliverWhatTheyShould)
{
    FrameWindow frame;
    frame.show();
    responder.fileAnswers = {dir->file("four.dat")};
    frame.onCommand(2, 0, 0);
    {
        auto sim = instrument("receive " + dir->file("sent.dat"));
        watch();
        frame.onCommand(11, 0, 0);  // Ctrl+F2
        EXPECT_EQ(sim->wait(), 0);  // the simulator found the check correct
        EXPECT_EQ(title, "COM1: Data Sending...");
        EXPECT_EQ(lastBar, 100);
        EXPECT_FALSE(testing_support::fileBytes(dir->file("sent.dat")).empty());
        monitor::stopAll();  // the reader never outlives the port it reads
        serial::closePort();
    }
    {
        auto sim = instrument("receive " + dir->file("name.dat"));
        responder.textAnswers = {std::string("Room 4")};
        frame.onCommand(13, 0, 0);
        EXPECT_EQ(sim->wait(), 0);
        ASSERT_EQ(responder.textRequests.size(), 1u);
        EXPECT_EQ(responder.textRequests[0].objectName, "NameSend");
        EXPECT_EQ(responder.textRequests[0].maxLength, 80);
        EXPECT_EQ(testing_support::fileBytes(dir->file("name.dat")), (std::vector<std::uint8_t>{32, 6, 'R', 'o', 'o', 'm', ' ', '4'}));
        EXPECT_FALSE(document.nameSending);
    }
    EXPECT_TRUE(responder.shown.empty());
}

TEST_F(TransferCommands, CancelAnywhereLeavesAResetRecordingAndTheNextReceiveWorks)
{
    FrameWindow frame;
    frame.show();
    const auto size = static_cast<long>(std::filesystem::file_size(dir->file("max.dat")));
    // The simulator stalls at a tenth, half and nine tenths of the stream and
    // says so; the transfer is cancelled while the line is held there, by the
    // Cancel button, by Escape and by the close box.
    enum class Way { button, escape, closeBox };
    const std::pair<long, Way> points[] = {{size / 10, Way::button}, {size / 2, Way::escape}, {size * 9 / 10, Way::closeBox}};
    for (const auto& [at, way] : points) {
        {
            auto sim = instrument("send " + dir->file("max.dat") + " --stall 2000 --stall-at " + std::to_string(at) + " --wait 2000");
            std::atomic<bool> stalled{false};
            std::thread watcher([&] { stalled = sim->waitForLine("stalling"); });
            serial::TransferDialog::opened = [this, &stalled, way](serial::TransferDialog& dialog) {
                auto* timer = new QTimer(&dialog);
                QObject::connect(timer, &QTimer::timeout, &dialog, [this, &dialog, &stalled, way] {
                    if (!stalled || cancelledAt >= 0)
                        return;
                    cancelledAt = dialog.barValue();
                    if (way == Way::button) {
                        dialog.pressCancel();
                    } else if (way == Way::escape) {
                        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                        QApplication::sendEvent(&dialog, &escape);
                    } else {
                        dialog.close();
                    }
                });
                timer->start(1);
            };
            frame.onCommand(12, 0, 0);
            watcher.join();
            EXPECT_GE(cancelledAt, 0) << at;
            EXPECT_EQ(sim->wait(), 10) << at;  // the simulator saw 0xF8
            EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u) << at;
            EXPECT_TRUE(responder.shown.empty()) << at;
            EXPECT_FALSE(document.dataPresent);
            monitor::stopAll();  // the reader never outlives the port it reads
            serial::closePort();
        }
        cancelledAt = -1;
    }
    auto sim = instrument("send " + dir->file("four.dat"));
    watch();
    frame.onCommand(12, 0, 0);
    EXPECT_EQ(sim->wait(), 0);
    EXPECT_GT(data::recordings.primary.rawChannels[0].count, 0u);
    EXPECT_TRUE(document.dataPresent);
}

TEST_F(TransferCommands, ABadCheckAndAVanishedPortSayWhatHappened)
{
    FrameWindow frame;
    frame.show();
    {
        auto sim = instrument("send " + dir->file("four.dat") + " --corrupt-crc");
        frame.onCommand(12, 0, 0);
        sim->wait();
        EXPECT_EQ(responder.texts(), std::vector<std::string>{"Transmission CRC error"});
        EXPECT_EQ(responder.shown[0].caption, "Receive");
        EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u);
        monitor::stopAll();  // the reader never outlives the port it reads
        serial::closePort();
    }
    responder.shown.clear();
    {
        auto sim = instrument("send " + dir->file("four.dat") + " --cut 5000");  // the instrument goes away mid-stream
        frame.onCommand(12, 0, 0);
        sim->wait();
        ASSERT_EQ(responder.shown.size(), 1u);
        EXPECT_TRUE(responder.shown[0].text == "Transmission error" || responder.shown[0].text == "Port COM1 is invalid.")
            << responder.shown[0].text;
        EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u);
    }
    // The program stays usable: the port can be closed and the frame works on.
    monitor::stopAll();  // the reader never outlives the port it reads
    serial::closePort();
    EXPECT_FALSE(frame.menuContext().portOpen);
}

namespace {

std::string today()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    ::localtime_r(&now, &t);
    char text[40];
    std::snprintf(text, sizeof text, "%02d%02d%02d", t.tm_mon + 1, t.tm_mday, t.tm_year % 100);
    return text;
}

}  // namespace

TEST_F(TransferCommands, AutoUploadFilesEachArrivingRecordingUnderItsName)
{
    testing_support::TempDir folder;
    testing_support::writeBytes(folder.file(today() + "04_0930.dat"), {9, 9});  // an earlier recording of the day
    FrameWindow frame;
    frame.show();
    // Each instrument keeps its line until the frame has reopened the port after the upload.
    const std::string reopened = dir->file("reopened");
    std::filesystem::remove(reopened);
    auto first = instrument("send " + dir->file("four.dat") + " --settle 400 --hold-until " + reopened);
    // The folder dialog: a proposed name it keeps up to date, and Upload only on that name.
    responder.fileAnswers = {folder.file("other.dat"), folder.file(today() + "05_.dat")};
    frame.onCommand(40005, 0, 0);  // Ctrl+U
    ASSERT_EQ(responder.fileRequests.size(), 1u);
    const platform::FileRequest& r = responder.fileRequests[0];
    EXPECT_EQ(r.title, "Auto Upload");
    EXPECT_EQ(r.acceptLabel, "&Upload");
    EXPECT_EQ(r.fileNameLabel, "&Begin with:");
    EXPECT_EQ(r.filters[0].first, "Today's Data Files (MMDDYYnn_hhmm.dat, .mon)");
    EXPECT_EQ(r.filters[0].second, today() + "*.dat;" + today() + "*.mon");
    ASSERT_TRUE(r.proposeName);
    EXPECT_EQ(r.proposeName(folder.path().string()), today() + "05_.dat");
    EXPECT_TRUE(monitor::monitorState.autoUploadActive);
    EXPECT_EQ(serial::transferState.uploadDir, folder.path().string());
    EXPECT_EQ(frame.windowTitle(), "Ozmar - (untitled) (Auto Upload)");

    // Two recordings arrive; each is filed under the day's next number.
    watch();
    frame.onCommand(606, 0, 0);  // a recording is arriving
    testing_support::writeBytes(reopened, {1});
    EXPECT_EQ(first->wait(), 0);
    EXPECT_EQ(title, "COM1: Uploading to " + today() + "05.dat...");
    monitor::stopAll();  // the reader never outlives the port it reads
    serial::closePort();
    std::filesystem::remove(reopened);
    auto second = instrument("send " + dir->file("max.dat") + " --settle 400 --hold-until " + reopened);
    frame.onCommand(606, 0, 0);  // a recording is arriving
    testing_support::writeBytes(reopened, {1});
    EXPECT_EQ(second->wait(), 0);
    EXPECT_TRUE(responder.shown.empty()) << responder.texts()[0];
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[1].substr(0, 9), today() + "05_");
    EXPECT_EQ(names[2].substr(0, 9), today() + "06_");
    EXPECT_EQ(testing_support::fileBytes(folder.file(names[1])), testing_support::fileBytes(dir->file("four.dat")));
    EXPECT_EQ(testing_support::fileBytes(folder.file(names[2])), testing_support::fileBytes(dir->file("max.dat")));
    EXPECT_TRUE(monitor::monitorState.autoUploadActive);

    // Ctrl+U again turns the mode off.
    frame.onCommand(40005, 0, 0);
    EXPECT_FALSE(monitor::monitorState.autoUploadActive);
    EXPECT_EQ(frame.windowTitle(), "Ozmar - (untitled) ");
}
