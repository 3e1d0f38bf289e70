#include "app/fileCommands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/documentState.h"
#include "app/savePrompt.h"
#include "state/startupState.h"
#include "data/dataFiles.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "platform/textEncoding.h"

namespace app {

using state::startup;

namespace fs = std::filesystem;

namespace {

platform::FileRequest dataFileRequest(const void* owner, bool save)
{
    platform::FileRequest r;
    r.owner = owner;
    r.save = save;
    r.title = save ? "Save As" : "Open";
    r.filters = {{"Data Files (*.dat,*.mon,*.edt)", "*.dat;*.mon;*.edt"},
                 {"Initial Data Files (*.dat,*.mon)", "*.dat;*.mon"},
                 {"Edited Data Files (*.edt)", "*.edt"},
                 {"All Files (*.*)", "*.*"}};
    r.folder = startup.lastDir;
    r.name = document.currentFileName;
    r.defaultExtension = "dat";
    return r;
}

bool ask(const void* owner, const std::string& text, const std::string& caption)
{
    return platform::messageBox(owner, text, caption, platform::Buttons::yesNo, platform::Icon::exclamation) == platform::IDYES;
}

// The Save As dialog's checks when the user presses Save; empty keeps the dialog open.
std::string acceptedSavePath(const void* owner, const std::string& chosen, const std::string& title)
{
    fs::path path(chosen);
    const std::string extension = platform::lowerAscii(path.extension().string());
    if (extension != ".dat" && extension != ".edt" && extension != ".mon") {
        path = path.parent_path() / (path.filename().string() + ".dat");
        if (!ask(owner, platform::format("Do you mean %s?", path.filename().string()), title))
            return std::string();
    }
    std::error_code error;
    if (fs::exists(path, error) && !ask(owner, platform::format("%s exists.\nDo you want to replace it?", path.string()), title))
        return std::string();
    return path.string();
}

void remember(const std::string& path)
{
    document.currentFilePath = path;
    document.currentFileName = fs::path(path).filename().string();
    startup.lastDir = fs::path(path).parent_path().string();
}

}  // namespace

std::string exportNameFor(const std::string& extension)
{
    if (document.currentFileName.empty())
        return std::string();
    return fs::path(document.currentFileName).stem().string() + extension;
}

std::string chooseOpenPath(const void* owner)
{
    return platform::fileDialog(dataFileRequest(owner, false));
}

std::string chooseSaveAsPath(const void* owner)
{
    platform::FileRequest request = dataFileRequest(owner, true);
    // The questions are asked while the dialog is open: No leaves it as it is.
    request.onAccept = [owner, title = request.title](const std::string& chosen) {
        return acceptedSavePath(owner, chosen, title);
    };
    return platform::fileDialog(request);
}

int askToSave(const void* owner, bool patientCounts, const char* captionFormat, const FrameEffects& effects)
{
    SaveActions actions;
    actions.stopLiveWork = effects.stopLiveWork;
    actions.save = [&] { return saveCommand(owner, effects); };
    actions.saveAs = [&] { return saveAsCommand(owner, effects); };
    actions.afterFailedSave = effects.retitle;
    return savePrompt(owner, patientCounts, platform::format(captionFormat, "Ozmar"), actions);
}

bool newCommand(const void* owner, const FrameEffects& effects)
{
    if (askToSave(owner, true, "%s - Open New", effects) == platform::IDCANCEL)
        return false;
    data::resetPrimary();
    data::clearPatientSets(15);
    document = DocumentState{};
    effects.retitle();
    effects.refreshReport(true);
    effects.refreshPatientWindow();
    return true;
}

bool openPath(const void* owner, const std::string& path, const FrameEffects& effects)
{
    if (!data::openDataFile(owner, path, true))
        return false;
    const data::Recording& rec = data::recordings.primary;
    document.dataPresent = true;
    document.sendable = rec.contentFlags() != 0 || rec.rawChannels[0].count > 0;
    document.dataModified = document.patientInfoModified = document.dataUnsaved = document.playbackEdited = false;
    remember(path);
    effects.retitle();
    effects.refreshPatientWindow();
    effects.refreshToolWindows();
    effects.refreshReport(true);
    return true;
}

bool openCommand(const void* owner, const FrameEffects& effects)
{
    if (askToSave(owner, true, "%s - Open", effects) == platform::IDCANCEL)
        return false;
    const std::string path = chooseOpenPath(owner);
    return !path.empty() && openPath(owner, path, effects);
}

bool saveCommand(const void* owner, const FrameEffects& effects)
{
    const DocumentState& d = document;
    if (d.currentFilePath.empty() || !(d.dataModified || d.patientInfoModified || d.dataUnsaved) || d.playbackEdited)
        return saveAsCommand(owner, effects);
    if (!data::saveDataFile(owner, d.currentFilePath))
        return false;
    document.dataModified = document.patientInfoModified = document.dataUnsaved = false;
    return true;
}

bool saveAsCommand(const void* owner, const FrameEffects& effects)
{
    const std::string path = chooseSaveAsPath(owner);
    if (path.empty() || !data::saveDataFile(owner, path))
        return false;
    document.dataModified = document.patientInfoModified = document.dataUnsaved = document.playbackEdited = false;
    remember(path);
    effects.retitle();
    return true;
}

}  // namespace app
