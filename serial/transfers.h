#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "platform/criticalSection.h"

namespace data {
class ProgressSink;
}

namespace serial {

enum class TransferKind { receive, send, sendName, upload };

// State shared by the frame, the transfer dialog and the transfer threads. One instance.
struct TransferState {
    std::atomic<bool> transferBusy{false};
    bool sendNameMode = false;
    std::string nameToSend;   // at most 80 characters
    std::string uploadFile;   // a bare file name in the upload folder
    std::string uploadDir;    // the upload folder
    std::string filedPath;    // where the last upload was filed under its automatic name
    platform::CriticalSection transferLock;

    void reset();
};

extern TransferState transferState;

constexpr std::size_t kNameToSendMax = 80;

// What a transfer thread reports to: the progress display (may be null) and
// the dialog, which it closes at its common end.
struct TransferContext {
    data::ProgressSink* progress = nullptr;
    std::function<void()> closeDialog;
};

// The frame's part: the play-control window re-reads `transferBusy`.
struct TransferHooks {
    std::function<void()> refreshPlayControl = [] {};
};

extern TransferHooks transferHooks;

// The transfer sessions, each the whole body of a transfer thread: the common
// start, the transfer with its messages, and the common end.
void receiveSession(const TransferContext& context);
void sendSession(const TransferContext& context, bool sendName);
void uploadSession(const TransferContext& context);

// Before an upload: the primary recording's header (but for the channel
// words), texts, condition data and raw channels are cleared.
void clearForUpload();
// Whether the primary recording holds what an upload brought in (one whose
// file could not be written, kept for the caller).
bool holdsReceivedRecording();

}  // namespace serial
