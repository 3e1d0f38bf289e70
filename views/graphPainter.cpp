#include "views/graphPainter.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "data/recording.h"
#include "data/sampleRing.h"
#include "platform/drawingObjects.h"
#include "platform/markedText.h"
#include "views/pagePainting.h"
#include "state/settings.h"

namespace views {

namespace {

const QString kLabelFace = QStringLiteral("Times New Roman");

QFont labelFont(const QPaintDevice& device, int tenths)
{
    QFont font = platform::createScaledFont(device, kLabelFace, tenths);
    font.setBold(true);
    return font;
}

void timeAndEpochLabels(QPainter& p, const monitor::GraphSnapshot& page, int lineHeight)
{
    const monitor::PageGeometry& g = page.geometry;
    const int left = g.graphLeft(), top = g.graphTop();
    p.setPen(platform::sharedDrawing().black);
    for (int k = 1; k <= 5; ++k)
        pageLabel(p, left + 100 * k, g.graphHeight() - lineHeight, QString::asprintf("%3.1f", k / 2.0).trimmed(), Align::centre);
    pageLabel(p, left + 513, top + monitor::kPlotHeight - lineHeight, "s", Align::left);
    const int y = top - lineHeight - 1;
    const monitor::SegmentNumbers& n = page.segments;
    pageLabel(p, left + 10, y, n.current >= 1 ? QString("Segment: %1").arg(n.current) : QString("Segment:"), Align::left);
    if (n.firstHalf > 0)
        pageLabel(p, left + 256, y, QString::number(n.firstHalf), Align::right);
    if (n.secondHalf > 0)
        pageLabel(p, left + 512, y, QString::number(n.secondHalf), Align::right);
}

void channelLabels(QPainter& p, const monitor::GraphSnapshot& page, int lineHeight)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int left = page.geometry.graphLeft(), top = page.geometry.graphTop();
    p.setPen(d.black);
    pageLabel(p, left - 2, top - lineHeight, QString::fromUtf8("\u00B5V"), Align::right);
    const QFontMetrics m(p.font());
    for (int ch = 0; ch < monitor::kGraphChannels; ++ch) {
        const monitor::StripScale& s = page.scales[static_cast<std::size_t>(ch)];
        if (!s.on)
            continue;
        const monitor::TraceStrip& strip = page.strips[static_cast<std::size_t>(ch)];
        const QString name = QString::fromStdString(strip.name);
        const int width = m.horizontalAdvance(name) + 4;
        channelBox(p, left - 5, QRect(left - 4 - width, strip.baseline - lineHeight / 2, width, lineHeight), name);
        p.setPen(d.black);
        pageLabel(p, left - 2, strip.baseline - page.scaleUnit, QString("+%1").arg(s.scaleLabel), Align::right, true);
        pageLabel(p, left - 2, strip.baseline + page.scaleUnit, QString("-%1").arg(s.scaleLabel), Align::right, true);
    }
}

void background(QPainter& p, const monitor::GraphSnapshot& page, bool colour)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const QRect plot(page.geometry.graphLeft(), page.geometry.graphTop(), monitor::kPageColumns, monitor::kPlotHeight);
    if (colour)
        p.fillRect(plot, d.blackBrush);
    if (page.stripHeight == 0)
        return;
    for (const monitor::PlotRect& r : page.rejectedRegion)
        p.fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).intersected(plot),
                   colour ? d.teal : d.cyanBrush);
}

// The artifact limit a channel is drawn with: at least one unit.
int effectiveLimit(const monitor::StripScale& s)
{
    return std::max(1, s.limit);
}

void grid(QPainter& p, const monitor::GraphSnapshot& page, bool colour)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int left = page.geometry.graphLeft(), top = page.geometry.graphTop(), right = left + monitor::kPageColumns,
              bottom = top + monitor::kPlotHeight;
    p.setPen(d.grey);
    for (int k = 1; k <= 5; ++k)
        p.drawLine(left + 100 * k, top, left + 100 * k, bottom);
    if (page.stripHeight == 0)
        return;
    int shown = 0;
    for (int ch = 0; ch < monitor::kGraphChannels; ++ch) {
        if (!page.scales[static_cast<std::size_t>(ch)].on)
            continue;
        ++shown;
        const int b = page.strips[static_cast<std::size_t>(ch)].baseline;
        for (int y : {b - page.scaleUnit, b, b + page.scaleUnit})
            p.drawLine(left, y, right, y);
        for (int k = 1; k <= 25; ++k)
            p.drawLine(left + 20 * k, std::max(top, b - 5), left + 20 * k, std::min(bottom, b + 6));
    }
    p.setPen(colour ? d.white : d.black);
    for (int i = 1; i < shown; ++i)
        p.drawLine(left, top + i * page.stripHeight, right, top + i * page.stripHeight);
}

void artifactLines(QPainter& p, const monitor::GraphSnapshot& page)
{
    if (page.stripHeight == 0)
        return;
    const int left = page.geometry.graphLeft(), right = left + monitor::kPageColumns;
    p.setPen(platform::sharedDrawing().darkGreen);
    for (int ch = 0; ch < monitor::kGraphChannels; ++ch) {
        const monitor::StripScale& s = page.scales[static_cast<std::size_t>(ch)];
        const monitor::TraceStrip& strip = page.strips[static_cast<std::size_t>(ch)];
        const int limit = effectiveLimit(s);
        if (!s.on || !s.artifactLines || limit >= strip.halfHeight)
            continue;
        p.drawLine(left, strip.baseline - limit, right, strip.baseline - limit);
        p.drawLine(left, strip.baseline + limit, right, strip.baseline + limit);
    }
}

void epochMarks(QPainter& p, const monitor::GraphSnapshot& page)
{
    if (page.stripHeight == 0)
        return;
    const int left = page.geometry.graphLeft(), y = page.geometry.graphTop() + 1;
    p.setPen(platform::sharedDrawing().red);
    for (int x = 1; x < monitor::kPageColumns; ++x)
        if (page.epochMarkLine[static_cast<std::size_t>(x)])
            p.drawLine(left + x - 1, y, left + x, y);
}

// The runs of a strip's trace as polylines: a column without a sample breaks
// the trace on both sides.
void traceRuns(QPainter& p, const monitor::GraphSnapshot& page, int ch, ColumnSpan span)
{
    const monitor::TraceStrip& strip = page.strips[static_cast<std::size_t>(ch)];
    const int left = page.geometry.graphLeft();
    QPolygon run;
    run.reserve(monitor::kPageColumns);
    auto flush = [&] {
        if (run.size() > 1)
            p.drawPolyline(run);
        run.clear();
    };
    const int first = std::max(0, span.first - 1), last = std::min(monitor::kPageColumns - 1, span.last + 1);
    for (int x = first; x <= last; ++x) {
        const std::int16_t s = strip.samples[static_cast<std::size_t>(x)];
        if (s == monitor::kNoSample) {
            flush();
            continue;
        }
        run.append(QPoint(left + x, page.sampleY(ch, s)));
    }
    flush();
}

void traces(QPainter& p, const monitor::GraphSnapshot& page, bool colour, ColumnSpan span)
{
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int left = page.geometry.graphLeft();
    for (int ch = 0; ch < monitor::kGraphChannels; ++ch) {
        const monitor::StripScale& s = page.scales[static_cast<std::size_t>(ch)];
        if (!s.on)
            continue;
        const monitor::TraceStrip& strip = page.strips[static_cast<std::size_t>(ch)];
        const int limit = effectiveLimit(s), b = strip.baseline, half = strip.halfHeight;
        const int innerTop = b - std::min(half, limit), innerBottom = b + std::min(half + 1, limit);
        p.setPen(colour ? d.cyan : d.blue);
        p.setClipRect(QRect(left, innerTop, monitor::kPageColumns, innerBottom - innerTop));
        traceRuns(p, page, ch, span);
        if (limit < half) {
            p.setPen(colour ? d.green : d.blue);
            p.setClipRect(QRect(left, b - half, monitor::kPageColumns, innerTop - (b - half)));
            traceRuns(p, page, ch, span);
            p.setClipRect(QRect(left, innerBottom, monitor::kPageColumns, b + half + 1 - innerBottom));
            traceRuns(p, page, ch, span);
        }
        p.setClipping(false);
    }
}

}  // namespace

monitor::PageGeometry measureGraphGeometry(const QPaintDevice& device)
{
    const QFont font = labelFont(device, 80);
    const QFontMetrics m(font);
    monitor::PageGeometry g;
    g.avgChar = std::max(1, m.averageCharWidth());
    // A proportional font's capitals are wider than its average character.
    g.capsChar = QFontInfo(font).fixedPitch() ? g.avgChar : 3 * g.avgChar / 2;
    g.lineHeight = std::max(1, m.height() + m.leading());
    return g;
}

// The resolution the page's own size is measured at.
constexpr double kScreenDpi = 96.0;

PageSetup setupGraphPage(QPainter& painter, const monitor::PageGeometry& g, int clientWidth, int clientHeight, QPoint origin)
{
    clientWidth = std::max(1, clientWidth);
    clientHeight = std::max(1, clientHeight);
    painter.setWindow(0, 0, g.graphWidth(), g.graphHeight());
    painter.setViewport(origin.x(), origin.y(), clientWidth, clientHeight);
    const QPaintDevice& device = *painter.device();
    // On paper the client is measured as the screen would measure the same
    // size, so the labels keep their proportions at the printer's resolution.
    const double toScreen = dynamic_cast<const QPagedPaintDevice*>(&device) ? kScreenDpi / device.logicalDpiY() : 1.0;
    const int height = std::clamp(static_cast<int>(std::lround(clientHeight * toScreen * 80.0 / g.graphHeight())), 20, 80);
    const int width = static_cast<int>(std::lround(clientWidth * toScreen * 80.0 / g.graphWidth()));
    // The font's device size in logical units of this mapping.
    const double yLogical = height / 720.0 * device.logicalDpiY() * g.graphHeight() / clientHeight;
    const double xLogical = width / 720.0 * device.logicalDpiX() * g.graphWidth() / clientWidth;
    QFont font(kLabelFace);
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(yLogical))));
    if (width > 0)
        font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * xLogical / yLogical)), 1, 4000));
    painter.setFont(font);
    const QFontMetrics m(font);
    return {font, std::max(1, m.height() + m.leading())};
}

void drawGraphPage(QPainter& painter, const monitor::GraphSnapshot& page, int lineHeight, bool colour, ColumnSpan span)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (!span.plotOnly) {
        fillMargins(painter, page.geometry);
        etchedEdge(painter,
                   QRect(page.geometry.graphLeft(), page.geometry.graphTop(), monitor::kPageColumns, monitor::kPlotHeight));
        timeAndEpochLabels(painter, page, lineHeight);
        if (page.stripHeight != 0)
            channelLabels(painter, page, lineHeight);
    }
    background(painter, page, colour);
    grid(painter, page, colour);
    artifactLines(painter, page);
    epochMarks(painter, page);
    traces(painter, page, colour, span);
    painter.restore();
}

void renderGraphPage(QPainter& painter, const data::Recording& rec, std::uint32_t first, int lineHeight, bool colour)
{
    drawGraphPage(painter, monitor::renderPage(rec, first, monitor::graphPage.geometry()), lineHeight, colour);
}

void drawReportTraces(QPainter& painter, const QRect& area, const data::Recording& rec, int fromSecond, int toSecond,
                      bool colour)
{
    const auto& settings = state::settings.channelSettings;
    std::array<int, monitor::kGraphChannels> channels{};
    int n = 0;
    for (int ch = 0; ch < monitor::kGraphChannels; ++ch)
        if (settings[static_cast<std::size_t>(ch)].on)
            channels[static_cast<std::size_t>(n++)] = ch;
    if (n == 0 || toSecond <= fromSecond || area.width() <= 0 || area.height() <= 0)
        return;
    const platform::DrawingObjects& d = platform::sharedDrawing();
    const int width = (toSecond - fromSecond) * 200, height = n * 100;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QTransform map;
    map.translate(area.x(), area.y());
    map.scale(static_cast<double>(area.width()) / width, static_cast<double>(area.height()) / height);
    painter.setTransform(map, true);
    for (int j = 0; j < n; ++j) {
        const int centre = 50 + 100 * j;
        painter.setPen(d.black);
        painter.drawLine(0, centre - 50, width, centre - 50);
        painter.drawLine(0, centre + 50, width, centre + 50);
        painter.setPen(d.grey);
        for (int y : {centre - 25, centre, centre + 25})
            painter.drawLine(0, y, width, y);
    }
    painter.setPen(d.black);
    painter.drawRect(0, 0, width, height);
    std::uint32_t count = UINT32_MAX;
    for (const data::SampleRing& ring : rec.rawChannels)
        count = std::min(count, ring.count);
    const std::uint32_t first = static_cast<std::uint32_t>(fromSecond) * 200;
    const std::uint32_t end = std::min<std::uint32_t>({static_cast<std::uint32_t>(toSecond) * 200, count, first + width});
    painter.setPen(colour ? d.red : d.black);
    for (std::uint32_t s = first + 1; s < end; ++s)
        if (rec.conditionData[0][data::epochIndex(rec, s / 256)] != 0)
            painter.drawLine(static_cast<int>(s - first) - 1, 6, static_cast<int>(s - first), 6);
    painter.setPen(colour ? d.blue : d.black);
    for (int j = 0; j < n; ++j) {
        const int ch = channels[static_cast<std::size_t>(j)], centre = 50 + 100 * j;
        const double factor = 0.125 * rec.calibrationFactors[static_cast<std::size_t>(ch)] * 25.0 /
                              std::clamp(settings[static_cast<std::size_t>(ch)].scale, 10, 2000);
        painter.save();
        painter.setClipRect(QRect(0, centre - 50, width, 100), Qt::IntersectClip);
        QPolygon run;
        auto flush = [&] {
            if (run.size() > 1)
                painter.drawPolyline(run);
            run.clear();
        };
        for (std::uint32_t s = first; s < end; ++s) {
            const std::int16_t v = data::channelSampleAt(rec, ch, s);
            if (v == monitor::kNoSample) {
                flush();
                continue;
            }
            run.append(QPoint(static_cast<int>(s - first), centre - static_cast<int>(std::trunc(v * factor))));
        }
        flush();
        painter.restore();
    }
    painter.restore();
}

}  // namespace views
