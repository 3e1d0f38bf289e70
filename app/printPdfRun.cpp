#include "app/printPdfRun.h"
#include "platform/commandIds.h"

#include <QApplication>
#include <QImage>
#include <memory>

#include "app/printJobs.h"
#include "app/summaryRun.h"
#include "data/dataFiles.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "monitor/graphPage.h"
#include "monitor/monitorControl.h"
#include "report/reportWindow.h"
#include "report/textPrint.h"
#include "state/startupState.h"
#include "views/graphPainter.h"
#include "views/tableWindow.h"

namespace app {

using state::startup;
using Printed = state::StartupState::PrintedWindow;

namespace {

PrintJob reportJob(const report::ReportWindow& window)
{
    PrintJob job;
    job.text = true;
    job.doc = report::reportDocument(window.page(), window.textFont(), window.scroll().avgChar, window.scroll().textWidth,
                                     window.logicalDpiY());
    return job;
}

// The Bands or Spectrum window as it opens on the recording: its default pair
// and mode, over the tables a reset of the playback computes.
std::unique_ptr<views::TableWindow> tableWindow(Printed printed)
{
    monitor::resetPlayback();
    if (printed == Printed::bands)
        return std::make_unique<views::BandsWindow>();
    return std::make_unique<views::SpectrumWindow>();
}

// The job of the window the command line chose, drawn with the Graph page's
// screen geometry as the windows have it.
int printChosenWindow()
{
    const data::Recording& rec = data::recordings.primary;
    monitor::graphPage.setGeometry(views::measureGraphGeometry(QImage(16, 16, QImage::Format_RGB32)));
    PrintJob job;
    std::unique_ptr<QWidget> window;
    switch (startup.printedWindow) {
    case Printed::report: {
        auto report = std::make_unique<report::ReportWindow>(false);
        report->onCommand(cmd::relayout, 0, 1);
        job = reportJob(*report);
        window = std::move(report);
        break;
    }
    case Printed::graph: job = graphPagesJob(rec, monitor::graphPage.geometry()); break;
    case Printed::fft: job = fftPagesJob(data::recordings.primary, monitor::graphPage.geometry()); break;
    case Printed::bands:
    case Printed::spectrum: {
        auto table = tableWindow(startup.printedWindow);
        job.text = true;
        job.doc = tableDocument(*table);
        window = std::move(table);
        break;
    }
    }
    if (job.text ? job.doc.textLines == 0 && !job.doc.report : job.pageCount == 0)
        return 7;
    return writeJobPdf(job, summaryOutputPath(".pdf")) ? 0 : 5;
}

}  // namespace

bool writeReportPdf(const report::ReportWindow& window, const std::string& path, int* pages)
{
    return writeJobPdf(reportJob(window), path, pages);
}

int runPrintPdf(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    data::resetPrimary();
    data::clearPatientSets(15);
    if (!data::openDataFile(nullptr, startup.dataFilePath, false))
        return startup.exitCode != 0 ? startup.exitCode : 2;
    if (!summaryFolderWritable())
        return 4;
    QApplication application(argc, argv);
    return printChosenWindow();
}

}  // namespace app
