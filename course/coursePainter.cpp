#include "course/coursePainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "course/courseTable.h"
#include "platform/textEncoding.h"

namespace course {

namespace {

struct Panel {
    Measure measure;
    const char* title;
    const char* unit;
};

const std::array<Panel, 6> kPanels = {{
    {eegEndpoint, "EEG endpoint", "s"},
    {emgEndpoint, "EMG endpoint", "s"},
    {postictalSuppression, "Postictal suppression", "%"},
    {seizureEnergyIndex, "Seizure energy index", ""},
    {sustainedCoherence, "Maximum sustained coherence", "%"},
    {peakHeartRate, "Peak heart rate", "b/m"},
}};

const QColor kValueColour(0, 90, 170);
const QColor kTrendColour(0, 150, 60);
const QColor kChargeColour(150, 150, 150);
const QColor kDoseUpColour(230, 120, 0);
const QColor kFlagColour(210, 0, 0);

// A range that always has a width, padded a little.
struct Range {
    double low = 0, high = 1;
    void pad()
    {
        if (high - low < 1e-9) {
            low -= 1;
            high += 1;
        }
        const double margin = (high - low) * 0.08;
        low -= margin;
        high += margin;
    }
};

std::vector<std::optional<double>> valuesOf(const Course& c, Measure m)
{
    std::vector<std::optional<double>> values;
    for (const CourseRow& row : c.rows) {
        double v = 0;
        values.push_back(row.rec.number(m, v) ? std::optional<double>(v) : std::nullopt);
    }
    return values;
}

Range rangeOf(const std::vector<std::optional<double>>& values)
{
    Range r;
    bool any = false;
    for (const auto& v : values) {
        if (!v)
            continue;
        r.low = any ? std::min(r.low, *v) : *v;
        r.high = any ? std::max(r.high, *v) : *v;
        any = true;
    }
    r.pad();
    return r;
}

// The least-squares line through the (index, value) points: slope and
// intercept; false with fewer than two points.
bool trendOf(const std::vector<std::optional<double>>& values, double& slope, double& intercept)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        const double x = static_cast<double>(i);
        n += 1;
        sx += x;
        sy += *values[i];
        sxx += x * x;
        sxy += x * *values[i];
    }
    const double d = n * sxx - sx * sx;
    if (n < 2 || std::fabs(d) < 1e-12)
        return false;
    slope = (n * sxy - sx * sy) / d;
    intercept = (sy - slope * sx) / n;
    return true;
}

// Where row i and value v sit in the plot rectangle.
struct Axes {
    QRectF plot;
    std::size_t count;
    Range y;
    double x(double i) const { return plot.left() + (i + 0.5) * plot.width() / static_cast<double>(std::max<std::size_t>(count, 1)); }
    double yOf(double v, const Range& r) const { return plot.bottom() - (v - r.low) / (r.high - r.low) * plot.height(); }
    double yOf(double v) const { return yOf(v, y); }
};

QString shown(const std::string& stored) { return QString::fromStdString(platform::windows1252ToUtf8(stored)); }

QString number(double v) { return QString::number(v, 'g', 4); }

void drawFrame(QPainter& p, const Axes& a, const Panel& panel, const Range& charge, bool withCharge)
{
    const QFontMetricsF fm(p.font());
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(a.plot);
    QString title = panel.title;
    if (*panel.unit)
        title += QString(" (%1)").arg(panel.unit);
    p.drawText(QPointF(a.plot.left(), a.plot.top() - fm.descent() - 2), title);
    p.drawText(QRectF(a.plot.left() - 60, a.plot.top() - fm.height() / 2, 56, fm.height()), Qt::AlignRight | Qt::AlignVCenter, number(a.y.high));
    p.drawText(QRectF(a.plot.left() - 60, a.plot.bottom() - fm.height() / 2, 56, fm.height()), Qt::AlignRight | Qt::AlignVCenter, number(a.y.low));
    if (withCharge) {
        p.setPen(QPen(kChargeColour, 0));
        p.drawText(QRectF(a.plot.right() + 4, a.plot.top() - fm.height() / 2, 70, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, number(charge.high) + " mC");
        p.drawText(QRectF(a.plot.right() + 4, a.plot.bottom() - fm.height() / 2, 70, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, number(charge.low) + " mC");
    }
}

// The treatment numbers and dates under the axis; dates only where they fit.
void drawAxisLabels(QPainter& p, const Axes& a, const Course& c)
{
    const QFontMetricsF fm(p.font());
    p.setPen(QPen(Qt::black, 0));
    const double step = a.plot.width() / static_cast<double>(std::max<std::size_t>(a.count, 1));
    const double dateWidth = fm.horizontalAdvance("2026-12-07") + 6;
    const double numberWidth = fm.horizontalAdvance("888b") + 4;
    // Labels that would overlap are thinned out: every n-th treatment keeps its own.
    const auto every = [step](double width) {
        return std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(width / std::max(step, 1.0))));
    };
    for (std::size_t i = 0; i < a.count; ++i) {
        const double x = a.x(static_cast<double>(i));
        p.drawLine(QPointF(x, a.plot.bottom()), QPointF(x, a.plot.bottom() + 3));
        const QString treatment = QString::fromStdString(c.rows[i].treatment);
        if (i % every(numberWidth) == 0)
            p.drawText(QRectF(x - numberWidth / 2, a.plot.bottom() + 3, numberWidth, fm.height()),
                       Qt::AlignHCenter | Qt::AlignTop, treatment);
        if (i % every(dateWidth) == 0)
            p.drawText(QRectF(x - dateWidth / 2, a.plot.bottom() + 3 + fm.height(), dateWidth, fm.height()),
                       Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(c.rows[i].rec.when.isoDate()));
    }
}

void drawChargeSteps(QPainter& p, const Axes& a, const std::vector<std::optional<double>>& charge, const Range& r)
{
    QPainterPath path;
    bool open = false;
    const double half = a.plot.width() / static_cast<double>(std::max<std::size_t>(a.count, 1)) / 2;
    for (std::size_t i = 0; i < charge.size(); ++i) {
        if (!charge[i]) {
            open = false;
            continue;
        }
        const double y = a.yOf(*charge[i], r), x = a.x(static_cast<double>(i));
        if (open)
            path.lineTo(x - half, y);
        else
            path.moveTo(x - half, y);
        path.lineTo(x + half, y);
        open = true;
    }
    p.setPen(QPen(kChargeColour, 0, Qt::SolidLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawPanel(QPainter& p, const QRectF& plot, const Panel& panel, const Course& c)
{
    const std::vector<std::optional<double>> values = valuesOf(c, panel.measure);
    const std::vector<std::optional<double>> charge = valuesOf(c, course::charge);
    const Range chargeRange = rangeOf(charge);
    const bool withCharge = std::any_of(charge.begin(), charge.end(), [](const auto& v) { return v.has_value(); });
    const Axes a{plot, c.rows.size(), rangeOf(values)};
    p.save();
    p.setClipRect(plot.adjusted(-1, -1, 1, 1));
    for (std::size_t i = 0; i < c.rows.size(); ++i)
        if (c.rows[i].flags & doseUp) {
            p.setPen(QPen(kDoseUpColour, 0, Qt::DashLine));
            const double x = a.x(static_cast<double>(i)) - plot.width() / static_cast<double>(c.rows.size()) / 2;
            p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
    if (withCharge)
        drawChargeSteps(p, a, charge, chargeRange);
    double slope = 0, intercept = 0;
    if (trendOf(values, slope, intercept)) {
        p.setPen(QPen(kTrendColour, 2.0));
        const double last = static_cast<double>(c.rows.size() - 1);
        p.drawLine(QPointF(a.x(0), a.yOf(intercept)), QPointF(a.x(last), a.yOf(intercept + slope * last)));
    }
    QPainterPath line;
    bool open = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i]) {
            open = false;
            continue;
        }
        const QPointF at(a.x(static_cast<double>(i)), a.yOf(*values[i]));
        open ? line.lineTo(at) : line.moveTo(at);
        open = true;
    }
    p.setPen(QPen(kValueColour, 1));
    p.drawPath(line);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool flagged = c.rows[i].flags != 0;
        const double y = values[i] ? a.yOf(*values[i]) : plot.bottom() - 6;
        const QPointF at(a.x(static_cast<double>(i)), y);
        if (values[i]) {
            p.setPen(Qt::NoPen);
            p.setBrush(kValueColour);
            p.drawEllipse(at, 3.0, 3.0);
        }
        if (flagged) {
            p.setPen(QPen(kFlagColour, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(at, 6.0, 6.0);
        }
    }
    p.restore();
    drawFrame(p, a, panel, chargeRange, withCharge);
    drawAxisLabels(p, a, c);
}

// What the marks mean, right-aligned at `end` on the heading's line.
void drawLegend(QPainter& p, const QPointF& end)
{
    const QFontMetricsF fm(p.font());
    struct Key {
        const char* text;
        QColor colour;
        int shape;  // 0 dot, 1 line, 2 dashed line, 3 ring
    };
    const Key keys[] = {{"value", kValueColour, 0}, {"trend", kTrendColour, 1}, {"charge (right axis)", kChargeColour, 1},
                        {"dose increase", kDoseUpColour, 2}, {"flagged", kFlagColour, 3}};
    double width = 0;
    for (const Key& k : keys)
        width += 24 + fm.horizontalAdvance(k.text) + 14;
    double x = end.x() - width;
    const double y = end.y() - fm.ascent() / 2 + fm.descent() / 2;
    for (const Key& k : keys) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(k.colour, k.shape == 3 ? 1.5 : 2.0, k.shape == 2 ? Qt::DashLine : Qt::SolidLine));
        if (k.shape == 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(k.colour);
            p.drawEllipse(QPointF(x + 10, y), 3.0, 3.0);
        } else if (k.shape == 3) {
            p.drawEllipse(QPointF(x + 10, y), 6.0, 6.0);
        } else {
            p.drawLine(QPointF(x, y), QPointF(x + 20, y));
        }
        p.setPen(Qt::black);
        p.drawText(QPointF(x + 24, end.y()), k.text);
        x += 24 + fm.horizontalAdvance(k.text) + 14;
    }
}

}  // namespace

void drawCoursePanels(QPainter& painter, const QRectF& area, const Course& course)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetricsF fm(painter.font());
    painter.setPen(Qt::black);
    const QString heading = QString("Treatment course of %1%2: %3 recordings")
                                .arg(shown(course.patientId))
                                .arg(course.patientName.empty() ? QString() : " (" + shown(course.patientName) + ")")
                                .arg(course.rows.size());
    painter.drawText(QPointF(area.left() + 4, area.top() + fm.ascent() + 2), heading);
    drawLegend(painter, QPointF(area.right() - 4, area.top() + fm.ascent() + 2));
    if (course.rows.empty()) {
        painter.restore();
        return;
    }
    const double top = area.top() + fm.height() * 2 + 6;
    const int columns = 2, rows = 3;
    const double cellW = area.width() / columns, cellH = (area.bottom() - top) / rows;
    for (int k = 0; k < static_cast<int>(kPanels.size()); ++k) {
        const QRectF cell(area.left() + (k % columns) * cellW, top + (k / columns) * cellH, cellW, cellH);
        const QRectF plot = cell.adjusted(64, fm.height() + 6, -80, -(2 * fm.height() + 10));
        if (plot.width() > 10 && plot.height() > 10)
            drawPanel(painter, plot, kPanels[k], course);
    }
    painter.restore();
}

}  // namespace course
