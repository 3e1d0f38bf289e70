// Save As Image (40013) of the Graph and FFT windows: the save dialog with its
// page panel, the existing-files question, then one image per page (or one of
// the current view) drawn by the views' painters and written by DevIL.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <algorithm>
#include <filesystem>

#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "platform/progressBox.h"
#include "platform/qtText.h"
#include "report/imageFile.h"
#include "report/imageNames.h"
#include "report/secondsRange.h"
#include "state/startupState.h"
#include "views/fftPainter.h"
#include "views/fftWindow.h"
#include "views/graphPainter.h"
#include "views/graphWindow.h"
#include "platform/textEncoding.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// A name whose extension is not an image type keeps it and gets ".png".
std::string withImageExtension(std::string path)
{
    const std::string extension = platform::lowerAscii(fs::path(path).extension().string());
    if (extension != ".png" && extension != ".jpg" && extension != ".bmp")
        path += ".png";
    return path;
}

}  // namespace

void FrameWindow::saveAsImage()
{
    QMdiSubWindow* active = mdi_->activeSubWindow();
    auto* graph = active ? dynamic_cast<views::GraphWindow*>(active->widget()) : nullptr;
    auto* fft = active ? dynamic_cast<views::FftWindow*>(active->widget()) : nullptr;
    if (!graph && !fft)
        return;
    data::Recording& rec = data::recordings.primary;
    const std::uint32_t pages = graph ? monitor::pageCount(rec) : views::fftPageCount(rec);
    const char letter = graph ? 'g' : 'f';

    platform::FileRequest r;
    r.owner = this;
    r.save = true;
    r.title = graph ? "Save Graph As Image" : "Save FFT As Image";
    r.filters = {{"Image Files (*.png,*.jpg,*.bmp)", "*.png;*.jpg;*.bmp"}, {"PNG Files (*.png)", "*.png"},
                 {"JPG Files (*.jpg)", "*.jpg"}, {"BMP Files (*.bmp)", "*.bmp"}, {"All Files (*.*)", "*.*"}};
    r.folder = state::startup.lastDir;
    r.defaultExtension = "png";
    r.name = exportNameFor(".png");
    r.panel = std::make_shared<platform::FilePanel>();
    platform::FilePanel& panel = *r.panel;
    panel.title = "&Data To Save";
    panel.labels = {"&All Data", "&From-To Page", "&Current View"};
    panel.exclusive = true;
    panel.editAfter = 1;
    panel.editText = report::formatSecondsRange(1, std::max(1u, pages));
    panel.normalise = [pages](const std::string& text) {
        const auto [first, last] = report::parsePageRange(text, pages, {1, std::max(1u, pages)});
        return report::formatSecondsRange(first, last);
    };
    // Without pages only the current view can be saved.
    panel.checked = pages == 0 ? std::vector<bool>{false, false, true} : std::vector<bool>{true, false, false};
    if (pages == 0)
        panel.enabled = {false, false, true};
    std::pair<std::uint32_t, std::uint32_t> range{1, std::max(1u, pages)};
    std::vector<std::string> paths;
    r.onAccept = [&](const std::string& chosen) -> std::string {
        const std::string path = withImageExtension(chosen);
        const bool current = panel.checked[2];
        if (panel.checked[1])
            range = report::parsePageRange(panel.editText, pages, range);
        else
            range = {1, std::max(1u, pages)};
        const fs::path p(path);
        paths = report::imagePaths(p.parent_path().string(), p.stem().string(), letter, p.extension().string(), range.first,
                                   range.second, current);
        const std::string question = report::replaceQuestion(p.parent_path().string(), paths, current);
        if (!question.empty() &&
            platform::messageBox(this, question, r.title, platform::Buttons::yesNo, platform::Icon::warning) != platform::IDYES)
            return {};
        return path;
    };
    const std::string chosen = platform::fileDialog(r);
    if (chosen.empty())
        return;
    state::startup.lastDir = fs::path(chosen).parent_path().string();
    ExportGuard busy(*this);
    const QSize size = active->widget()->size();
    const bool current = panel.checked[2];
    platform::ProgressBox progress(this, QString::fromStdString(r.title), static_cast<int>(paths.size()));
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QString name = platform::fromWindows1252(fs::path(paths[i]).filename().string());
        if (!progress.step(static_cast<int>(i) + 1, static_cast<int>(paths.size()),
                           QString("Saving %1\n(%2 of %3)").arg(name).arg(i + 1).arg(paths.size())))
            return;
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            const monitor::PageGeometry geometry = monitor::graphPage.geometry();
            const views::PageSetup setup = views::setupGraphPage(painter, geometry, size.width(), size.height());
            const std::uint32_t page = range.first - 1 + static_cast<std::uint32_t>(i);
            if (graph)
                views::drawGraphPage(painter, current ? graph->shownPage() : monitor::renderPage(rec, page * monitor::kPageColumns, geometry),
                                     setup.lineHeight, true);
            else
                views::drawFftPage(painter, current ? fft->shownPage() : views::renderFftPage(rec, page, geometry), setup.lineHeight,
                                   true);
        }
        if (!report::writeImageFile(image, paths[i])) {
            // The file that failed is named below the message.
            platform::messageBox(this, "There is no sufficient memory.\nCannot save.\n" + paths[i], "Ozmar", platform::Buttons::ok,
                                 platform::Icon::warning);
            return;
        }
    }
}

}  // namespace app
