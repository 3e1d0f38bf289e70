#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QMdiArea>
#include <map>

#include <fcntl.h>
#include <stdlib.h>

#include "app/configFile.h"
#include "app/documentState.h"
#include "app/frameWindow.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"
#include "report/reportWindow.h"
#include "monitor/channelSettingsWindow.h"
#include "views/tableWindow.h"
#include "serial/serialPort.h"
#include "state/portTable.h"
#include "app/startup.h"
#include "app/menuTables.h"
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
    // Keeps the window records as the configuration file does and starts up
    // again with them: the next frame made replays them.
    void restartWith(const std::vector<SavedWindow>& records)
    {
        ASSERT_TRUE(writeConfiguration(dir.file("Ozmar681.cfg"), records));
        ASSERT_TRUE(readConfiguration(dir.file("Ozmar681.cfg")));
        startup.startingUp = true;
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

TEST_F(FrameWindowTest, TheReportsRightClickMenuIsTheFramesFormatPopupWithPrintAndCopy)
{
    FrameWindow frame;
    openSample(frame);
    QMenu menu;
    frame.reportWindow()->fillContextMenu(menu);
    std::vector<std::string> texts;
    std::vector<int> ids;
    for (QAction* a : menu.actions()) {
        texts.push_back(a->text().toStdString());
        ids.push_back(a->data().toInt());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"&Font...", "", "Patient &Info", "EEG &Bands", "EEG &Spectrum", "Set &Graph", "",
                                               "&Print", "", "&Copy"}));
    EXPECT_EQ(ids[0], 32);
    EXPECT_EQ(ids[3], 40020);
    ASSERT_NE(menu.actions()[5]->menu(), nullptr);
    EXPECT_EQ(menu.actions()[5]->menu()->actions().size(), 5);
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
    frame.onCommand(40035, 0, 0);  // a step up and back down in the middle of the range
    EXPECT_EQ(page.timeScaleIndex, 5);
    EXPECT_NE(page.graphSecondsPerRow(), 6);
    frame.onCommand(40034, 0, 0);
    EXPECT_EQ(page.timeScaleIndex, 4);
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
    restartWith(records);
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
    QAction* save = nullptr;
    for (QAction* a : file->actions())
        if (a->data().toInt() == 3)
            save = a;
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(save->isEnabled());
}

namespace {

QAction* windowMenuItem(FrameWindow& frame, int id)
{
    QMenu* popup = MenuBuilder::windowPopup(frame.menuBar());
    if (!popup)
        return nullptr;
    Q_EMIT popup->aboutToShow();
    for (QAction* a : popup->actions())
        if (a->data().toInt() == id)
            return a;
    return nullptr;
}

}  // namespace

TEST_F(FrameWindowTest, WindowMenuBringsAClosedReportWindowBack)
{
    FrameWindow frame;
    frame.show();
    openSample(frame);
    QAction* report = windowMenuItem(frame, 40002);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->text(), "&Report");
    EXPECT_FALSE(report->isEnabled());  // it is open
    // The list of windows is there too, after the table's items.
    bool listed = false;
    for (QAction* a : MenuBuilder::windowPopup(frame.menuBar())->actions())
        listed = listed || a->text() == "&1 Report";
    EXPECT_TRUE(listed);

    frame.reportSubWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frame.reportWindow(), nullptr);
    report = windowMenuItem(frame, 40002);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isEnabled());
    report->trigger();
    ASSERT_NE(frame.reportWindow(), nullptr);
    EXPECT_EQ(pageTexts(*frame.reportWindow())[0], "Corvane 4000");
}

TEST_F(FrameWindowTest, RestoredMaximisedReportLooksLikeOneTheUserMaximised)
{
    WindowRecord maximised{40002, kDefaultPosition, kDefaultPosition, kDefaultPosition, kDefaultPosition, 3};
    windowLayout.windows = {{maximised, {}}};
    startup.startingUp = true;
    FrameWindow frame;
    frame.show();
    frame.replayLayout();
    ASSERT_NE(frame.reportSubWindow(), nullptr);
    EXPECT_TRUE(frame.reportSubWindow()->isMaximized());
    // The sub-window's controls stand in the menu bar, and the title names it.
    QWidget* controls = frame.menuBar()->cornerWidget(Qt::TopRightCorner);
    ASSERT_NE(controls, nullptr);
    EXPECT_TRUE(controls->isVisibleTo(&frame));
    EXPECT_TRUE(frame.windowTitle().endsWith(" - [Report]")) << frame.windowTitle().toStdString();
    openSample(frame);  // retitled by an Open, still maximised
    EXPECT_TRUE(frame.windowTitle().endsWith(" - [Report]")) << frame.windowTitle().toStdString();
    EXPECT_NE(frame.menuBar()->cornerWidget(Qt::TopRightCorner), nullptr);
}

TEST_F(FrameWindowTest, RefreshWithANewRecordingScrollsToTheTopLeft)
{
    FrameWindow frame;
    frame.show();
    openSample(frame);
    report::ReportWindow* w = frame.reportWindow();
    frame.reportSubWindow()->resize(150, 160);
    frame.onCommand(40020, 0, 0);  // the band table: more lines than fit
    QApplication::processEvents();
    w->verticalScrollBar()->setValue(5);
    w->horizontalScrollBar()->setValue(2);
    ASSERT_EQ(w->scroll().topLine, 5);
    ASSERT_EQ(w->scroll().leftColumn, 2);
    platform::sendCommand(w, 602, 0, 0);  // a plain refresh keeps the place
    EXPECT_EQ(w->scroll().topLine, 5);
    EXPECT_EQ(w->scroll().leftColumn, 2);
    platform::sendCommand(w, 602, 0, 1);  // a new recording
    EXPECT_EQ(w->scroll().topLine, 0);
    EXPECT_EQ(w->scroll().leftColumn, 0);
    EXPECT_EQ(w->verticalScrollBar()->value(), 0);
}

TEST_F(FrameWindowTest, NoInTheSaveAsQuestionsKeepsTheDialog)
{
    FrameWindow frame;
    openSample(frame);
    document.dataModified = true;
    testing_support::writeBytes(dir.file("taken.dat"), {1, 2, 3});
    responder.fileRequests.clear();
    responder.fileAnswers = {dir.file("report.doc"), dir.file("taken.dat"), dir.file("final")};
    responder.fileAnswersUsed = 0;
    responder.answers = {platform::IDNO, platform::IDNO, platform::IDYES};
    frame.onCommand(4, 0, 0);
    // One dialog throughout: its folder and name stay as the user left them.
    ASSERT_EQ(responder.fileRequests.size(), 1u);
    EXPECT_EQ(responder.texts(), (std::vector<std::string>{"Do you mean report.doc.dat?",
                                                           dir.file("taken.dat") + " exists.\nDo you want to replace it?",
                                                           "Do you mean final.dat?"}));
    EXPECT_EQ(responder.shown[0].caption, "Save As");
    EXPECT_FALSE(std::filesystem::exists(dir.file("report.doc.dat")));
    EXPECT_EQ(testing_support::fileBytes(dir.file("taken.dat")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("final.dat")));
    EXPECT_EQ(document.currentFileName, "final.dat");
}

TEST_F(FrameWindowTest, SaveOfANamedDocumentWritesInPlace)
{
    FrameWindow frame;
    openSample(frame);
    const auto before = testing_support::fileBytes(dir.file("rec.dat"));
    data::recordings.primary.patient.text[data::patientName] = "Changed Name";
    document.patientInfoModified = document.dataModified = true;
    responder.fileRequests.clear();
    frame.onCommand(3, 0, 0);  // Ctrl+S
    EXPECT_TRUE(responder.fileRequests.empty());
    EXPECT_FALSE(document.patientInfoModified);
    EXPECT_NE(testing_support::fileBytes(dir.file("rec.dat")), before);
    testing_support::resetCore();
    testing_support::readPrimary(dir.file("rec.dat"));
    EXPECT_EQ(data::recordings.primary.patient.text[data::patientName], "Changed Name");
}

TEST_F(FrameWindowTest, ASaveThatFailsInsideThePromptCancels)
{
    for (int command : {1, 2}) {
        FrameWindow frame;
        openSample(frame);
        document.currentFilePath = dir.file("gone/rec.dat");  // its folder has disappeared
        document.dataModified = document.dataUnsaved = true;
        const std::uint32_t samples = data::recordings.primary.rawChannels[0].count;
        ASSERT_GT(samples, 0u);
        responder.shown.clear();
        responder.answers = {platform::IDYES, platform::IDOK};
        const std::size_t dialogs = responder.fileRequests.size();
        frame.onCommand(command, 0, 0);
        ASSERT_GE(responder.shown.size(), 2u) << command;
        EXPECT_EQ(responder.shown[1].text, "Could not open file \"" + dir.file("gone/rec.dat") + "\" to write") << command;
        EXPECT_EQ(responder.fileRequests.size(), dialogs) << "Open went on after the failed save";
        EXPECT_EQ(data::recordings.primary.rawChannels[0].count, samples) << command;
        EXPECT_TRUE(document.dataUnsaved);
    }
}

TEST_F(FrameWindowTest, GreyCommandsDoNothingWhicheverWayTheyCome)
{
    // Two states with grey items: nothing open and no port; then a recording
    // shown while a live session runs.
    for (int state = 0; state < 2; ++state) {
        FrameWindow frame;
        frame.show();
        if (state == 1) {
            openSample(frame);
            monitor::monitorState.liveSession = true;
            frame.reportWindow()->page().timeScaleIndex = 8;
        }
        int grey = 0;
        for (const Accelerator& a : acceleratorTable()) {
            if (itemState(a.id, frame.menuContext()).enabled)
                continue;
            ++grey;
            const std::size_t dialogs = responder.fileRequests.size(), boxes = responder.shown.size();
            const DocumentState flags = document;
            const int scale = frame.reportWindow() ? frame.reportWindow()->page().timeScaleIndex : -1;
            const bool reportOpen = frame.reportWindow() != nullptr;
            frame.onCommand(a.id, 0, 0);
            EXPECT_EQ(responder.fileRequests.size(), dialogs) << a.keys;
            EXPECT_EQ(responder.shown.size(), boxes) << a.keys;
            EXPECT_EQ(document.dataPresent, flags.dataPresent) << a.keys;
            EXPECT_EQ(document.currentFilePath, flags.currentFilePath) << a.keys;
            EXPECT_EQ(frame.reportWindow() != nullptr, reportOpen) << a.keys;
            if (frame.reportWindow()) {
                EXPECT_EQ(frame.reportWindow()->page().timeScaleIndex, scale) << a.keys;
            }
        }
        EXPECT_GE(grey, state == 0 ? 8 : 10) << "state " << state;
        monitor::monitorState.liveSession = false;
    }
}

TEST_F(FrameWindowTest, CloseWithAPortOpenWritesTheConfigurationAndAsksForLiveData)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ::grantpt(master);
    ::unlockpt(master);
    ::setenv("OZMAR_COM2", ::ptsname(master), 1);
    startup.noSerial = false;
    startup.startDir = dir.path().string();
    {
        FrameWindow frame;
        frame.show();
        ASSERT_TRUE(serial::openPort(2));
        EXPECT_TRUE(frame.menuContext().portOpen);
        // Samples monitored live and never saved.
        monitor::monitorState.liveSession = true;
        data::recordings.primary.rawChannels[0].count = 512;
        responder.answers = {platform::IDNO};
        EXPECT_TRUE(frame.close());
        ASSERT_EQ(responder.shown.size(), 1u);
        EXPECT_EQ(responder.shown[0].text, "Monitoring data not saved\nSave file (untitled)?");
        EXPECT_EQ(serial::serialPort.portHandle, nullptr);  // the port is closed at exit
    }
    monitor::monitorState.liveSession = false;
    ASSERT_TRUE(std::filesystem::exists(configurationPath()));
    settings.reset();
    ASSERT_TRUE(readConfiguration(configurationPath()));
    EXPECT_EQ(settings.savedPortBase, state::portBaseOf(2));
    ::close(master);
    ::unsetenv("OZMAR_COM2");
}

TEST_F(FrameWindowTest, FontDialogStartsFromTheFontInUseAndOkWithoutAChangeChangesNothing)
{
    FrameWindow frame;
    openSample(frame);
    report::ReportWindow* w = frame.reportWindow();
    const int lineHeight = w->scroll().lineHeight;
    frame.onCommand(32, 0, 0);  // Format > Font; the scripted dialog answers Cancel
    ASSERT_EQ(responder.fontRequests.size(), 1u);
    EXPECT_EQ(responder.fontRequests[0], (platform::FontChoice{"Arial", 10, false, false}));
    EXPECT_EQ(w->scroll().lineHeight, lineHeight);
    // A font chosen once is where the dialog starts the next time.
    platform::FontChoice larger{"Arial", 14, true, false};
    struct Answer : platform::ScriptedResponder {
        platform::FontChoice answer;
        bool fontDialog(const void* owner, platform::FontChoice& font) override
        {
            ScriptedResponder::fontDialog(owner, font);
            font = answer;
            return true;
        }
    } choosing;
    choosing.answer = larger;
    platform::dialogs.responder = &choosing;
    frame.onCommand(32, 0, 0);
    EXPECT_GT(w->scroll().lineHeight, lineHeight);
    frame.onCommand(32, 0, 0);
    ASSERT_EQ(choosing.fontRequests.size(), 2u);
    EXPECT_EQ(choosing.fontRequests[1], larger);
    platform::dialogs.responder = &responder;
}

TEST_F(FrameWindowTest, TheWindowListShowsTitlesWithTheirAmpersands)
{
    FrameWindow frame;
    frame.show();
    openSample(frame);
    frame.onCommand(26, 0, 0);  // Bands EEG 1&2
    windowMenuItem(frame, 40002);
    QStringList shown;
    for (QAction* a : MenuBuilder::windowPopup(frame.menuBar())->actions())
        if (a->text().startsWith("&2 "))
            shown << a->text();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("&2 Bands EEG 1&&2")) << shown[0].toStdString();
}

// Shift+F4 lays the windows one above another, Shift+F3 side by side, each
// arrangement covering the area without overlap.
TEST_F(FrameWindowTest, TileHorizontallyAndVerticallyGiveTheirOwnArrangements)
{
    FrameWindow frame;
    frame.resize(1000, 800);
    frame.show();
    openSample(frame);
    frame.onCommand(25, 0, 0);
    const QSize area = frame.mdiArea()->viewport()->size();
    std::map<int, std::vector<QRect>> arranged;
    for (int id : {701, 702}) {
        frame.onCommand(id, 0, 0);
        for (QMdiSubWindow* w : frame.mdiArea()->subWindowList())
            arranged[id].push_back(w->geometry());
        ASSERT_EQ(arranged[id].size(), 2u);
        EXPECT_FALSE(arranged[id][0].intersects(arranged[id][1])) << id;
    }
    // Horizontally: full width, half height each.
    for (const QRect& r : arranged[701]) {
        EXPECT_EQ(r.width(), area.width());
        EXPECT_NEAR(r.height(), area.height() / 2, 1);
    }
    // Vertically: full height, half width each.
    for (const QRect& r : arranged[702]) {
        EXPECT_EQ(r.height(), area.height());
        EXPECT_NEAR(r.width(), area.width() / 2, 1);
    }
}

// Every document window opens wholly inside the area of a 1280 x 900 frame,
// and a new Bands window shows all of its lines without scrolling.
TEST_F(FrameWindowTest, NewDocumentWindowsOpenInsideTheAreaShowingTheirContent)
{
    FrameWindow frame;
    frame.resize(1280, 900);
    frame.show();
    openSample(frame);
    const QRect area(QPoint(0, 0), frame.mdiArea()->viewport()->size());
    for (int id : {25, 28, 26, 27}) {
        frame.onCommand(id, 0, 0);
        QMdiSubWindow* sub = frame.mdiArea()->activeSubWindow();
        ASSERT_NE(sub, nullptr) << id;
        EXPECT_TRUE(area.contains(sub->geometry())) << id << ": " << sub->geometry().x() << "," << sub->geometry().y()
                                                    << " " << sub->geometry().width() << "x" << sub->geometry().height();
        if (id == 26) {
            auto* bands = dynamic_cast<views::TableWindow*>(sub->widget());
            ASSERT_NE(bands, nullptr);
            EXPECT_GE(bands->viewport()->height(), 11 * bands->scroll().lineHeight) << "the Segments line is hidden";
        }
    }
    EXPECT_TRUE(area.contains(frame.reportSubWindow()->geometry()));
}

TEST_F(FrameWindowTest, AToolWindowComesBackAtItsSavedSize)
{
    std::vector<SavedWindow> records;
    QSize saved;
    {
        FrameWindow frame;
        frame.show();
        frame.ensureToolWindows(true);
        QWidget* tool = frame.channelSettingsWindow();
        tool->resize(tool->width() + 36, tool->height() + 12);
        saved = tool->frameGeometry().size();
        records = frame.windowRecords();
    }
    restartWith(records);
    FrameWindow again;
    again.show();
    again.replayLayout();
    again.ensureToolWindows(true);
    EXPECT_EQ(again.channelSettingsWindow()->frameGeometry().size(), saved);
}

// The tool windows rest while a file dialog is open.
TEST_F(FrameWindowTest, ToolWindowsAreDisabledWhileAFileDialogIsOpen)
{
    FrameWindow frame;
    frame.show();
    openSample(frame);
    frame.ensureToolWindows(true);
    QWidget* settingsWindow = frame.channelSettingsWindow();
    std::vector<std::string> enabledDuring;
    responder.whileFileDialog = [&](const platform::FileRequest& r) {
        if (settingsWindow->isEnabled())
            enabledDuring.push_back(r.title);
    };
    responder.fileAnswers.clear();
    responder.fileAnswersUsed = 0;
    for (int id : {2, 40004, 40041, 40047})  // Open, Save As Text, Save All As Text, Batch Convert: each cancelled
        frame.onCommand(id, 0, 0);
    EXPECT_GE(responder.fileRequests.size(), 4u);
    EXPECT_TRUE(enabledDuring.empty()) << enabledDuring.front();
    EXPECT_TRUE(settingsWindow->isEnabled());
}

// A Spectrum window saved on EEG 3&4 comes back with its pair, and opening a
// two-channel recording puts it on EEG 1&2 (the channel refresh sends 40).
TEST_F(FrameWindowTest, ARestoredSpectrumWindowFollowsATwoChannelRecording)
{
    std::vector<SavedWindow> records;
    {
        FrameWindow frame;
        frame.show();
        frame.onCommand(27, 0, 0);
        auto* spectrum = dynamic_cast<views::TableWindow*>(frame.mdiArea()->activeSubWindow()->widget());
        ASSERT_NE(spectrum, nullptr);
        spectrum->onCommand(45, 0, 0);  // EEG 3&4
        ASSERT_EQ(spectrum->table().pair, 5u);
        records = frame.windowRecords();
    }
    restartWith(records);
    FrameWindow again;
    again.show();
    again.ensureToolWindows(true);
    again.replayLayout();
    views::TableWindow* restored = nullptr;
    for (QMdiSubWindow* sub : again.mdiArea()->subWindowList())
        if (auto* table = dynamic_cast<views::TableWindow*>(sub->widget()); table && !table->isBands())
            restored = table;
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->table().pair, 5u);
    startup.startingUp = false;
    openSample(again);  // a two-channel recording
    EXPECT_EQ(restored->table().pair, 0u);
    EXPECT_TRUE(restored->windowTitle().startsWith("Spectrum EEG 1&2")) << restored->windowTitle().toStdString();
}
