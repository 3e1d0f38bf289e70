#include "app/savePrompt.h"

#include "app/documentState.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"

namespace app {

std::optional<SaveQuestion> saveQuestion(bool patientCounts)
{
    const DocumentState& d = document;
    if (!d.dataUnsaved && d.playbackEdited)
        return SaveQuestion{"PlayBack Data Changed!\nKeep it in a different file.\nSave file...?", true};
    if (!d.dataUnsaved && !(patientCounts && d.patientInfoModified))
        return std::nullopt;
    std::string text;
    if (d.dataUnsaved) {
        const std::uint16_t flags = data::recordings.primary.contentFlags();
        if ((flags & data::content::report) && !(flags & data::content::monitoring))
            text = "Treatment data not saved\n";
        else if (flags & data::content::markers)
            text = "Data not saved\n";
        else if (flags & data::content::monitoring)
            text = "Monitoring data not saved\n";
    } else {
        text = "Patient Info not saved\n";
    }
    return SaveQuestion{text + "Save file " + shownFileName() + "?", false};
}

int savePrompt(const void* owner, bool patientCounts, const std::string& caption, const SaveActions& actions)
{
    const auto question = saveQuestion(patientCounts);
    if (!question)
        return platform::IDOK;
    const int answer =
        platform::messageBox(owner, question->text, caption, platform::Buttons::yesNoCancel, platform::Icon::question);
    if (answer != platform::IDYES)
        return answer;
    if (actions.stopLiveWork)
        actions.stopLiveWork();
    const bool inPlace = !document.currentFileName.empty() && !question->playbackQuestion;
    const bool saved = inPlace ? actions.save() : actions.saveAs();
    if (saved)
        return platform::IDYES;
    monitor::monitorState.autoUploadActive = false;
    if (actions.afterFailedSave)
        actions.afterFailedSave();
    return platform::IDCANCEL;
}

}  // namespace app
