#pragma once

#include <cstdint>
#include <vector>

namespace report {

// The page margins of the page setup, in thousandths of an inch or in
// hundredths of a millimetre.
struct PrintMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool millimetres = false;  // hundredths of a millimetre
};

// A printer's page in device pixels.
struct PrintDevice {
    int width = 0, height = 0;  // the whole page
    int dpiX = 0, dpiY = 0;
    int scalePercent = 100;     // the printer's scale setting
};

// The part of the page text and pages are drawn into, in device pixels.
struct PrintableArea {
    int width = 0, height = 0;
    int left = 0, top = 0;
};

// The page less its margins (scaled up when the printer shrinks by a scale
// percentage); a direction left with less than one pixel uses the whole size
// and no margin.
PrintableArea printableArea(const PrintDevice& device, const PrintMargins& margins);

// The measures pagination needs: the print font's line height and average
// character width in device pixels, and the window's character width and
// page width in screen pixels.
struct PrintFontMetrics {
    int lineHeight = 1;
    int charWidth = 1;
    int windowCharWidth = 1;
    int windowPageWidth = 1;
};

// How a text window's print lines fall on pages.
struct TextPagination {
    int linesPerPage = 1;       // never 0
    double shrink = 1.0;        // at most 1: how much the print must shrink to fit
    int textLines = 0;          // patient block, gap and list lines
    int pageCount = 0;
    std::vector<int> graphRowLine;  // the print line each Report graph row starts on
    int linesPerGraphRow = 0;
};

// Paginates `textLines` lines and `graphRows` rows of `linesPerGraphRow`
// lines each: every row is kept whole on one page; the rows that fit below
// the text on its last page go there, the rest start on the following pages,
// as many a page as fit. A page holds at least one line.
TextPagination paginateText(int textLines, int graphRows, int linesPerGraphRow, const PrintableArea& area,
                            const PrintFontMetrics& font);

// The lines of print page `page` (0-based): [first, last).
inline std::pair<int, int> pageLines(const TextPagination& p, int page)
{
    return {page * p.linesPerPage, (page + 1) * p.linesPerPage};
}

// A page range of the print dialog (1-based, inclusive) as 0-based pages
// [first, last): limited to the page count; a first page beyond it starts at 0.
std::pair<int, int> printRange(int fromPage, int toPage, int pageCount);

// The order pages are printed in for `copies` copies: with collation each
// copy whole in turn, else each page `copies` times before the next.
std::vector<int> printOrder(int firstPage, int lastPage, int copies, bool collate);

}  // namespace report
