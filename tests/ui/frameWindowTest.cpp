#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>

#include "app/configFile.h"
#include "app/documentState.h"
#include "app/frameWindow.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"
#include "report/reportWindow.h"
#include "support/sampleRecording.h"

using namespace app;
using namespace state;

namespace {

class FrameWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        startup.reset();
        startup.startingUp = false;
        startup.noSerial = true;
        settings.reset();
        document.reset();
        windowLayout.reset();
        platform::dialogs.responder = &responder;
        testing_support::fillPrimary({0, 2000, 8, true, 12});
        testing_support::writePrimary(dir.file("rec.dat"));
        testing_support::resetCore();
    }
    void TearDown() override
    {
        platform::dialogs.reset();
        testing_support::resetCore();
        document.reset();
        startup.reset();
    }
    // Opens the sample file through the Open command, as the user would.
    void openSample(FrameWindow& frame)
    {
        responder.fileAnswers.push_back(dir.file("rec.dat"));
        frame.onCommand(2, 0, 0);
    }
    testing_support::TempDir dir;
    platform::ScriptedResponder responder;
};

std::vector<std::string> pageTexts(report::ReportWindow& w)
{
    std::vector<std::string> out;
    for (int i = 0; i < w.page().totalLineCount(); ++i)
        if (w.page().isShown(i))
            out.push_back(w.page().line(i, report::ReportMode::Columns));
    return out;
}

}  // namespace

TEST_F(FrameWindowTest, OpenShowsTheReportWithPatientBlockAndBands)
{
    FrameWindow frame;
    openSample(frame);
    ASSERT_EQ(responder.fileRequests.size(), 1u);
    EXPECT_EQ(responder.fileRequests[0].filters[0].first, "Data Files (*.dat,*.mon,*.edt)");
    report::ReportWindow* w = frame.reportWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(frame.windowTitle(), "Ozmar - rec.dat ");
    EXPECT_EQ(frame.activeMenu(), MenuKind::CORVANE);
    const auto texts = pageTexts(*w);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "Corvane 4000");
    EXPECT_EQ(w->page().patientBlock().nameLine, "Name: Jane Doe   Age: 57   Sex: F");
    EXPECT_EQ(w->pageLines().front().kind, report::ReportWindow::PageLine::patient);
    EXPECT_EQ(w->page().shownAnalysisLines(), 0);
    frame.onCommand(40020, 0, 0);  // EEG Bands, forwarded to the Report window
    EXPECT_TRUE(w->page().showBands);
    EXPECT_GT(w->page().shownAnalysisLines(), 10);
    EXPECT_TRUE(settings.reportBands);
}

TEST_F(FrameWindowTest, CopyAndFormatCommandsReachTheReportWindow)
{
    FrameWindow frame;
    openSample(frame);
    frame.onCommand(40014, 0, 0);  // Ctrl+C
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("Report\r\nID: ID-0042\r\n"));
    EXPECT_TRUE(copied.contains("Corvane 4000\r\n"));
    report::ReportPage& page = frame.reportWindow()->page();
    page.timeScaleIndex = 0;
    frame.onCommand(40034, 0, 0);
    EXPECT_EQ(page.timeScaleIndex, 0);
    page.timeScaleIndex = 8;
    frame.onCommand(40035, 0, 0);
    EXPECT_EQ(page.timeScaleIndex, 8);
    page.timeScaleIndex = 4;
    EXPECT_EQ(page.graphSecondsPerRow(), 6);
    MenuContext c = frame.menuContext();
    c.menu = MenuKind::CORVANE;
    EXPECT_EQ(itemState(40027, c).text, "&Seconds... \t0 - 10");
    EXPECT_EQ(itemState(40022, c).text, "&Graph \t6 sec");
}

TEST_F(FrameWindowTest, SaveOfAnUnnamedDocumentRunsSaveAs)
{
    FrameWindow frame;
    document.dataPresent = document.dataModified = true;
    responder.fileAnswers.push_back(dir.file("new"));  // no extension: ".dat" is proposed
    responder.answers = {platform::IDYES};
    frame.onCommand(3, 0, 0);
    ASSERT_EQ(responder.fileRequests.size(), 1u);
    EXPECT_TRUE(responder.fileRequests[0].save);
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Do you mean new.dat?"});
    EXPECT_TRUE(std::filesystem::exists(dir.file("new.dat")));
    EXPECT_EQ(document.currentFileName, "new.dat");
}

TEST_F(FrameWindowTest, ExitAsksOnlyWhatNeedsSaving)
{
    {
        FrameWindow frame;
        frame.show();
        EXPECT_TRUE(frame.close());
        EXPECT_TRUE(responder.shown.empty());
    }
    {
        FrameWindow frame;
        frame.show();
        document.patientInfoModified = true;
        responder.answers = {platform::IDCANCEL};
        EXPECT_FALSE(frame.close());  // cancelled: the frame stays
        ASSERT_EQ(responder.shown.size(), 1u);
        EXPECT_EQ(responder.shown[0].text, "Patient Info not saved\nSave file (untitled)?");
        EXPECT_EQ(responder.shown[0].caption, "Ozmar - Exit");
        EXPECT_EQ(responder.shown[0].buttons, platform::Buttons::yesNoCancel);
        responder.answers.push_back(platform::IDNO);
        EXPECT_TRUE(frame.close());
    }
}

TEST_F(FrameWindowTest, TitleInAutoUploadMode)
{
    monitor::monitorState.autoUploadActive = true;
    FrameWindow frame;
    EXPECT_EQ(frame.windowTitle(), "Ozmar - (untitled) (Auto Upload)");
}

TEST_F(FrameWindowTest, MaximisedWindowIsStoredAndComesBackMaximised)
{
    std::vector<SavedWindow> records;
    {
        FrameWindow frame;
        frame.show();
        openSample(frame);
        frame.reportSubWindow()->showMaximized();
        records = frame.windowRecords();
    }
    ASSERT_EQ(records.size(), 2u);
    const WindowRecord& r = records[1].record;
    EXPECT_EQ(r.commandId, 40002);
    EXPECT_EQ(r.flags, 3u);
    EXPECT_EQ(r.x, kDefaultPosition);
    EXPECT_EQ(r.width, kDefaultPosition);
    ASSERT_TRUE(writeConfiguration(dir.file("Ozmar681.cfg"), records));
    ASSERT_TRUE(readConfiguration(dir.file("Ozmar681.cfg")));
    startup.startingUp = true;
    FrameWindow again;
    again.show();
    again.replayLayout();
    ASSERT_NE(again.reportSubWindow(), nullptr);
    EXPECT_TRUE(again.reportSubWindow()->isMaximized());
}

TEST_F(FrameWindowTest, PopupsFollowTheRules)
{
    FrameWindow frame;
    MenuContext c = frame.menuContext();
    EXPECT_FALSE(itemState(3, c).enabled);  // Save: nothing changed
    EXPECT_FALSE(itemState(4, c).enabled);  // Save As: no data
    EXPECT_FALSE(itemState(12, c).enabled);  // Receive: no port
    EXPECT_FALSE(itemState(40005, c).enabled);
    EXPECT_TRUE(itemState(40002, c).enabled);
    openSample(frame);
    c = frame.menuContext();
    EXPECT_TRUE(itemState(4, c).enabled);
    EXPECT_FALSE(itemState(40002, c).enabled);  // the Report window is open
    EXPECT_FALSE(itemState(455, c).enabled);   // no play-control window
    monitor::monitorState.liveSession = true;
    EXPECT_FALSE(itemState(1, c).enabled);
    EXPECT_FALSE(itemState(2, c).enabled);
    EXPECT_FALSE(itemState(4, c).enabled);
    EXPECT_FALSE(itemState(814, c).enabled);
    monitor::monitorState.liveSession = false;
    // The menu bar built for the Report window carries the states when a popup opens.
    QMenu* file = frame.menuBar()->actions()[0]->menu();
    ASSERT_NE(file, nullptr);
    Q_EMIT file->aboutToShow();
    for (QAction* a : file->actions())
        if (a->data().toInt() == 3)
            EXPECT_FALSE(a->isEnabled());
}
