#include "views/graphWindow.h"

#include <cmath>
#include "platform/commandIds.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

#include "data/recordingStore.h"
#include "monitor/monitorState.h"
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
    if (whole)
        update();
    else
        update(columnsRect(from, column + kClearedAhead));
}

// Columns `first` .. `last` of the plot in the window's pixels, the whole
// height, with a pixel's room either side for the trace segments joining them.
QRect GraphWindow::columnsRect(int first, int last) const
{
    const monitor::PageGeometry g = monitor::graphPage.geometry();
    const double scale = static_cast<double>(width()) / std::max(1, g.graphWidth());
    const int left = static_cast<int>(std::floor((g.graphLeft() + first - 1) * scale)) - 2;
    const int right = static_cast<int>(std::ceil((g.graphLeft() + last + 2) * scale)) + 2;
    return QRect(left, 0, right - left, height());
}

monitor::GraphSnapshot GraphWindow::shownPage() const
{
    const data::Recording& rec = data::recordings.primary;
    const bool idle = !monitor::monitorState.playThreadRunning && monitor::graphPage.empty();
    return idle ? monitor::renderPage(rec, idlePage_ * monitor::kPageColumns, monitor::graphPage.geometry()) : monitor::graphPage.snapshot();
}

void GraphWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const monitor::GraphSnapshot page = shownPage();
    const PageSetup setup = setupGraphPage(painter, page.geometry, width(), height());
    // Only the columns under the repainted area need their traces drawn.
    const QRect logical = painter.combinedTransform().inverted().mapRect(event->rect());
    const int left = page.geometry.graphLeft();
    drawGraphPage(painter, page, setup.lineHeight, true,
                  ColumnSpan{logical.left() - left - 1, logical.right() - left + 1});
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
