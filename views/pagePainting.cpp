#include "views/pagePainting.h"

#include <QFontMetrics>
#include <QPainter>

#include "platform/drawingObjects.h"

namespace views {

void pageLabel(QPainter& p, int x, int y, const QString& text, Align align, bool centredOnY)
{
    const QFontMetrics m(p.font());
    const int width = m.horizontalAdvance(text);
    const int left = align == Align::left ? x : align == Align::right ? x - width : x - width / 2;
    const int top = centredOnY ? y - m.height() / 2 : y;
    p.drawText(left, top + m.ascent(), text);
}

void etchedEdge(QPainter& p, const QRect& r)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int l = r.left() - 1, t = r.top() - 1, rt = r.left() + r.width(), b = r.top() + r.height();
    p.setPen(d.grey);
    p.drawLine(l, b, l, t);
    p.drawLine(l, t, rt, t);
    p.setPen(d.white);
    p.drawLine(rt, t, rt, b);
    p.drawLine(rt, b, l, b);
}

void fillMargins(QPainter& p, const monitor::PageGeometry& g)
{
    const QBrush& grey = platform::sharedDrawing().lightGrey;
    const int left = g.graphLeft(), top = g.graphTop(), right = left + monitor::kPageColumns, bottom = top + monitor::kPlotHeight;
    p.fillRect(QRect(0, 0, left, bottom), grey);
    p.fillRect(QRect(0, bottom, g.graphWidth(), g.graphHeight() - bottom), grey);
    p.fillRect(QRect(left, 0, monitor::kPageColumns, top), grey);
    p.fillRect(QRect(right, 0, g.graphWidth() - right, bottom), grey);
}

void channelBox(QPainter& p, int right, const QRect& box, const QString& name)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    p.fillRect(box, d.blackBrush);
    etchedEdge(p, box);
    p.setPen(d.white);
    pageLabel(p, right, box.center().y(), name, Align::right, true);
}

}  // namespace views
