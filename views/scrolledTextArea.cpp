#include "views/scrolledTextArea.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace views {

ScrolledTextArea::ScrolledTextArea(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ScrolledTextArea::updateScrollBars()
{
    scroll_.layout(viewport()->width(), viewport()->height());
    // Setting one bar reads both back (scrollContentsBy): take the place first.
    const int top = scroll_.topLine, left = scroll_.leftColumn;
    verticalScrollBar()->setRange(0, scroll_.topLineMax);
    verticalScrollBar()->setPageStep(std::max(1, scroll_.clientHeight / std::max(1, scroll_.lineHeight)));
    horizontalScrollBar()->setRange(0, scroll_.leftColumnMax);
    horizontalScrollBar()->setPageStep(8);
    verticalScrollBar()->setValue(top);
    horizontalScrollBar()->setValue(left);
    viewport()->update();
}

void ScrolledTextArea::scrollContentsBy(int, int)
{
    scroll_.topLine = verticalScrollBar()->value();
    scroll_.leftColumn = horizontalScrollBar()->value();
    viewport()->update();
}

void ScrolledTextArea::resizeEvent(QResizeEvent*)
{
    updateScrollBars();
}

void ScrolledTextArea::keyPressEvent(QKeyEvent* event)
{
    using K = TableScroll::Key;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const std::pair<int, K> keys[] = {{Qt::Key_PageUp, K::pageUp}, {Qt::Key_PageDown, K::pageDown}, {Qt::Key_Left, K::left},
                                      {Qt::Key_Right, K::right},   {Qt::Key_Home, K::home},         {Qt::Key_End, K::end},
                                      {Qt::Key_Up, K::up},         {Qt::Key_Down, K::down}};
    for (const auto& [key, what] : keys)
        if (event->key() == key && !(event->modifiers() & Qt::AltModifier)) {
            scroll_.key(what, ctrl);
            updateScrollBars();
            return;
        }
    QAbstractScrollArea::keyPressEvent(event);
}

void ScrolledTextArea::wheelEvent(QWheelEvent* event)
{
    if (!mouseInside_)
        return;
    const auto step = event->angleDelta().y() < 0 ? TableScroll::Step::lineDown : TableScroll::Step::lineUp;
    for (int i = 0; i < 3; ++i)
        scroll_.scrollLines(step);
    updateScrollBars();
}

}  // namespace views
