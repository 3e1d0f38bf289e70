#include "course/coursePlotFile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cctype>
#include <memory>

#include "course/coursePainter.h"
#include "course/courseTable.h"
#include "data/safeFile.h"

namespace course {

const char kUnknownPlotKind[] = "the plot is written as .png or .pdf";

namespace {

std::string endingOf(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    std::string ending = dot == std::string::npos ? std::string() : path.substr(dot);
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending;
}

// A Qt application for fonts and painting, made off-screen when the process has none.
std::unique_ptr<QGuiApplication> guiForPainting()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ozmar-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

bool writePng(const Course& course, const std::string& path)
{
    QImage image(1600, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(14);
        painter.setFont(font);
        drawCoursePanels(painter, QRectF(20, 10, 1560, 975), course);
    }
    return image.save(QString::fromLocal8Bit(path.c_str()), "PNG");
}

bool writePdf(const Course& course, const std::string& path)
{
    QPdfWriter writer(QString::fromLocal8Bit(path.c_str()));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle("Treatment course");
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    // Drawn in a 1600-wide frame scaled onto the printable area, so the page looks as the image does.
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    const double scale = page.width() / 1600.0;
    painter.scale(scale, scale);
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    drawCoursePanels(painter, QRectF(0, 0, 1600, page.height() / scale), course);
    return painter.end();
}

}  // namespace

std::string writeCoursePlot(const Course& course, const std::string& path)
{
    const std::string ending = endingOf(path);
    if (ending != ".png" && ending != ".pdf")
        return kUnknownPlotKind;
    const auto gui = guiForPainting();
    const std::string temporary = data::temporaryNameFor(path);
    const bool written = ending == ".png" ? writePng(course, temporary) : writePdf(course, temporary);
    if (!data::finishTemporary(temporary, path, written))
        return "could not write \"" + path + "\"";
    return std::string();
}

}  // namespace course
