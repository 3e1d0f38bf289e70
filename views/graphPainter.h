#pragma once

#include <QFont>
#include <QRect>
#include <cstdint>

#include "monitor/graphPage.h"

class QPainter;
class QPaintDevice;

namespace data {
struct Recording;
}

namespace views {

// The page geometry from the reference label font, "Times New Roman Bold" of
// 8 points at the device's logical resolution (Liberation Serif Bold stands in
// for it through fontconfig).
monitor::PageGeometry measureGraphGeometry(const QPaintDevice& device);

// The label font and its line height in logical units.
struct PageSetup {
    QFont font;
    int lineHeight = 0;
};

// Maps the logical page (graphWidth x graphHeight) onto a client of the given
// size, its top left at `origin` in device units, and selects the label font
// scaled to it (8 points at the page's own size, 2 to 8 points as the client
// shrinks, narrowed or widened with it).
PageSetup setupGraphPage(QPainter& painter, const monitor::PageGeometry& geometry, int clientWidth, int clientHeight,
                         QPoint origin = QPoint(0, 0));

// The plot columns a paint has to cover (a window repainting only the
// columns the display drew since its last paint).
struct ColumnSpan {
    int first = 0;
    int last = monitor::kPageColumns - 1;
    // Only the plot needs drawing: the margins and their labels are on the
    // screen already, unchanged.
    bool plotOnly = false;
};

// Draws a Graph page: margins, frame, time axis, epoch numbers, channel boxes
// and scales, background and rejected shade, grid, artifact limits, epoch
// marks and traces, in that order; the traces only as far as the pixels of
// the columns in `span` need them.
void drawGraphPage(QPainter& painter, const monitor::GraphSnapshot& page, int lineHeight, bool colour,
                   ColumnSpan span = {});

// Draws the page of samples first .. first + 511 of a recording (for images
// and printing); the live page is left as it is.
void renderGraphPage(QPainter& painter, const data::Recording& rec, std::uint32_t first, int lineHeight, bool colour);

// The report's trace strip: the switched-on channels of seconds from .. to of
// a recording, one band each, into `area` (device units of the painter).
void drawReportTraces(QPainter& painter, const QRect& area, const data::Recording& rec, int fromSecond, int toSecond,
                      bool colour);

}  // namespace views
