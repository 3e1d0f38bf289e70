#pragma once

#include <atomic>

namespace app {

// The start-up state that is not persisted: one instance.
struct StartupState {
    bool startingUp = true;
    bool hidden = false;  // unattended: no window, no message box; the exit code tells
    int exitCode = 0;
    std::atomic<bool> quitRequested{false};

    // Sets the exit code and asks the program to end (the quit message).
    void requestQuit(int code)
    {
        exitCode = code;
        quitRequested = true;
    }
    void reset()
    {
        startingUp = true;
        hidden = false;
        exitCode = 0;
        quitRequested = false;
    }
};

extern StartupState startup;

}  // namespace app
