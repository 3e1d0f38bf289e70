// Printing offscreen with the scripted responder: print to a PDF file from
// the Graph and Report windows, copies, Cancel in the Printing box, and the
// PDF of /printpdf against its pagination. The PDFs are read with poppler's
// pdfinfo and pdftotext.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMdiSubWindow>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <sstream>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "app/documentState.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/printPdfRun.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "platform/qtText.h"
#include "report/reportWindow.h"
#include "report/textPrint.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "ui/desktopReset.h"
#include "monitor/graphPage.h"
#include "views/tableWindow.h"

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

namespace {

// Where a rendered page has ink: its bounding box and how many pixels.
struct Ink {
    QRect box;
    int pixels = 0;
    int coloured = 0;  // pixels whose red, green and blue differ
    QSize page;
};

// Renders page `page` of a PDF at 50 dpi with poppler's pdftoppm and finds its ink.
Ink inkOf(const std::string& pdf, int page)
{
    const std::string stem = pdf + "-page";
    const std::string command = "pdftoppm -r 50 -png -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                " -singlefile " + pdf + " " + stem;
    Ink ink;
    if (testing_support::runCommand(command).status != 0)
        return ink;
    const QImage image(QString::fromStdString(stem + ".png"));
    ink.page = image.size();
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 235 && c.green() > 235 && c.blue() > 235)
                continue;
            ++ink.pixels;
            ink.coloured += c.red() != c.green() || c.green() != c.blue() ? 1 : 0;
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
    if (right >= 0)
        ink.box = QRect(QPoint(left, top), QPoint(right, bottom));
    return ink;
}

// The drawing fills most of the page inside its margins (at least `margin` pixels at 50 dpi).
void expectDrawingOnThePage(const Ink& ink, int margin, const std::string& what)
{
    ASSERT_GT(ink.pixels, 1000) << what << ": a blank page";
    EXPECT_GE(ink.box.left(), margin) << what;
    EXPECT_GE(ink.box.top(), margin) << what;
    EXPECT_LE(ink.box.right(), ink.page.width() - margin) << what;
    EXPECT_LE(ink.box.bottom(), ink.page.height() - margin) << what;
    EXPECT_GT(ink.box.width(), ink.page.width() / 2) << what;
}

}  // namespace

TEST_F(Printing, GraphAndFftPrintoutsShowTheirDrawingsInsideTheMargins)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    // Margins of at least a centimetre: 19 pixels at 50 dpi, less a pixel for rounding.
    constexpr int kMargin = 18;
    frame.onCommand(25, 0, 0);
    responder.printAnswers = {toFile(platform::PrintRequest::Range::pages, 2, 2),
                              toFile(platform::PrintRequest::Range::currentView)};
    responder.fileAnswers = {dir->file("graph2.pdf"), dir->file("graphView.pdf")};
    frame.onCommand(7, 0, 0);
    frame.onCommand(7, 0, 0);
    const Ink graph = inkOf(dir->file("graph2.pdf"), 1);
    expectDrawingOnThePage(graph, kMargin, "Graph page 2");
    EXPECT_GT(graph.coloured, 100) << "the traces print in colour";
    expectDrawingOnThePage(inkOf(dir->file("graphView.pdf"), 1), kMargin, "Graph current view");
    frame.onCommand(28, 0, 0);
    responder.printAnswers.push_back(toFile(platform::PrintRequest::Range::pages, 1, 1));
    responder.printAnswers.push_back(toFile(platform::PrintRequest::Range::currentView));
    responder.fileAnswers.push_back(dir->file("fft1.pdf"));
    responder.fileAnswers.push_back(dir->file("fftView.pdf"));
    frame.onCommand(7, 0, 0);
    frame.onCommand(7, 0, 0);
    expectDrawingOnThePage(inkOf(dir->file("fft1.pdf"), 1), kMargin, "FFT epoch 1");
    expectDrawingOnThePage(inkOf(dir->file("fftView.pdf"), 1), kMargin, "FFT current view");
}

TEST_F(Printing, BandsAndSpectrumPrintTheirTables)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    for (int id : {26, 27}) {
        frame.onCommand(id, 0, 0);
        auto* table = dynamic_cast<views::TableWindow*>(frame.mdiArea()->activeSubWindow()->widget());
        ASSERT_NE(table, nullptr) << id;
        const std::string pdf = dir->file("table" + std::to_string(id) + ".pdf");
        responder.printAnswers.push_back(toFile(platform::PrintRequest::Range::all));
        responder.fileAnswers.push_back(pdf);
        frame.onCommand(7, 0, 0);
        ASSERT_GE(pdfPages(pdf), 1) << id;
        const std::string text = testing_support::runCommand("pdftotext -layout " + pdf + " -").out;
        // Every word of the table's first lines is on the printed page.
        for (int line = 0; line < 4; ++line) {
            // The window's marks (control characters) are not printed text.
            std::string shown = platform::fromWindows1252(table->table().line(line, analysis::LineFormat::Tabbed)).toStdString();
            std::replace_if(shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
            std::istringstream words(shown);
            for (std::string word; words >> word;)
                EXPECT_NE(text.find(word), std::string::npos) << id << ": " << word;
        }
    }
}

TEST_F(Printing, PageSetupChoicesApplyToThePrint)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(25, 0, 0);
    responder.pageSetupAnswer = [](void* device) {
        auto* printer = static_cast<QPrinter*>(device);
        printer->setPageOrientation(QPageLayout::Landscape);
        return printer->setPageMargins(QMarginsF(30, 30, 30, 30), QPageLayout::Millimeter);
    };
    frame.onCommand(6, 0, 0);
    EXPECT_EQ(responder.pageSetupRequests, 1);
    responder.printAnswers = {toFile(platform::PrintRequest::Range::pages, 1, 1)};
    responder.fileAnswers = {dir->file("landscape.pdf")};
    frame.onCommand(7, 0, 0);
    const Ink ink = inkOf(dir->file("landscape.pdf"), 1);
    EXPECT_GT(ink.page.width(), ink.page.height());
    // 30 mm at 50 dpi: 59 pixels.
    expectDrawingOnThePage(ink, 58, "landscape Graph page");
}

TEST_F(Printing, AFileChosenInThePrintDialogIsNotAskedForAgainAndThePrintedWindowStaysActive)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(25, 0, 0);
    QMdiSubWindow* graph = frame.mdiArea()->activeSubWindow();
    frame.onCommand(40002, 0, 0);  // the Report window exists too
    frame.mdiArea()->setActiveSubWindow(graph);
    platform::PrintRequest::Choice answer = toFile(platform::PrintRequest::Range::pages, 1, 1);
    answer.fileName = dir->file("chosen.pdf");
    responder.printAnswers = {answer};
    frame.onCommand(7, 0, 0);
    EXPECT_TRUE(responder.fileRequests.empty()) << "the output file was asked for twice";
    EXPECT_EQ(pdfPages(dir->file("chosen.pdf")), 1);
    EXPECT_EQ(frame.mdiArea()->activeSubWindow(), graph);
}

namespace {

// Runs ozmar with `options` on the recording in the test's folder; its exit code.
int printFromTheCommandLine(const testing_support::TempDir& dir, const std::string& options)
{
    return testing_support::runCommand("cd " + dir.path().string() + " && QT_QPA_PLATFORM=offscreen " + OZMAR_PATH + " " +
                                       options)
        .status;
}

std::string pdfText(const std::string& pdf)
{
    return testing_support::runCommand("pdftotext -layout " + pdf + " -").out;
}

}  // namespace

// /printpdf with a window option prints what Print prints from that window.
TEST_F(Printing, EveryWindowPrintsFromTheCommandLineAsPrintLaysItOut)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    // The Bands and Spectrum windows' printed text, and the desktop's page
    // counts (the dialog cancelled once they are shown).
    for (int id : {26, 27}) {
        frame.onCommand(id, 0, 0);
        responder.printAnswers.push_back(toFile(platform::PrintRequest::Range::all));
        responder.fileAnswers.push_back(dir->file("desktop" + std::to_string(id) + ".pdf"));
        frame.onCommand(7, 0, 0);
    }
    std::map<int, int> maxPage;
    for (int id : {25, 28}) {
        frame.onCommand(id, 0, 0);
        frame.onCommand(7, 0, 0);
        maxPage[id] = responder.printRequests.back().maxPage;
    }
    ASSERT_EQ(printFromTheCommandLine(*dir, "/printpdf /pgraph rec.dat graph.pdf"), 0);
    ASSERT_EQ(printFromTheCommandLine(*dir, "/pfft rec.dat fft.pdf"), 0);
    ASSERT_EQ(printFromTheCommandLine(*dir, "/printpdf /pbands rec.dat bands.pdf"), 0);
    ASSERT_EQ(printFromTheCommandLine(*dir, "/printpdf /pspectrum rec.dat spectrum.pdf"), 0);
    EXPECT_EQ(pdfPages(dir->file("graph.pdf")), maxPage[25]);
    EXPECT_EQ(pdfPages(dir->file("fft.pdf")), maxPage[28]);
    // Traces in colour, the drawing filling the page within its 10 mm margins
    // (20 pixels at 50 dpi).
    for (const char* pdf : {"graph.pdf", "fft.pdf"}) {
        const Ink ink = inkOf(dir->file(pdf), 2);
        expectDrawingOnThePage(ink, 18, pdf);
        EXPECT_LE(ink.box.left(), 22) << pdf << ": the margin is wider than 10 mm";
        EXPECT_GE(ink.box.right(), ink.page.width() - 22) << pdf;
        EXPECT_GT(ink.coloured, 100) << pdf;
    }
    EXPECT_EQ(pdfText(dir->file("bands.pdf")), pdfText(dir->file("desktop26.pdf")));
    EXPECT_EQ(pdfText(dir->file("spectrum.pdf")), pdfText(dir->file("desktop27.pdf")));
    EXPECT_NE(pdfText(dir->file("bands.pdf")).find("Mean Frequencies Hz:"), std::string::npos);
    // A recording without EEG samples has no Graph page: exit code 7 and no PDF.
    ASSERT_EQ(testing_support::runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("fft-only.dat") +
                                          " --fft-only")
                  .status,
              0);
    EXPECT_EQ(printFromTheCommandLine(*dir, "/pgraph fft-only.dat none.pdf"), 7);
    EXPECT_FALSE(std::filesystem::exists(dir->file("none.pdf")));
}

// A print that cannot start says so, and the next print still works.
TEST_F(Printing, AFailedPrintSaysSoAndTheNextOneWorks)
{
    FrameWindow frame;
    frame.show();
    open(frame);
    frame.onCommand(25, 0, 0);
    platform::PrintRequest::Choice nowhere = toFile(platform::PrintRequest::Range::pages, 1, 1);
    nowhere.fileName = dir->file("no/such/folder/graph.pdf");
    platform::PrintRequest::Choice there = nowhere;
    there.fileName = dir->file("after.pdf");
    responder.printAnswers = {nowhere, there};
    frame.onCommand(7, 0, 0);
    ASSERT_EQ(responder.shown.size(), 1u);
    EXPECT_EQ(responder.shown.back().text, "Failed to print.");
    frame.onCommand(7, 0, 0);
    EXPECT_EQ(pdfPages(dir->file("after.pdf")), 1);
}

// A printer whose document could not start (here: PDF output without a file)
// stays active for good; it is replaced by one that prints, on the same page.
TEST_F(Printing, AStuckPrinterIsRenewedWithItsPageLayout)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(report::defaultPageLayout());
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setOutputFormat(QPrinter::PdfFormat);
    {
        QPainter painter;
        ASSERT_FALSE(painter.begin(printer.get()));
    }
    ASSERT_EQ(printer->printerState(), QPrinter::Active);
    const QPrinter* before = printer.get();
    report::renewIfStuck(printer);
    ASSERT_NE(printer.get(), before);
    EXPECT_EQ(printer->printerState(), QPrinter::Idle);
    EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Landscape);
    printer->setOutputFileName(QString::fromStdString(dir->file("renewed.pdf")));
    {
        QPainter painter;
        ASSERT_TRUE(painter.begin(printer.get()));
        painter.drawText(100, 100, "page");
    }
    EXPECT_EQ(pdfPages(dir->file("renewed.pdf")), 1);
    // A printer in good order stays.
    const QPrinter* good = printer.get();
    report::renewIfStuck(printer);
    EXPECT_EQ(printer.get(), good);
}
