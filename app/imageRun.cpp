#include "app/imageRun.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "data/dataFiles.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "report/imageWriter.h"
#include "report/reportWindow.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "views/fftPainter.h"
#include "views/graphPainter.h"

namespace app {

namespace {

using state::startup;

// The image's pixels as the writer takes them: bottom row first, blue, green,
// red and an opaque alpha byte.
bool writePage(const QImage& image, const std::string& path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(h - 1 - y));
        std::uint8_t* out = &pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4];
        for (int x = 0; x < w; ++x, out += 4) {
            out[0] = static_cast<std::uint8_t>(row[x]);
            out[1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[2] = static_cast<std::uint8_t>(row[x] >> 16);
            out[3] = 255;
        }
    }
    return report::writeImage(path, report::imageTypeOf(path), w, h, pixels.data());
}

// "%s-%c%03u.png" in the output folder.
std::string pagePath(char letter, unsigned page)
{
    char name[32];
    std::snprintf(name, sizeof name, "-%c%03u.png", letter, page);
    return (std::filesystem::path(startup.uploadDir) / (startup.dataFileStem + name)).string();
}

template <class Draw>
QImage drawn(int width, int height, Draw draw)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter);
    return image;
}

int graphImages()
{
    data::Recording& rec = data::recordings.primary;
    const std::uint32_t pages = views::pageCount(rec);
    if (pages == 0)
        return 7;
    for (std::uint32_t p = 0; p < pages; ++p) {
        const QImage image = drawn(640, 480, [&](QPainter& painter) {
            const views::PageSetup setup = views::setupGraphPage(painter, views::graphPage.geometry(), 640, 480);
            views::renderGraphPage(painter, rec, p * views::kPageColumns, setup.lineHeight, true);
        });
        if (!writePage(image, pagePath('g', p + 1)))
            return 1;
    }
    return 0;
}

int fftImages()
{
    data::Recording& rec = data::recordings.primary;
    state::settings.spectrumCurrentSegment = true;
    const std::uint32_t pages = views::fftPageCount(rec);
    if (pages == 0)
        return 7;
    for (std::uint32_t e = 0; e < pages; ++e) {
        const views::FftSnapshot page = views::renderFftPage(rec, e, views::graphPage.geometry());
        const QImage image = drawn(480, 480, [&](QPainter& painter) {
            const views::PageSetup setup = views::setupGraphPage(painter, page.geometry, 480, 480);
            views::drawFftPage(painter, page, setup.lineHeight, true);
        });
        if (!writePage(image, pagePath('f', e + 1)))
            return 1;
    }
    return 0;
}

int reportImages()
{
    if (data::recordings.primary.rawChannels[0].count == 0)
        return 7;
    report::ReportWindow window(false);
    window.onCommand(602, 0, 1);
    const int rows = window.page().graphRows();
    if (rows == 0)
        return 7;
    for (int row = 0; row < rows; ++row)
        if (!writePage(window.graphRowImage(row), pagePath('r', static_cast<unsigned>(row) + 1)))
            return 1;
    return 0;
}

}  // namespace

int runImages(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QImage screen(16, 16, QImage::Format_RGB32);
    views::graphPage.setGeometry(views::measureGraphGeometry(screen));
    data::resetPrimary();
    data::clearPatientSets(15);
    // Hidden mode: a file that cannot be read sets its exit code, no box is shown.
    if (!data::openDataFile(nullptr, startup.dataFilePath, false))
        return startup.exitCode != 0 ? startup.exitCode : 2;
    if (startup.graphImages)
        return graphImages();
    if (startup.fftImages)
        return fftImages();
    return reportImages();
}

}  // namespace app
