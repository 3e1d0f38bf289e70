#include "views/graphWindow.h"
#include "platform/commandIds.h"

#include <cmath>

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "views/accessibleText.h"
#include "views/graphPainter.h"

namespace views {

GraphWindow::GraphWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName("GraphChild");
    setWindowTitle(title());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the page covers every pixel
    setMinimumSize(160, 120);
    refresh(true);
}

QString GraphWindow::title()
{
    const monitor::MonitorState& m = monitor::monitorState;
    // One form whether the window is made during a session or retitled when it starts.
    const char* mode = m.playThreadRunning ? (m.liveSession ? " - monitoring" : " - playback") : "";
    return QString::asprintf("Graph%s %s", mode, m.autoUploadActive ? "(Auto Upload)" : "");
}

void GraphWindow::refresh(bool newRecording)
{
    const data::Recording& rec = data::recordings.primary;
    monitor::graphPage.layOut(rec);
    liveColumn_ = -1;
    if (newRecording)
        idlePage_ = std::min(rec.playStartSecond * 200 / monitor::kPageColumns, std::max(1u, monitor::pageCount(rec)) - 1);
    update();
}

// The display clears this many columns ahead of the one it draws.
constexpr int kClearedAhead = 16;

void GraphWindow::liveUpdate(int column)
{
    const std::uint64_t outline = monitor::graphPage.outlineVersion();
    const int from = liveColumn_;
    const bool whole = outline != liveOutline_ || from < 0 || column < from ||
                       column + kClearedAhead >= monitor::kPageColumns;
    liveOutline_ = outline;
    liveColumn_ = column;
    if (whole) {
        liveRect_ = QRect();
        update();
        return;
    }
    const QRect columns = columnsRect(from, column + kClearedAhead);
    liveRect_ = liveRect_.united(columns);
    update(columns);
}

// Columns `first` .. `last` of the plot in the window's pixels, with room
// either side for the trace segments joining them, and never beyond the
// pixels the plot's own fill covers: a repaint of this rectangle draws every
// pixel in it.
QRect GraphWindow::columnsRect(int first, int last) const
{
    const monitor::PageGeometry g = monitor::graphPage.geometry();
    const double sx = static_cast<double>(width()) / std::max(1, g.graphWidth());
    const double sy = static_cast<double>(height()) / std::max(1, g.graphHeight());
    const int plotLeft = static_cast<int>(std::ceil(g.graphLeft() * sx));
    const int plotRight = static_cast<int>(std::floor((g.graphLeft() + monitor::kPageColumns) * sx)) - 1;
    const int left = std::max(plotLeft, static_cast<int>(std::floor((g.graphLeft() + first - 1) * sx)) - 2);
    const int right = std::min(plotRight, static_cast<int>(std::ceil((g.graphLeft() + last + 2) * sx)) + 2);
    const int top = static_cast<int>(std::ceil(g.graphTop() * sy));
    const int bottom = static_cast<int>(std::floor((g.graphTop() + monitor::kPlotHeight) * sy)) - 1;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

monitor::GraphSnapshot GraphWindow::shownPage() const
{
    const data::Recording& rec = data::recordings.primary;
    const bool idle = !monitor::monitorState.playThreadRunning && monitor::graphPage.empty();
    return idle ? monitor::renderPage(rec, idlePage_ * monitor::kPageColumns, monitor::graphPage.geometry()) : monitor::graphPage.snapshot();
}

void GraphWindow::describeShown(const monitor::GraphSnapshot& page)
{
    const data::Recording& rec = data::recordings.primary;
    QString shown;
    if (monitor::monitorState.playThreadRunning || !monitor::graphPage.empty()) {
        shown = QString("%1, epoch %2").arg(title().trimmed()).arg(page.segments.current);
    } else {
        const double pageSeconds = static_cast<double>(monitor::kPageColumns) / data::kSamplesPerSecond;
        shown = QString("page %1 of %2, seconds %3 to %4")
                    .arg(idlePage_ + 1)
                    .arg(std::max(1u, monitor::pageCount(rec)))
                    .arg(idlePage_ * pageSeconds, 0, 'f', 2)
                    .arg((idlePage_ + 1) * pageSeconds, 0, 'f', 2);
    }
    describe(*this, "Graph", primaryRecordingDescription() + ", " + shown);
}

void GraphWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const monitor::GraphSnapshot page = shownPage();
    describeShown(page);
    const PageSetup setup = setupGraphPage(painter, page.geometry, width(), height());
    // Only the columns under the repainted area need their traces drawn; a
    // repaint that only the live display asked for lies inside the plot and
    // leaves the margins and labels around it as they are.
    const QRect logical = painter.combinedTransform().inverted().mapRect(event->rect());
    const int left = page.geometry.graphLeft();
    const bool plotOnly = !liveRect_.isNull() && liveRect_.contains(event->rect());
    liveRect_ = QRect();
    drawGraphPage(painter, page, setup.lineHeight, true,
                  ColumnSpan{logical.left() - left - 1, logical.right() - left + 1, plotOnly});
}

void GraphWindow::keyPressEvent(QKeyEvent* event)
{
    const std::uint32_t last = std::max(1u, monitor::pageCount(data::recordings.primary)) - 1;
    std::uint32_t page = idlePage_;
    switch (event->key()) {
    case Qt::Key_PageDown: page = std::min(last, page + 1); break;
    case Qt::Key_PageUp: page = page > 0 ? page - 1 : 0; break;
    case Qt::Key_Home: page = 0; break;
    case Qt::Key_End: page = last; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (page != idlePage_) {
        idlePage_ = page;
        update();
    }
}

bool GraphWindow::onCommand(int id, long, long lParam)
{
    if (id == cmd::relayout) {
        refresh(lParam != 0);
        return true;
    }
    return false;
}

bool GraphWindow::event(QEvent* event)
{
    if (platform::dispatchCommand(*this, event))
        return true;
    return QWidget::event(event);
}

}  // namespace views
