// Save As Text (40004) of the active window, Save All As Text (40041) of the
// Report window and Batch Convert (40047) of many data files, through the
// save dialog of the text exports.
#include <QCoreApplication>
#include "platform/commandIds.h"
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <filesystem>

#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "platform/progressBox.h"
#include "platform/qtText.h"
#include "report/reportWindow.h"
#include "report/secondsRange.h"
#include "report/textExport.h"
#include "state/startupState.h"
#include "views/graphWindow.h"
#include "views/tableWindow.h"
#include "platform/textEncoding.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// The save dialog of the text exports: its file types, the type and folder of
// the last one, and the questions when Save is pressed ("Do you mean %s?" for
// another extension, the replace question unless `askReplace` is off); No
// keeps the dialog open.
platform::FileRequest textRequest(const void* owner, const std::string& title, bool askReplace)
{
    platform::FileRequest r;
    r.owner = owner;
    r.save = true;
    r.title = title;
    r.filters = {{"Text Files (*.txt,*.csv)", "*.txt;*.csv"}, {"TXT Files (*.txt)", "*.txt"},
                 {"CSV Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}};
    r.filterIndex = report::exportSettings.textFilterIndex;
    r.folder = state::startup.lastDir;
    r.defaultExtension = r.filterIndex == 3 ? "csv" : "txt";
    r.name = exportNameFor("." + r.defaultExtension);
    r.chosenFilter = std::make_shared<int>(r.filterIndex);
    r.onAccept = [owner, title, askReplace, extension = r.defaultExtension](const std::string& chosen) -> std::string {
        fs::path path(chosen);
        const std::string typed = platform::lowerAscii(path.extension().string());
        if (typed != ".txt" && typed != ".csv") {
            path = path.parent_path() / (path.filename().string() + "." + extension);
            if (platform::messageBox(owner, platform::format("Do you mean %s?", path.filename().string()), title,
                                     platform::Buttons::yesNo, platform::Icon::question) != platform::IDYES)
                return {};
        }
        std::error_code error;
        if (askReplace && fs::exists(path, error) &&
            platform::messageBox(owner, platform::format("%s exists.\nDo you want to replace it?", path.string()), title,
                                 platform::Buttons::yesNo, platform::Icon::question) != platform::IDYES)
            return {};
        return path.string();
    };
    return r;
}

// The Graph window's raw-data range: "&All Data" or "&From-To Sec" with the
// range box, into the export settings.
std::shared_ptr<platform::FilePanel> rawDataPanel()
{
    report::ExportSettings& e = report::exportSettings;
    e.exportAllData = true;
    e.exportFrom = 0;
    const std::uint32_t length = data::recordings.primary.lengthSeconds;
    e.exportTo = length;
    auto panel = std::make_shared<platform::FilePanel>();
    panel->title = "Raw &Data To Save";
    panel->labels = {"&All Data", "&From-To Sec"};
    panel->checked = {true, false};
    panel->exclusive = true;
    panel->editAfter = 1;
    panel->editText = report::formatSecondsRange(e.exportFrom, e.exportTo);
    panel->normalise = [length](const std::string& text) {
        std::uint32_t from = 0, to = length;
        report::parseSecondsRange(text, length, from, to);
        return report::formatSecondsRange(from, to);
    };
    return panel;
}

// The folder and the file type of the last text dialog are where the next one starts.
void remember(const platform::FileRequest& r, const std::string& path)
{
    state::startup.lastDir = fs::path(path).parent_path().string();
    if (r.chosenFilter)
        report::exportSettings.textFilterIndex = *r.chosenFilter;
}

void takeRawDataRange(const platform::FilePanel& panel)
{
    report::ExportSettings& e = report::exportSettings;
    e.exportAllData = panel.checked[0];
    if (!e.exportAllData)
        report::parseSecondsRange(panel.editText, data::recordings.primary.lengthSeconds, e.exportFrom, e.exportTo);
}

}  // namespace

void FrameWindow::saveAsText()
{
    report::ReportWindow* w = reportWindow();
    QMdiSubWindow* active = mdi_->activeSubWindow();
    views::TableWindow* table = activeTable();
    const bool graph = active && dynamic_cast<views::GraphWindow*>(active->widget());
    if (!table && !graph && (!w || active != reportSub_))
        return;
    const std::string title =
        graph ? "Save Raw Data As Text" : "Save \"" + platform::toWindows1252(active->windowTitle()) + "\" As Text";
    platform::FileRequest r = textRequest(this, title, true);
    if (graph)
        r.panel = rawDataPanel();
    const std::string path = platform::fileDialog(r);
    if (path.empty())
        return;
    remember(r, path);
    ExportGuard busy(*this);
    if (graph) {
        takeRawDataRange(*r.panel);
        report::saveAsText(this, path, {report::DocumentText::Kind::graph, nullptr, nullptr}, nullptr);
    } else if (table) {
        report::saveAsText(this, path, {report::DocumentText::Kind::table, nullptr, &table->table()}, nullptr);
    } else {
        report::saveAsText(this, path, {report::DocumentText::Kind::report, &w->page(), nullptr}, &w->page());
    }
}

// The Report window's sections in one file, or split into "-info" and "-raw".
// Without a Report window a hidden one serves and is closed again; Cancel
// anywhere still restores the window's options.
void FrameWindow::saveAllAsText()
{
    const platform::FileRequest r = textRequest(this, "Save All As Text", false);
    const std::string path = platform::fileDialog(r);
    if (path.empty())
        return;
    remember(r, path);
    ExportGuard busy(*this);
    std::unique_ptr<report::ReportWindow> hidden;
    report::ReportWindow* window = reportWindow();
    if (!window) {
        hidden = std::make_unique<report::ReportWindow>(false);
        window = hidden.get();
    }
    report::ExportSettings& e = report::exportSettings;
    e.saveAllMode = true;
    report::saveAsText(this, path, {report::DocumentText::Kind::report, &window->page(), nullptr}, &window->page());
    e.saveAllMode = false;
    if (!hidden)
        platform::sendCommand(window, cmd::relayout, 0, 0);
}

// Many data files, each into text files in the chosen folder: the data files
// first, then the output folder, type and what to save.
void FrameWindow::batchConvert()
{
    platform::FileRequest open;
    open.owner = this;
    open.title = "Patient Files To Save As Text";
    open.multiple = true;
    open.filters = {{"Data Files (*.dat,*.mon,*.edt)", "*.dat;*.mon;*.edt"},
                    {"Initial Data Files (*.dat,*.mon)", "*.dat;*.mon"},
                    {"Edited Data Files (*.edt)", "*.edt"},
                    {"All Files (*.*)", "*.*"}};
    open.folder = state::startup.lastDir;
    std::string selection = platform::fileDialog(open);
    if (selection.empty())
        return;
    if (selection.find('\0') == std::string::npos)
        selection += '\0';
    report::ExportSettings& e = report::exportSettings;
    platform::FileRequest save = textRequest(this, "Save Patient Files As Text", false);
    save.onAccept = nullptr;  // the names come from the data files
    save.fileNameLabel = "File pattern:";
    save.panel = std::make_shared<platform::FilePanel>();
    platform::FilePanel& panel = *save.panel;
    panel.title = "&Data To Save";
    panel.labels = {"&Both", "&Patient Info", "Ra&w Data", "Split"};
    const bool both = e.exportPatientInfo && e.exportRawData;
    panel.checked = {both, !both && e.exportPatientInfo, !both && e.exportRawData, e.exportSplit};
    // The first three are one choice; Split counts only with Both, and is
    // greyed (and set: one part alone is always a file of its own) otherwise.
    panel.exclusiveFirst = 3;
    panel.enabled = {true, true, true, both};
    panel.toggled = [](platform::FilePanel& p, int i) {
        if (i < 3)
            for (int k = 0; k < 3; ++k)
                p.checked[static_cast<std::size_t>(k)] = k == i;
        if (!p.checked[0])
            p.checked[3] = true;
        p.enabled[3] = p.checked[0];
    };
    // The name box shows, read-only, the pattern of the names to be written.
    save.proposeName = [&panel, extension = save.defaultExtension](const std::string&) {
        const bool both = panel.checked[0], info = both || panel.checked[1], raw = both || panel.checked[2];
        if (both && !panel.checked[3])
            return "fname." + extension;
        std::string pattern = info ? "fname-info." + extension : std::string();
        if (raw)
            pattern += (pattern.empty() ? "" : ", ") + std::string("fname-raw.") + extension;
        return pattern;
    };
    save.name = save.proposeName(save.folder);
    const std::string chosen = platform::fileDialog(save);
    if (chosen.empty())
        return;
    e.exportPatientInfo = panel.checked[0] || panel.checked[1];
    e.exportRawData = panel.checked[0] || panel.checked[2];
    e.exportSplit = !panel.checked[0] || panel.checked[3];
    e.textFilterIndex = platform::lowerAscii(fs::path(chosen).extension().string()) == ".csv" ? 3 : 2;
    const std::string folder = fs::is_directory(chosen) ? chosen : fs::path(chosen).parent_path().string();
    state::startup.lastDir = folder;
    // Which file is being converted and how many remain; Cancel stops between files.
    ExportGuard busy(*this);
    platform::ProgressBox progress(this, "Batch Convert", 100);
    report::batchConvert(this, selection, folder, [&](const std::string& file, std::size_t number, std::size_t count) {
        return progress.step(static_cast<int>(number), static_cast<int>(count),
                             QString("Converting %1\n(%2 of %3, %4 to go)")
                                 .arg(platform::fromWindows1252(fs::path(file).filename().string()))
                                 .arg(number)
                                 .arg(count)
                                 .arg(count - number));
    });
}

}  // namespace app
