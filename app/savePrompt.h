#pragma once

#include <functional>
#include <optional>
#include <string>

namespace app {

// The question the save prompt asks, or nothing when there is nothing to save.
// `playbackQuestion` says whether it is the playback question (a Yes then saves
// under a new name).
struct SaveQuestion {
    std::string text;
    bool playbackQuestion = false;
};
std::optional<SaveQuestion> saveQuestion(bool patientCounts);

// The save prompt: asks Yes/No/Cancel with the caption ("Ozmar - Exit" and the
// like) and on Yes stops live work and saves through `save` (in place) or
// `saveAs`. Returns IDYES, IDNO, IDCANCEL, or IDOK when there was nothing to
// save. A failed save counts as Cancel and turns auto-upload off.
struct SaveActions {
    std::function<void()> stopLiveWork;
    std::function<bool()> save;
    std::function<bool()> saveAs;
    std::function<void()> afterFailedSave;  // retitle, refresh the play control
};
int savePrompt(const void* owner, bool patientCounts, const std::string& caption, const SaveActions& actions);

}  // namespace app
