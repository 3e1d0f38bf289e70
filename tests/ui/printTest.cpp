// Printing offscreen with the scripted responder: print to a PDF file from
// the Graph and Report windows, copies, Cancel in the Printing box, and the
// PDF of /printpdf against its pagination. The PDFs are read with poppler's
// pdfinfo and pdftotext.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/documentState.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/printPdfRun.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "report/reportWindow.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "ui/desktopReset.h"
#include "views/graphPage.h"

using namespace app;

namespace {

int pdfPages(const std::string& path)
{
    const auto r = testing_support::runCommand("pdfinfo " + path + " | sed -n 's/^Pages: *//p'");
    return r.status == 0 && !r.out.empty() ? std::stoi(r.out) : -1;
}

class Printing : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new testing_support::TempDir;
        ASSERT_EQ(testing_support::runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("rec.dat") +
                                              " --seconds 60 --report-text")
                      .status,
                  0);
    }
    static void TearDownTestSuite() { delete dir; }
    void SetUp() override
    {
        if (testing_support::runCommand("command -v pdfinfo").status != 0)
            GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed";
        testing_support::resetDesktop(responder);
    }
    void TearDown() override
    {
        platform::dialogs.reset();
        testing_support::resetCore();
        document.reset();
    }
    void open(FrameWindow& frame)
    {
        FrameEffects none{[] {}, [](bool) {}, [] {}, [] {}, [] {}};
        ASSERT_TRUE(openPath(&frame, dir->file("rec.dat"), none));
    }
    static platform::PrintRequest::Choice toFile(platform::PrintRequest::Range range, int from = 1, int to = 1)
    {
        platform::PrintRequest::Choice a;
        a.range = range;
        a.fromPage = from;
        a.toPage = to;
        a.printToFile = true;
        return a;
    }
    static inline testing_support::TempDir* dir = nullptr;
    platform::ScriptedResponder responder;
};

}  // namespace

TEST_F(Printing, GraphPagesToAPdfFileOnePageEachAndTheCurrentView)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(25, 0, 0);
    responder.printAnswers = {toFile(platform::PrintRequest::Range::pages, 2, 4)};
    responder.fileAnswers = {dir->file("graph.pdf")};
    frame.onCommand(7, 0, 0);
    ASSERT_EQ(responder.printRequests.size(), 1u);
    // 60 s are 12000 samples: ceil(12000 / 512) = 24 pages, and a Current View.
    EXPECT_EQ(responder.printRequests[0].maxPage, 24);
    EXPECT_TRUE(responder.printRequests[0].offerCurrentView);
    EXPECT_EQ(responder.fileRequests.back().title, "Print To File");
    EXPECT_EQ(responder.fileRequests.back().filters[0].first, "PDF Files (*.pdf)");
    EXPECT_EQ(pdfPages(dir->file("graph.pdf")), 3);
    // The current view, two copies: two pages.
    platform::PrintRequest::Choice view = toFile(platform::PrintRequest::Range::currentView);
    view.copies = 2;
    responder.printAnswers.push_back(view);
    responder.fileAnswers.push_back(dir->file("view.pdf"));
    frame.onCommand(7, 0, 0);
    EXPECT_EQ(pdfPages(dir->file("view.pdf")), 2);
}

TEST_F(Printing, CancelInThePrintingBoxLeavesNoPdf)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(25, 0, 0);
    responder.printAnswers = {toFile(platform::PrintRequest::Range::all)};
    responder.fileAnswers = {dir->file("cancelled.pdf")};
    // Cancel once the box shows (between two pages).
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == "PrintCancel" && w->isVisible())
                if (auto* cancel = w->findChild<QAbstractButton*>("PrintCancelButton"))
                    cancel->click();
    });
    timer.start(0);
    frame.onCommand(7, 0, 0);
    EXPECT_FALSE(std::filesystem::exists(dir->file("cancelled.pdf")));
    for (const auto& e : std::filesystem::directory_iterator(dir->path()))
        EXPECT_EQ(e.path().string().find(".partial-"), std::string::npos) << e.path();
}

TEST_F(Printing, ReportPagesMatchTheirPaginationAndHoldTheReport)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(40002, 0, 0);
    report::ReportWindow* window = frame.reportWindow();
    ASSERT_NE(window, nullptr);
    window->page().showBands = window->page().showGraph = true;
    window->onCommand(602, 0, 1);
    int pages = 0;
    ASSERT_TRUE(writeReportPdf(*window, dir->file("report.pdf"), &pages));
    EXPECT_GT(pages, 1);
    EXPECT_EQ(pdfPages(dir->file("report.pdf")), pages);
    const auto text = testing_support::runCommand("pdftotext -layout " + dir->file("report.pdf") + " -");
    EXPECT_NE(text.out.find("Seizure Power Spectral Analysis"), std::string::npos);
    EXPECT_NE(text.out.find("Name: Simulated Patient"), std::string::npos);
    // Printed from the window: the same page count, and the All choice says it.
    responder.printAnswers = {toFile(platform::PrintRequest::Range::all)};
    responder.fileAnswers = {dir->file("printed.pdf")};
    frame.onCommand(7, 0, 0);
    ASSERT_EQ(responder.printRequests.size(), 1u);
    EXPECT_EQ(responder.printRequests[0].allLabel, "&All: from 1 to " + std::to_string(pages));
    EXPECT_EQ(pdfPages(dir->file("printed.pdf")), pages);
    // Two copies, pages 1 to 2, not collated: four sheets.
    platform::PrintRequest::Choice two = toFile(platform::PrintRequest::Range::pages, 1, 2);
    two.copies = 2;
    two.collate = false;
    responder.printAnswers.push_back(two);
    responder.fileAnswers.push_back(dir->file("copies.pdf"));
    frame.onCommand(7, 0, 0);
    EXPECT_EQ(pdfPages(dir->file("copies.pdf")), 4);
}

namespace {

// The system's printing service for one test: cupsd (started when none runs)
// with a CUPS-PDF queue; what the test started is stopped again.
class PdfQueue {
public:
    static constexpr const char* kQueue = "OzmarTestPDF";
    std::string problem;  // why the queue is not there

    PdfQueue()
    {
        using testing_support::runCommand;
        if (runCommand("command -v cupsd && command -v lpadmin && command -v lpstat").status != 0) {
            problem = "CUPS (cupsd, lpadmin) is not installed";
            return;
        }
        if (runCommand("lpstat -r | grep -q 'is running'").status != 0) {
            if (runCommand("cupsd").status != 0) {
                problem = "cupsd could not be started (it needs root)";
                return;
            }
            started_ = true;
            for (int i = 0; i < 100 && runCommand("lpstat -r | grep -q 'is running'").status != 0; ++i)
                runCommand("sleep 0.1");
        }
        if (runCommand(std::string("lpadmin -p ") + kQueue + " -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd").status != 0) {
            problem = "the CUPS-PDF queue could not be added (is printer-driver-cups-pdf installed?)";
            return;
        }
        added_ = true;
    }
    ~PdfQueue()
    {
        if (added_)
            testing_support::runCommand(std::string("lpadmin -x ") + kQueue);
        if (started_)
            testing_support::runCommand("pkill -x cupsd");
    }
    // The folder CUPS-PDF writes into for this user.
    static std::filesystem::path outputFolder()
    {
        const char* home = std::getenv("HOME");
        return std::filesystem::path(home ? home : "/root") / "PDF";
    }

private:
    bool started_ = false;
    bool added_ = false;
};

}  // namespace

TEST_F(Printing, ThroughTheSystemsPdfQueue)
{
    PdfQueue queue;
    if (!queue.problem.empty())
        GTEST_SKIP() << "not printed through CUPS: " << queue.problem;
    namespace fs = std::filesystem;
    std::error_code error;
    std::set<fs::path> before;
    for (const auto& e : fs::directory_iterator(PdfQueue::outputFolder(), error))
        before.insert(e.path());
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(40002, 0, 0);
    platform::PrintRequest::Choice answer;
    answer.printerName = PdfQueue::kQueue;
    responder.printAnswers = {answer};
    frame.onCommand(7, 0, 0);
    ASSERT_EQ(responder.printRequests.size(), 1u);
    // The queue writes the job into the folder when it has run.
    fs::path written;
    for (int i = 0; i < 300 && written.empty(); ++i) {
        for (const auto& e : fs::directory_iterator(PdfQueue::outputFolder(), error))
            if (!before.count(e.path()) && e.path().extension() == ".pdf")
                written = e.path();
        if (written.empty())
            testing_support::runCommand("sleep 0.1");
    }
    ASSERT_FALSE(written.empty()) << "the queue wrote no PDF in " << PdfQueue::outputFolder();
    testing_support::runCommand("sleep 0.5");  // the last bytes
    // The queue's PDF (made by Ghostscript, whose fonts pdftotext cannot read
    // back) has the report's title and the pages the pagination gives.
    int pages = 0;
    ASSERT_TRUE(writeReportPdf(*frame.reportWindow(), dir->file("direct.pdf"), &pages));
    EXPECT_EQ(pdfPages(written.string()), pages);
    const auto info = testing_support::runCommand("pdfinfo '" + written.string() + "'");
    EXPECT_NE(info.out.find("Report"), std::string::npos) << info.out;
    fs::remove(written, error);
}
