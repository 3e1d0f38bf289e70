#include "app/printJobs.h"

#include <QPainter>
#include <QPrinter>
#include <filesystem>

#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "monitor/graphPage.h"
#include "platform/qtText.h"
#include "report/reportWindow.h"
#include "views/fftPage.h"
#include "views/fftPainter.h"
#include "views/fftWindow.h"
#include "views/graphPainter.h"
#include "views/graphWindow.h"
#include "views/tableWindow.h"

namespace app {

namespace {

// The Graph and FFT pages are their logical drawings, scaled onto the printable
// area. The margins place the viewport in device units: a translation of the
// world would be scaled by the page's mapping as well.
void onArea(QPainter& painter, const report::PrintableArea& area, const monitor::PageGeometry& geometry,
            const std::function<void(int lineHeight)>& draw)
{
    painter.save();
    const views::PageSetup setup =
        views::setupGraphPage(painter, geometry, area.width, area.height, QPoint(area.left, area.top));
    draw(setup.lineHeight);
    painter.restore();
}

// The window's pages, and its current view as page -1.
PrintJob graphJob(views::GraphWindow& w)
{
    const monitor::GraphSnapshot shown = w.shownPage();
    PrintJob job = graphPagesJob(data::recordings.primary, shown.geometry);
    const auto pages = job.drawPage;
    job.drawPage = [&w, pages](QPainter& painter, int page, const report::PrintableArea& area) {
        if (page >= 0)
            return pages(painter, page, area);
        const monitor::GraphSnapshot view = w.shownPage();
        onArea(painter, area, view.geometry, [&](int lineHeight) { views::drawGraphPage(painter, view, lineHeight, true); });
    };
    return job;
}

PrintJob fftJob(views::FftWindow& w)
{
    PrintJob job = fftPagesJob(data::recordings.primary, monitor::graphPage.geometry());
    const auto pages = job.drawPage;
    job.drawPage = [&w, pages](QPainter& painter, int page, const report::PrintableArea& area) {
        if (page >= 0)
            return pages(painter, page, area);
        const views::FftSnapshot view = w.shownPage();
        onArea(painter, area, view.geometry, [&](int lineHeight) { views::drawFftPage(painter, view, lineHeight, true); });
    };
    return job;
}

}  // namespace

report::TextPrintDocument tableDocument(const views::TableWindow& w)
{
    report::TextPrintDocument doc;
    doc.font = w.textFont();
    doc.windowCharWidth = w.scroll().avgChar;
    doc.windowPageWidth = w.scroll().textWidth;
    doc.windowDpi = w.logicalDpiY();
    doc.textLines = w.scroll().lastLine;
    doc.line = [&w](int i) { return platform::fromWindows1252(w.table().line(i, analysis::LineFormat::Tabbed)); };
    return doc;
}

PrintJob graphPagesJob(const data::Recording& rec, const monitor::PageGeometry& geometry)
{
    PrintJob job;
    job.pageCount = static_cast<int>(monitor::pageCount(rec));
    job.drawPage = [&rec, geometry](QPainter& painter, int page, const report::PrintableArea& area) {
        onArea(painter, area, geometry, [&](int lineHeight) {
            views::renderGraphPage(painter, rec, static_cast<std::uint32_t>(page) * monitor::kPageColumns, lineHeight,
                                   true);
        });
    };
    return job;
}

PrintJob fftPagesJob(data::Recording& rec, const monitor::PageGeometry& geometry)
{
    PrintJob job;
    const bool fft = (rec.contentFlags() & data::content::fftData) != 0;
    job.pageCount = fft ? static_cast<int>(views::fftPageCount(rec)) : 0;
    job.drawPage = [&rec, geometry](QPainter& painter, int page, const report::PrintableArea& area) {
        const views::FftSnapshot snapshot = views::renderFftPage(rec, static_cast<std::uint32_t>(page), geometry);
        onArea(painter, area, snapshot.geometry,
               [&](int lineHeight) { views::drawFftPage(painter, snapshot, lineHeight, true); });
    };
    return job;
}

bool jobOf(QWidget* w, PrintJob& job)
{
    if (auto* report = dynamic_cast<report::ReportWindow*>(w)) {
        if (report->page().lineTotal() == 0)
            return false;
        job.text = true;
        job.doc = report::reportDocument(report->page(), report->textFont(), report->scroll().avgChar,
                                         report->scroll().textWidth, report->logicalDpiY());
    } else if (auto* table = dynamic_cast<views::TableWindow*>(w)) {
        job.text = true;
        job.doc = tableDocument(*table);
    } else if (auto* graph = dynamic_cast<views::GraphWindow*>(w)) {
        job = graphJob(*graph);
    } else if (auto* fft = dynamic_cast<views::FftWindow*>(w)) {
        job = fftJob(*fft);
    } else {
        return false;
    }
    return true;
}

report::PrintableArea pageArea(const QPrinter& printer)
{
    return report::printableArea(report::printerDevice(printer, 100), report::printerMargins(printer));
}

bool writeJobPdf(const PrintJob& job, const std::string& path, int* pages)
{
    namespace fs = std::filesystem;
    const std::string temporary = data::temporaryNameFor(path);
    bool ok = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(temporary.c_str()));
        printer.setPageLayout(report::defaultPageLayout());
        printer.setFullPage(true);
        printer.setDocName(QString::fromLocal8Bit(fs::path(path).filename().c_str()));
        std::function<void(QPainter&, int)> draw;
        int count = job.pageCount;
        report::TextPrintLayout layout;
        if (job.text) {
            layout = report::layOutText(job.doc, printer);
            count = layout.pages.pageCount;
            draw = [&](QPainter& painter, int page) { report::drawTextPage(painter, job.doc, layout, page); };
        } else {
            const report::PrintableArea area = pageArea(printer);
            draw = [&job, area](QPainter& painter, int page) { job.drawPage(painter, page, area); };
        }
        if (pages)
            *pages = count;
        ok = report::printPages(printer, report::printOrder(0, count, 1, true), draw, [] { return true; });
    }
    return data::finishTemporary(temporary, path, ok);
}

}  // namespace app
