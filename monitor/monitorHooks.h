#pragma once

#include <functional>
#include <string>

namespace monitor {

// How the monitor threads reach the rest of the program. The threads never
// touch a window: the desktop program installs hooks that post to its
// user-interface thread; a script installs what it needs. Installed before any
// thread starts and not changed while one runs. One instance.
struct MonitorHooks {
    // A command to the frame window: 458 (stop monitoring), 606 (an upload
    // begins), 40005 (auto-upload off).
    std::function<void(int command)> postToFrame = [](int) {};
    // A failed read while monitoring: "Port COM%c is invalid." or "Transmission
    // error"; `lineGone` when the port itself went away (the instrument vanished).
    std::function<void(const std::string& message, bool lineGone)> readFailed = [](const std::string&, bool) {};
    // The channel configuration arrived: the channel-settings window refreshes (600).
    std::function<void()> channelConfiguration = [] {};
    // Whether received samples are kept (the play-control window exists).
    std::function<bool()> appendSamples = [] { return true; };
    // The play-control window: 600 refresh; 604 playback ended; 605 the time
    // display shows `text`; 452 the Time Set field shows `text`.
    std::function<void(int command, const std::string& text)> toPlayControl = [](int, const std::string&) {};
    // The live Graph page changed (a new column, cleared columns, marks).
    std::function<void()> pageChanged = [] {};
    // New spectral sums: every Bands, Spectrum and FFT window refreshes (602).
    std::function<void()> spectraChanged = [] {};
    // The epoch selection now differs from the file's epoch flags (true), or
    // was restarted from them (false).
    std::function<void(bool edited)> selectionChanged = [](bool) {};
    // The epoch thread is about to sum epoch slot `slot`; called outside the
    // locks, so a test can hold the thread there while the others go on.
    std::function<void(int slot)> beforeEpoch = [](int) {};

    void reset() { *this = MonitorHooks{}; }
};

extern MonitorHooks monitorHooks;

}  // namespace monitor
