#include "course/coursePrint.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>

#include "course/coursePainter.h"
#include "course/courseTable.h"
#include "course/courseText.h"

namespace course {

namespace {

// The printable area in device pixels, and a painter scaled so that it is
// 1600 units wide, as the image is.
QRectF scaledPage(QPainter& painter, QPagedPaintDevice& device)
{
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double scale = page.width() / 1600.0;
    painter.resetTransform();
    painter.scale(scale, scale);
    return QRectF(0, 0, 1600, page.height() / scale);
}

}  // namespace

bool printCourse(QPagedPaintDevice& device, const Course& course)
{
    QPageLayout layout = device.pageLayout();
    layout.setOrientation(QPageLayout::Landscape);
    device.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    drawCoursePanels(painter, scaledPage(painter, device), course);

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(14);
    const QStringList lines = QString::fromStdString(courseColumns(course)).split('\n');
    const QFontMetricsF fm(fixed, &device);
    int at = 0;
    while (at < lines.size()) {
        if (!device.newPage())
            return false;
        const QRectF area = scaledPage(painter, device);
        painter.setFont(fixed);
        painter.setPen(Qt::black);
        const double lineHeight = fm.height() * 1.15;
        for (double y = area.top() + fm.ascent(); y < area.bottom() && at < lines.size(); y += lineHeight)
            painter.drawText(QPointF(area.left(), y), lines[at++]);
    }
    return painter.end();
}

}  // namespace course
