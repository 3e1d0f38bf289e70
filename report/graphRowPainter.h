#pragma once

class QFont;
class QPainter;

namespace report {

class ReportPage;

// Where one row of the report's trace strip goes: the left edge of its labels
// and traces, the top of its first line, the column step (60 steps make the
// row's width) and the line height, in the painter's units.
struct GraphRowPlace {
    int x = 0;
    int top = 0;
    int columnStep = 1;
    int lineHeight = 1;
};

// Draws row `row` of the page's trace strip: for the j-th channel switched on
// its name on line 1 + 4j and its scale ("%dµV/div") on line 2 + 4j, the
// second numbers centred on the row's last line, and the traces over lines 0
// to the last but one, 60 column steps wide.
void drawGraphRow(QPainter& painter, const ReportPage& page, int row, const GraphRowPlace& place, const QFont& font);

}  // namespace report
