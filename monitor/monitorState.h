#pragma once

#include <atomic>
#include <cstdint>

namespace monitor {

// The epoch clock of monitoring and playback, shared by the display thread,
// the epoch thread and the user-interface thread.
struct MonitorState {
    std::atomic<bool> liveSession{false};        // the live reader runs
    std::atomic<bool> playThreadRunning{false};  // the display thread runs (playback or live)
    std::atomic<bool> autoUploadActive{false};   // auto-upload mode
    std::atomic<std::int32_t> currentEpoch{0};    // epoch the display is in, 0 to 669
    std::atomic<std::int32_t> processedEpoch{0};  // next epoch for the epoch thread, 0 to 669
    std::atomic<bool> epochRejected{false};       // the current epoch is rejected
    std::atomic<std::int32_t> epochSampleCount{0};  // samples of the current epoch shown so far
    std::atomic<bool> ringWrapped{false};         // live: the epoch ring has wrapped
    std::atomic<std::int32_t> accumulatedEpochCount{0};  // epochs summed into the accumulated spectra
    std::atomic<std::int32_t> processedEpochCount{0};    // epochs processed since the last reset

    void reset();
};

extern MonitorState monitorState;

}  // namespace monitor
