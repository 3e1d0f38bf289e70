// Export EDF+ (File menu): the primary recording's raw EEG as an EDF+ file
// for EEG research tools, chosen in a save dialog with an Anonymise box.
#include <filesystem>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "report/edfExport.h"
#include "state/startupState.h"

namespace app {

void FrameWindow::exportEdf()
{
    namespace fs = std::filesystem;
    platform::FileRequest r;
    r.owner = this;
    r.save = true;
    r.title = "Export EDF+";
    r.filters = {{"EDF+ Files (*.edf)", "*.edf"}, {"All Files (*.*)", "*.*"}};
    r.defaultExtension = "edf";
    r.folder = state::startup.lastDir;
    r.name = document.currentFileName.empty() ? std::string("recording.edf")
                                              : fs::path(document.currentFileName).replace_extension(".edf").string();
    auto panel = std::make_shared<platform::FilePanel>();
    panel->title = "Patient";
    panel->labels = {"&Anonymise (no patient name or ID in the file)"};
    panel->checked = {false};
    r.panel = panel;
    enableToolWindows(false);
    const std::string path = platform::fileDialog(r);
    enableToolWindows(true);
    if (path.empty())
        return;
    state::startup.lastDir = fs::path(path).parent_path().string();
    ExportGuard busy(*this);
    const std::string problem = report::exportEdf(data::recordings.primary, path, {panel->checked[0]});
    if (!problem.empty())
        platform::messageBox(this, "Could not export \"" + fs::path(path).filename().string() + "\": " + problem, "Ozmar",
                             platform::Buttons::ok, platform::Icon::exclamation);
}

}  // namespace app
