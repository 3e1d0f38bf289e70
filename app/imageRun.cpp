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
#include "report/imageFile.h"
#include "report/reportWindow.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "views/fftPainter.h"
#include "views/graphPainter.h"

namespace app {

namespace {

using state::startup;

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
        if (!report::writeImageFile(image, pagePath('g', p + 1)))
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
        if (!report::writeImageFile(image, pagePath('f', e + 1)))
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
        if (!report::writeImageFile(window.graphRowImage(row), pagePath('r', static_cast<unsigned>(row) + 1)))
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
