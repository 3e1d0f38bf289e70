// Pagination of text windows for printing: margins, lines per page, the
// shrink factor, graph rows kept whole, page ranges, copies and collation.
#include <gtest/gtest.h>

#include "report/printLayout.h"

using namespace report;

TEST(PrintLayout, PrintableAreaFromMarginsInEitherUnit)
{
    // A4 at 600 dpi: 4961 x 7016 pixels; one inch margins in thousandths of an inch.
    const PrintDevice a4{4961, 7016, 600, 600, 100};
    PrintableArea a = printableArea(a4, {1000, 1000, 1000, 1000, false});
    EXPECT_EQ(a.width, 4961 - 1200);
    EXPECT_EQ(a.height, 7016 - 1200);
    EXPECT_EQ(a.left, 600);
    // 25.4 mm in hundredths of a millimetre is the same inch.
    a = printableArea(a4, {2540, 2540, 2540, 2540, true});
    EXPECT_EQ(a.left, 600);
    // A printer at 50 % needs twice the pixels for the same paper margin.
    a = printableArea({4961, 7016, 600, 600, 50}, {1000, 0, 1000, 0, false});
    EXPECT_EQ(a.left, 1200);
    // Margins that leave nothing fall back to the whole page.
    a = printableArea(a4, {5000, 8000, 5000, 8000, false});
    EXPECT_EQ(a.width, 4961);
    EXPECT_EQ(a.left, 0);
    EXPECT_EQ(a.height, 7016);
}

TEST(PrintLayout, ThirtyGraphRowsStayWholeAtEveryPageSizeAndFont)
{
    const int rowLines = 4 * 4 + 1;  // four channels on
    for (int height : {800, 1500, 3300, 6600}) {
        for (int lineHeight : {18, 25, 40, 60}) {
            for (int textLines : {0, 1, 57, 120}) {
                const PrintableArea area{4000, height, 100, 100};
                const TextPagination p = paginateText(textLines, 30, rowLines, area, {lineHeight, 20, 8, 600});
                const int perPage = height / lineHeight;
                ASSERT_EQ(p.linesPerPage, perPage);
                ASSERT_EQ(p.graphRowLine.size(), 30u);
                if (rowLines > perPage) {
                    // Too tall for the page: the factor shrinks the print until it fits.
                    EXPECT_LE(p.shrink, static_cast<double>(perPage) / rowLines);
                    continue;
                }
                const int rowsPerPage = perPage / rowLines;
                const int lastTextPage = textLines > 0 ? (textLines - 1) / perPage : 0;
                const int freeOnTextPage = (lastTextPage + 1) * perPage - textLines;
                const int onTextPage = freeOnTextPage / rowLines;
                for (int r = 0; r < 30; ++r) {
                    const int start = p.graphRowLine[static_cast<std::size_t>(r)];
                    // Whole on one page, after the text, in order.
                    ASSERT_EQ(start / perPage, (start + rowLines - 1) / perPage) << height << " " << lineHeight << " " << r;
                    ASSERT_GE(start, textLines);
                    if (r < onTextPage) {
                        // The text's last page is filled first, row after row.
                        ASSERT_EQ(start, textLines + r * rowLines);
                    } else {
                        // Then whole pages of rows, each page from its first line.
                        const int k = r - onTextPage;
                        ASSERT_EQ(start, (lastTextPage + 1 + k / rowsPerPage) * perPage + (k % rowsPerPage) * rowLines);
                    }
                }
                const int end = p.graphRowLine.back() + rowLines;
                EXPECT_EQ(p.pageCount, (end + perPage - 1) / perPage);
            }
        }
    }
}

TEST(PrintLayout, LinesPerPageNeverZeroAndTheShrinkFactor)
{
    // A line taller than the printable height still makes one line a page.
    TextPagination p = paginateText(10, 0, 0, {1000, 30, 0, 0}, {50, 10, 8, 500});
    EXPECT_EQ(p.linesPerPage, 1);
    EXPECT_EQ(p.pageCount, 10);
    // Text wider than the paper: printable 1000 px of 10-px characters hold
    // 100 characters; a 600-px window of 8-px characters is 75 characters wide: fits.
    EXPECT_DOUBLE_EQ(paginateText(10, 0, 0, {1000, 500, 0, 0}, {20, 10, 8, 600}).shrink, 1.0);
    // A 1500-px window is 187.5 characters: shrink to 100 / 187.5.
    EXPECT_DOUBLE_EQ(paginateText(10, 0, 0, {1000, 500, 0, 0}, {20, 10, 8, 1500}).shrink, 1000.0 * 8 / (1500.0 * 10));
    // No lines: no pages.
    EXPECT_EQ(paginateText(0, 0, 0, {1000, 500, 0, 0}, {20, 10, 8, 600}).pageCount, 0);
}

TEST(PrintLayout, PageRangesCopiesAndCollation)
{
    EXPECT_EQ(printRange(2, 3, 5), (std::pair{1, 3}));
    EXPECT_EQ(printRange(9, 12, 5), (std::pair{0, 5}));  // a first page beyond the count starts at the first
    EXPECT_EQ(printRange(4, 99, 5), (std::pair{3, 5}));
    EXPECT_EQ(printOrder(0, 3, 2, false), (std::vector{0, 0, 1, 1, 2, 2}));  // each page twice before the next
    EXPECT_EQ(printOrder(0, 3, 2, true), (std::vector{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(printOrder(1, 2, 1, false), (std::vector{1}));
}
