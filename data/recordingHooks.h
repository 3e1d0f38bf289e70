#pragma once

#include <cstdint>
#include <functional>

namespace data {

struct Recording;

// The calls a recording reset makes into the views, the analysis, the tool
// windows and the monitor. Each subsystem installs its own function when it
// starts; until then a call does nothing.
struct RecordingHooks {
    // Fills every channel's trace buffer of the views with -32768.
    std::function<void()> clearTraceBuffers;
    // Sends the refresh command to the channel-settings window, if it exists.
    std::function<void()> refreshChannelSettings;
    // Sends refresh and Reset to the play-control window; false when it does not exist.
    std::function<bool()> resetPlayControl;
    // The monitor's epoch-state reset for a playback start epoch.
    std::function<void(std::uint32_t startEpoch)> resetEpochState;
    // Stops the display thread of playback, if it runs, before a file replaces
    // the primary recording.
    std::function<void()> stopDisplayThread;
    // After a read into the primary recording: its epochs take their stored
    // selection. The monitor's version also restarts its epoch clock.
    std::function<void(Recording& rec)> primaryRead;

    void reset();
};

extern RecordingHooks recordingHooks;

}  // namespace data
