#include "report/textPrint.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "platform/markedText.h"
#include "platform/qtText.h"
#include "report/reportPage.h"

namespace report {

namespace {

// The window's font for the printer: its pixel size scaled by the printer's
// resolution over the screen's.
void measure(TextPrintLayout& l, const TextPrintDocument& doc, const QPaintDevice& device)
{
    l.font = QFont(doc.font, &device);
    const int screenPixels = QFontInfo(doc.font).pixelSize();
    l.font.setPixelSize(std::max(1, screenPixels * device.logicalDpiY() / std::max(1, doc.windowDpi)));
    const QFontMetrics m(l.font, &device);
    l.charWidth = std::max(1, m.averageCharWidth());
    l.lineHeight = std::max(1, m.height() + m.leading());
    const bool fixed = QFontInfo(l.font).fixedPitch();
    l.columnStep = fixed ? l.charWidth : l.charWidth * 3 / 2;
    l.tabWidth = (fixed ? 10 : 12) * l.charWidth;
}

TextPrintLayout paginate(const TextPrintDocument& doc, QPrinter& printer, int scalePercent)
{
    TextPrintLayout l;
    measure(l, doc, printer);
    l.area = printableArea(printerDevice(printer, scalePercent), printerMargins(printer));
    const int rows = doc.report ? doc.report->graphRows() : 0;
    const int perRow = doc.report ? doc.report->graphLinesPerRow() : 0;
    l.pages = paginateText(doc.textLines, rows, perRow, l.area,
                           {l.lineHeight, l.charWidth, doc.windowCharWidth, doc.windowPageWidth});
    l.scale = scalePercent / 100.0;
    return l;
}

}  // namespace

TextPrintDocument reportDocument(const ReportPage& page, const QFont& font, int windowCharWidth, int windowPageWidth,
                                 int windowDpi)
{
    TextPrintDocument doc;
    doc.windowDpi = windowDpi;
    doc.font = font;
    doc.windowCharWidth = windowCharWidth;
    doc.windowPageWidth = windowPageWidth;
    doc.report = page.graphRows() > 0 ? &page : nullptr;
    // The patient block, a gap when more follows, then the shown list lines.
    std::vector<QString> lines;
    for (const std::string& l : page.patientBlock().lines())
        lines.push_back(platform::fromWindows1252(l));
    const int patient = static_cast<int>(lines.size());
    const bool list = page.recording().contentFlags() != 0 && page.showReport;
    for (int i = 0; i < page.totalLineCount(); ++i)
        if (page.isShown(i) && (list || i >= page.reportLineCount()))
            lines.push_back(platform::fromWindows1252(page.line(i, ReportMode::Screen)));
    if (patient > 0 && static_cast<int>(lines.size()) > patient)
        lines.insert(lines.begin() + patient, QString());
    doc.textLines = static_cast<int>(lines.size());
    doc.line = [lines = std::move(lines)](int i) { return lines[static_cast<std::size_t>(i)]; };
    return doc;
}

QPageLayout defaultPageLayout()
{
    // Half an inch on every side where the locale measures in inches, else 10 mm.
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    if (inches)
        return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0.5, 0.5, 0.5, 0.5),
                           QPageLayout::Inch);
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

bool printPages(QPrinter& printer, const std::vector<int>& order, const std::function<void(QPainter&, int)>& draw,
                const std::function<bool()>& keepGoing)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (!keepGoing() || (i > 0 && !printer.newPage())) {
            printer.abort();
            painter.end();
            return false;
        }
        draw(painter, order[i]);
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

void renewIfStuck(std::unique_ptr<QPrinter>& printer)
{
    if (!printer || printer->printerState() != QPrinter::Active)
        return;
    const QPageLayout layout = printer->pageLayout();
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(layout);
}

PrintMargins printerMargins(const QPrinter& printer)
{
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    const auto hundredths = [](double mm) { return static_cast<int>(std::lround(mm * 100.0)); };
    return {hundredths(m.left()), hundredths(m.top()), hundredths(m.right()), hundredths(m.bottom()), true};
}

PrintDevice printerDevice(const QPrinter& printer, int scalePercent)
{
    const QRect full = printer.pageLayout().fullRectPixels(printer.resolution());
    // A printer that shrinks by a scale percentage offers more pixels for the same paper.
    const double factor = 100.0 / std::max(1, scalePercent);
    return {static_cast<int>(full.width() * factor), static_cast<int>(full.height() * factor), printer.resolution(),
            printer.resolution(), scalePercent};
}

TextPrintLayout layOutText(const TextPrintDocument& doc, QPrinter& printer)
{
    TextPrintLayout l = paginate(doc, printer, 100);
    if (l.pages.shrink < 1.0) {
        const int scale = std::max(1, static_cast<int>(100.0 * l.pages.shrink));
        l = paginate(doc, printer, scale);
    }
    return l;
}

void drawTextPage(QPainter& painter, const TextPrintDocument& doc, const TextPrintLayout& l, int page)
{
    painter.save();
    painter.scale(l.scale, l.scale);
    painter.fillRect(QRect(0, 0, l.area.width + 2 * l.area.left, l.area.height + 2 * l.area.top), Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(l.font);
    const int ascent = QFontMetrics(l.font, painter.device()).ascent();
    const auto [first, end] = pageLines(l.pages, page);
    for (int n = first; n < end && n < doc.textLines; ++n)
        platform::drawMarkedText(&painter, l.font, l.area.left, l.area.top + (n - first) * l.lineHeight + ascent, l.tabWidth,
                                 doc.line(n), true);
    for (std::size_t row = 0; doc.report && row < l.pages.graphRowLine.size(); ++row) {
        const int start = l.pages.graphRowLine[row];
        if (start < first || start >= end)
            continue;
        const GraphRowPlace place{l.area.left + 2 * l.charWidth, l.area.top + (start - first) * l.lineHeight, l.columnStep,
                                  l.lineHeight};
        drawGraphRow(painter, *doc.report, static_cast<int>(row), place, l.font);
    }
    painter.restore();
}

}  // namespace report
