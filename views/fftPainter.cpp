#include "views/fftPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include "platform/drawingObjects.h"
#include "views/pagePainting.h"

namespace views {

namespace {

void frameAndAxis(QPainter& p, const FftSnapshot& page, int lineHeight, bool colour)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const monitor::PageGeometry& g = page.geometry;
    const int left = g.graphLeft(), top = g.graphTop(), bottom = top + monitor::kPlotHeight;
    fillMargins(p, g);
    const QRect plot(left, top, monitor::kPageColumns, monitor::kPlotHeight);
    etchedEdge(p, plot);
    if (colour)
        p.fillRect(plot, page.shade == FftSnapshot::Shade::black             ? d.blackBrush
                         : page.shade == FftSnapshot::Shade::rejectedCurrent ? d.teal
                                                                              : d.darkBlue);
    for (int k = 1; k <= 31; k += 2) {
        const int x = left + 16 * (k + 1) - 8;
        p.setPen(d.black);
        pageLabel(p, x, g.graphHeight() - lineHeight, QString::asprintf("%4.1f", (k + 1) * 100.0 / 128.0).trimmed(), Align::centre);
        p.setPen(d.grey);
        p.drawLine(x, top, x, bottom);
    }
    p.setPen(d.black);
    pageLabel(p, left + 513, top + monitor::kPlotHeight - lineHeight, "h", Align::left);
    pageLabel(p, left + 10, top - 1 - lineHeight, QString::fromStdString(page.segmentLabel), Align::left);
}

void strip(QPainter& p, const FftSnapshot& page, const FftStrip& s, int lineHeight, bool colour)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int left = page.geometry.graphLeft(), right = left + monitor::kPageColumns;
    const QFontMetrics m(p.font());
    const QString name = QString::fromStdString(s.name);
    const int width = m.horizontalAdvance(name) + 4;
    channelBox(p, left - 5, QRect(left - 4 - width, s.bottom - lineHeight + 1, width, lineHeight), name);
    p.setPen(d.black);
    pageLabel(p, left - 2, s.bottom - page.unit, QString::number(s.scale / 2), Align::right, true);
    pageLabel(p, left - 2, s.bottom - 2 * page.unit, QString::number(s.scale), Align::right, true);
    p.setPen(d.grey);
    p.drawLine(left, s.bottom - page.unit, right, s.bottom - page.unit);
    p.drawLine(left, s.bottom - 2 * page.unit, right, s.bottom - 2 * page.unit);
    p.setPen(colour ? d.white : d.black);
    p.drawLine(left, s.bottom, right, s.bottom);
    if (!page.hasData)
        return;
    p.save();
    p.setClipRect(QRect(left, s.bottom - s.height + 1, monitor::kPageColumns, s.height));
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
        pageLabel(painter, left - 2, top - lineHeight, QString::fromUtf8("\u00B5V"), Align::right);
        if (page.hasData && page.marked) {
            painter.setPen(platform::sharedDrawing().red);
            painter.drawLine(left, top + 1, left + monitor::kPageColumns, top + 1);
        }
        for (const FftStrip& s : page.strips)
            if (s.on)
                strip(painter, page, s, lineHeight, colour);
    }
    painter.restore();
}

}  // namespace views
