#include "report/printLayout.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

// One margin in device pixels.
int marginPixels(int margin, int dpi, bool millimetres, int scalePercent)
{
    const double pixels = margin * static_cast<double>(dpi) / (millimetres ? 2540.0 : 1000.0);
    return static_cast<int>(pixels * 100.0 / std::max(1, scalePercent));
}

}  // namespace

PrintableArea printableArea(const PrintDevice& d, const PrintMargins& m)
{
    PrintableArea a;
    const int left = marginPixels(m.left, d.dpiX, m.millimetres, d.scalePercent);
    const int right = marginPixels(m.right, d.dpiX, m.millimetres, d.scalePercent);
    const int top = marginPixels(m.top, d.dpiY, m.millimetres, d.scalePercent);
    const int bottom = marginPixels(m.bottom, d.dpiY, m.millimetres, d.scalePercent);
    a.width = d.width - left - right;
    a.left = left;
    if (a.width < 1) {
        a.width = d.width;
        a.left = 0;
    }
    a.height = d.height - top - bottom;
    a.top = top;
    if (a.height < 1) {
        a.height = d.height;
        a.top = 0;
    }
    return a;
}

TextPagination paginateText(int textLines, int graphRows, int linesPerGraphRow, const PrintableArea& area,
                            const PrintFontMetrics& font)
{
    TextPagination p;
    p.textLines = std::max(0, textLines);
    p.linesPerGraphRow = graphRows > 0 ? std::max(1, linesPerGraphRow) : 0;
    p.linesPerPage = std::max(1, area.height / std::max(1, font.lineHeight));
    const double across = static_cast<double>(area.width) * std::max(1, font.windowCharWidth) /
                          (static_cast<double>(std::max(1, font.windowPageWidth)) * std::max(1, font.charWidth));
    p.shrink = std::min(1.0, across);
    if (graphRows > 0)
        p.shrink = std::min(p.shrink, static_cast<double>(p.linesPerPage) / p.linesPerGraphRow);
    // The rows below the text on its last page, then whole pages of rows.
    int end = p.textLines;
    if (graphRows > 0) {
        const int perRow = p.linesPerGraphRow, perPage = p.linesPerPage;
        const int rowsPerPage = std::max(1, perPage / perRow);
        const int lastTextPage = p.textLines > 0 ? (p.textLines - 1) / perPage : 0;
        int line = p.textLines;
        int page = lastTextPage, onPage = 0;
        for (int row = 0; row < graphRows; ++row) {
            const bool fits = line + perRow <= (page + 1) * perPage && onPage < rowsPerPage;
            if (!fits && !(onPage == 0 && line == page * perPage)) {
                // (a row taller than a page, which the shrink factor prevents, gets pages of its own)
                page = std::max(page + 1, (line + perPage - 1) / perPage);
                line = page * perPage;
                onPage = 0;
            }
            p.graphRowLine.push_back(line);
            line += perRow;
            ++onPage;
        }
        end = line;
    }
    p.pageCount = (end + p.linesPerPage - 1) / p.linesPerPage;
    return p;
}

std::pair<int, int> printRange(int fromPage, int toPage, int pageCount)
{
    int first = std::max(0, fromPage - 1);
    if (first >= pageCount)
        first = 0;
    const int last = std::clamp(toPage, first + 1, std::max(first + 1, pageCount));
    return {first, std::min(last, pageCount)};
}

std::vector<int> printOrder(int firstPage, int lastPage, int copies, bool collate)
{
    std::vector<int> order;
    copies = std::max(1, copies);
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int page = firstPage; page < lastPage; ++page)
                order.push_back(page);
    } else {
        for (int page = firstPage; page < lastPage; ++page)
            for (int c = 0; c < copies; ++c)
                order.push_back(page);
    }
    return order;
}

}  // namespace report
