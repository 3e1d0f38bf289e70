#pragma once

#include <string>

namespace app {

// The state of the open document that the menus and the save prompt test. One instance.
struct DocumentState {
    bool dataPresent = false;          // a recording is loaded or received
    bool dataModified = false;         // the recording can be saved in place
    bool dataUnsaved = false;          // received or changed data not yet written
    bool patientInfoModified = false;
    bool sendable = false;             // the recording holds data that can be sent
    bool playbackEdited = false;       // playback changed the data: Save As only
    bool nameSending = false;          // a Send Name exchange runs
    std::string currentFilePath;       // empty: untitled
    std::string currentFileName;

    void reset() { *this = DocumentState{}; }
    // A new, unsaved monitoring recording: Save and Exit ask for it.
    void markNewMonitoring()
    {
        reset();
        dataPresent = sendable = dataModified = dataUnsaved = true;
    }
};

extern DocumentState document;

// "Ozmar - %s %s": the current file name or "(untitled)", and "(Auto Upload)"
// in auto-upload mode.
std::string frameTitle();

// The file name as messages show it.
std::string shownFileName();

}  // namespace app
