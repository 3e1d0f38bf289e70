#include "app/printPdfRun.h"
#include "platform/commandIds.h"

#include <QApplication>
#include <QPrinter>
#include <filesystem>

#include "app/summaryRun.h"
#include "data/dataFiles.h"
#include "data/recordingReset.h"
#include "data/safeFile.h"
#include "report/reportWindow.h"
#include "report/textPrint.h"
#include "state/startupState.h"

namespace app {

using state::startup;
namespace fs = std::filesystem;

// A failed print leaves no partial PDF under the name.
bool writeReportPdf(const report::ReportWindow& window, const std::string& path, int* pages)
{
    const report::TextPrintDocument doc = report::reportDocument(window.page(), window.textFont(), window.scroll().avgChar,
                                                                 window.scroll().textWidth, window.logicalDpiY());
    const std::string temporary = data::temporaryNameFor(path);
    bool ok = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(temporary.c_str()));
        printer.setPageLayout(report::defaultPageLayout());
        printer.setFullPage(true);
        printer.setDocName(QString::fromLocal8Bit(fs::path(path).filename().c_str()));
        const report::TextPrintLayout layout = report::layOutText(doc, printer);
        if (pages)
            *pages = layout.pages.pageCount;
        ok = report::printPages(
            printer, report::printOrder(0, layout.pages.pageCount, 1, true),
            [&](QPainter& painter, int page) { report::drawTextPage(painter, doc, layout, page); }, [] { return true; });
    }
    return data::finishTemporary(temporary, path, ok);
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
    report::ReportWindow window(false);
    window.onCommand(cmd::relayout, 0, 1);
    return writeReportPdf(window, summaryOutputPath(".pdf")) ? 0 : 5;
}

}  // namespace app
