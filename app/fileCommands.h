#pragma once

#include <functional>
#include <string>

namespace app {

// What the file commands ask of the frame's windows.
struct FrameEffects {
    std::function<void()> retitle;
    std::function<void(bool resetRange)> refreshReport;    // command 602 to the Report window
    std::function<void()> refreshPatientWindow;            // command 1071
    std::function<void()> refreshToolWindows;              // command 600
    std::function<void()> stopLiveWork;                    // the save prompt's Yes
};

// The file dialogs of data files, with their filters and questions. Empty when cancelled.
std::string chooseOpenPath(const void* owner);
std::string chooseSaveAsPath(const void* owner);
// The name an export dialog proposes: the current recording's file name with
// `extension` (".txt", ".png") in place of its own; empty for a recording
// without a file.
std::string exportNameFor(const std::string& extension);

// The frame's file commands on the primary recording and the document state.
// Each answers false when it was cancelled or failed.
bool newCommand(const void* owner, const FrameEffects& effects);
bool openCommand(const void* owner, const FrameEffects& effects);
bool openPath(const void* owner, const std::string& path, const FrameEffects& effects);
bool saveCommand(const void* owner, const FrameEffects& effects);
bool saveAsCommand(const void* owner, const FrameEffects& effects);

// The save prompt with the frame's save actions; caption "%s - Exit" and the like.
int askToSave(const void* owner, bool patientCounts, const char* captionFormat, const FrameEffects& effects);

}  // namespace app
