#include "app/imageRun.h"
#include "platform/commandIds.h"

#include <sys/wait.h>
#include <unistd.h>

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

// The pages of this process: every `workers`-th page from `worker` on.
struct Share {
    unsigned worker = 0;
    unsigned workers = 1;
    bool mine(std::uint32_t page) const { return page % workers == worker; }
};

int graphImages(const Share& share)
{
    data::Recording& rec = data::recordings.primary;
    const std::uint32_t pages = monitor::pageCount(rec);
    for (std::uint32_t p = 0; p < pages; ++p) {
        if (!share.mine(p))
            continue;
        const QImage image = drawn(640, 480, [&](QPainter& painter) {
            const views::PageSetup setup = views::setupGraphPage(painter, monitor::graphPage.geometry(), 640, 480);
            views::renderGraphPage(painter, rec, p * monitor::kPageColumns, setup.lineHeight, true);
        });
        if (!report::writeImageFile(image, pagePath('g', p + 1)))
            return 1;
    }
    return 0;
}

int fftImages(const Share& share)
{
    data::Recording& rec = data::recordings.primary;
    state::settings.spectrumCurrentSegment = true;
    const std::uint32_t pages = views::fftPageCount(rec);
    for (std::uint32_t e = 0; e < pages; ++e) {
        if (!share.mine(e))
            continue;
        const views::FftSnapshot page = views::renderFftPage(rec, e, monitor::graphPage.geometry());
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
    report::ReportWindow window(false);
    window.onCommand(cmd::relayout, 0, 1);
    const int rows = window.page().graphRows();
    if (rows == 0)
        return 7;
    for (int row = 0; row < rows; ++row)
        if (!report::writeImageFile(window.graphRowImage(row), pagePath('r', static_cast<unsigned>(row) + 1)))
            return 1;
    return 0;
}

// Draws and writes this process's share of the pages; the Qt application is
// made here, after any fork.
int drawImages(int argc, char** argv, const Share& share)
{
    QApplication application(argc, argv);
    const QImage screen(16, 16, QImage::Format_RGB32);
    monitor::graphPage.setGeometry(views::measureGraphGeometry(screen));
    if (startup.graphImages)
        return graphImages(share);
    if (startup.fftImages)
        return fftImages(share);
    return reportImages();
}

}  // namespace

int runImages(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    data::resetPrimary();
    data::clearPatientSets(15);
    // Hidden mode: a file that cannot be read sets its exit code, no box is shown.
    if (!data::openDataFile(nullptr, startup.dataFilePath, false))
        return startup.exitCode != 0 ? startup.exitCode : 2;
    data::Recording& rec = data::recordings.primary;
    const std::uint32_t pages = startup.graphImages ? monitor::pageCount(rec)
                              : startup.fftImages   ? views::fftPageCount(rec)
                                                    : rec.rawChannels[0].count;
    if (pages == 0)
        return 7;
    // Encoding the images takes most of the time and DevIL encodes one image
    // at a time per process: a long series is shared with a second process,
    // forked before anything of Qt exists, each taking every other page.
    if (startup.imageMode() && !startup.reportImages && pages >= 8) {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(drawImages(argc, argv, Share{1, 2}));
        if (child > 0) {
            const int mine = drawImages(argc, argv, Share{0, 2});
            int status = 0;
            ::waitpid(child, &status, 0);
            const int theirs = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
            return mine != 0 ? mine : theirs;
        }
    }
    return drawImages(argc, argv, Share{});
}

}  // namespace app
