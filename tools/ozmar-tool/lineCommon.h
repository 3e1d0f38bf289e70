#pragma once

#include <string>

#include "platform/dialogs.h"
#include "serial/transfers.h"

namespace tool {

// Prints the messages of a transfer or a live session and remembers the first.
class StderrResponder : public platform::DialogResponder {
public:
    int messageBox(const platform::MessageRequest& request) override;
    std::string first;
};

// 1 to 8 for "COM1" to "COM8", else 0.
int portNumberOf(const std::string& name);

// A whole number of seconds, 1 or more; false for anything else.
bool parseSeconds(const std::string& text, long& seconds);
// "1 second", "5 seconds".
std::string secondsText(long seconds);

// Why a received recording could not be saved as `out`, asked before any
// byte moves: its folder must exist and be writable, and `out` must not be a
// folder or device. Empty when it can be written.
std::string outputProblem(const std::string& out);

// While it lives, Ctrl+C and SIGTERM raise `interrupted()` instead of ending
// the process (a signal ignored since the start stays ignored). Guards nest:
// the outermost one clears the flag and installs the handlers. Used on the
// main thread only.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
    static bool interrupted();
};

// Keeps the primary recording, which could not be written where it belonged,
// as a new file "STEM-recovered-DATE-TIME.EXT" beside `near` (STEM and EXT its
// name and extension, .dat when it has none), else in the temporary folder,
// never over another file. The path written, or empty when nothing could be
// written anywhere.
std::string saveRecovered(const std::string& near);

// Files the recordings an interrupted filing left in `folder` under hidden
// temporary names and says on standard error what became of each.
void reportLeftovers(const std::string& folder);

// How a transfer the tool ran ended.
enum class TransferEnd { done, failed, timedOut };

// Runs a transfer on the open port to its end, its stages on standard error;
// Ctrl+C or SIGTERM cancels it as the dialog's Cancel would, and so does a
// stream that has not begun within `startWithin` seconds (0: no limit).
TransferEnd runTransfer(serial::TransferKind kind, long startWithin = 0);

}  // namespace tool
