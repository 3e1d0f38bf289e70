#pragma once

#include <QFont>
#include <QPageLayout>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "report/graphRowPainter.h"
#include "report/printLayout.h"

class QPainter;
class QPrinter;

namespace report {

class ReportPage;

// What a text window prints: its text lines (patient block, gap, list lines,
// each drawn as marked text) and, for the Report window, its graph rows, with
// the window's font and page width to scale them to the paper.
struct TextPrintDocument {
    std::function<QString(int)> line;  // print line i of the text
    int textLines = 0;
    const ReportPage* report = nullptr;  // graph rows from here (none when null)
    QFont font;
    int windowCharWidth = 1;
    int windowPageWidth = 1;
    int windowDpi = 96;  // the screen's resolution the window's font is measured at
};

// The text document of a Report page as its window shows it with `font`.
TextPrintDocument reportDocument(const ReportPage& page, const QFont& font, int windowCharWidth, int windowPageWidth,
                                 int windowDpi);

// The pages of a text document on a printer: the print font, its measures,
// the printable area and the pagination, and the scale the painter draws at
// (below 1 when the text had to shrink to fit the paper).
struct TextPrintLayout {
    PrintableArea area;
    TextPagination pages;
    QFont font;
    int charWidth = 1;
    int lineHeight = 1;
    int columnStep = 1;
    int tabWidth = 1;
    double scale = 1.0;
};

// Lays the document out for the printer's page and margins; a text that is
// wider than the paper (or a graph row taller than a page) is shrunk to fit.
TextPrintLayout layOutText(const TextPrintDocument& doc, QPrinter& printer);

// Draws page `page` (0-based): white background, the lines at the left and
// top margins, the graph rows placed on it.
void drawTextPage(QPainter& painter, const TextPrintDocument& doc, const TextPrintLayout& layout, int page);

// The page a print starts from: A4 (Letter where the locale measures in
// inches), portrait, with margins of one inch.
QPageLayout defaultPageLayout();

// Prints the pages in `order` (copies and collation already in it), a new
// sheet for each but the first, each drawn by `draw`; `keepGoing` is asked
// before each page (false: the print stops and the printer's job is
// abandoned). False when the print did not complete.
bool printPages(QPrinter& printer, const std::vector<int>& order, const std::function<void(QPainter&, int)>& draw,
                const std::function<bool()>& keepGoing);

// A print whose document could not be started leaves Qt's printer active for
// good, and every later print on it would fail: such a printer is replaced by
// a new one with the same page layout.
void renewIfStuck(std::unique_ptr<QPrinter>& printer);

// The margins of the printer's page layout in hundredths of a millimetre, and
// its page in device pixels at the printer's resolution.
PrintMargins printerMargins(const QPrinter& printer);
PrintDevice printerDevice(const QPrinter& printer, int scalePercent);

}  // namespace report
