#include "views/fftPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include "platform/drawingObjects.h"

namespace views {

namespace {

void label(QPainter& p, int x, int y, const QString& text, int align, bool centredOnY = false)
{
    const QFontMetrics m(p.font());
    const int width = m.horizontalAdvance(text);
    const int left = align < 0 ? x : align > 0 ? x - width : x - width / 2;
    const int top = centredOnY ? y - m.height() / 2 : y;
    p.drawText(left, top + m.ascent(), text);
}

void etched(QPainter& p, const QRect& r)
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

void frameAndAxis(QPainter& p, const FftSnapshot& page, int lineHeight, bool colour)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const PageGeometry& g = page.geometry;
    const int left = g.graphLeft(), top = g.graphTop(), right = left + kPageColumns, bottom = top + kPlotHeight;
    p.fillRect(QRect(0, 0, left, bottom), d.lightGrey);
    p.fillRect(QRect(0, bottom, g.graphWidth(), g.graphHeight() - bottom), d.lightGrey);
    p.fillRect(QRect(left, 0, kPageColumns, top), d.lightGrey);
    p.fillRect(QRect(right, 0, g.graphWidth() - right, bottom), d.lightGrey);
    const QRect plot(left, top, kPageColumns, kPlotHeight);
    etched(p, plot);
    if (colour)
        p.fillRect(plot, page.shade == FftSnapshot::Shade::black             ? d.blackBrush
                         : page.shade == FftSnapshot::Shade::rejectedCurrent ? d.teal
                                                                              : d.darkBlue);
    for (int k = 1; k <= 31; k += 2) {
        const int x = left + 16 * (k + 1) - 8;
        p.setPen(d.black);
        label(p, x, g.graphHeight() - lineHeight, QString::asprintf("%4.1f", (k + 1) * 100.0 / 128.0).trimmed(), 0);
        p.setPen(d.grey);
        p.drawLine(x, top, x, bottom);
    }
    p.setPen(d.black);
    label(p, left + 513, top + kPlotHeight - lineHeight, "h", -1);
    label(p, left + 10, top - 1 - lineHeight, QString::fromStdString(page.segmentLabel), -1);
}

void strip(QPainter& p, const FftSnapshot& page, const FftStrip& s, int lineHeight, bool colour)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int left = page.geometry.graphLeft(), right = left + kPageColumns;
    const QFontMetrics m(p.font());
    const QString name = QString::fromStdString(s.name);
    const int width = m.horizontalAdvance(name) + 4;
    const QRect box(left - 4 - width, s.bottom - lineHeight + 1, width, lineHeight);
    p.fillRect(box, d.blackBrush);
    etched(p, box);
    p.setPen(d.white);
    label(p, left - 5, box.center().y(), name, 1, true);
    p.setPen(d.black);
    label(p, left - 2, s.bottom - page.unit, QString::number(s.scale / 2), 1, true);
    label(p, left - 2, s.bottom - 2 * page.unit, QString::number(s.scale), 1, true);
    p.setPen(d.grey);
    p.drawLine(left, s.bottom - page.unit, right, s.bottom - page.unit);
    p.drawLine(left, s.bottom - 2 * page.unit, right, s.bottom - 2 * page.unit);
    p.setPen(colour ? d.white : d.black);
    p.drawLine(left, s.bottom, right, s.bottom);
    if (!page.hasData)
        return;
    p.save();
    p.setClipRect(QRect(left, s.bottom - s.height + 1, kPageColumns, s.height));
    const int base = s.bottom - 1;
    for (int k = 1; k <= kFftBins; ++k) {
        const int top = s.barTop[static_cast<std::size_t>(k - 1)];
        if (top < base)
            p.fillRect(QRect(QPoint(left + 16 * (k - 1) + 2, top), QPoint(left + 16 * k - 3, base - 1)), d.cyanBrush);
    }
    p.restore();
}

}  // namespace

void drawFftPage(QPainter& painter, const FftSnapshot& page, int lineHeight, bool colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    frameAndAxis(painter, page, lineHeight, colour);
    if (page.stripHeight != 0) {
        const int left = page.geometry.graphLeft(), top = page.geometry.graphTop();
        painter.setPen(platform::sharedDrawing().black);
        label(painter, left - 2, top - lineHeight, QString::fromUtf8("\u00B5V"), 1);
        if (page.hasData && page.marked) {
            painter.setPen(platform::sharedDrawing().red);
            painter.drawLine(left, top + 1, left + kPageColumns, top + 1);
        }
        for (const FftStrip& s : page.strips)
            if (s.on)
                strip(painter, page, s, lineHeight, colour);
    }
    painter.restore();
}

}  // namespace views
