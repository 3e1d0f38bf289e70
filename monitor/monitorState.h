#pragma once

#include <atomic>
#include <cstdint>

#include "platform/criticalSection.h"

namespace monitor {

// The state of monitoring and playback, shared by the user-interface thread,
// the live reader, the display thread and the epoch thread. Every flag and
// counter is one atomic word; the two locks bracket the threads' work and are
// always taken in the order A, then B.
struct MonitorState {
    std::atomic<bool> liveSession{false};        // the live reader runs
    std::atomic<bool> playThreadRunning{false};  // the display thread runs (playback or live)
    std::atomic<bool> autoUploadActive{false};   // auto-upload mode
    std::atomic<bool> treatmentStarted{false};   // the instrument's treatment start was seen
    std::atomic<bool> lineHeard{false};          // a byte came from the instrument in this session
    std::atomic<bool> displayComplete{false};    // the display reached the end of the data
    std::atomic<std::int32_t> column{-1};         // column of the trace area drawn next, -1 to 511
    std::atomic<std::int32_t> currentEpoch{0};    // epoch the display is in, 0 to 669
    std::atomic<std::int32_t> processedEpoch{0};  // next epoch for the epoch thread, 0 to 669
    std::atomic<std::int32_t> epochSample{-1};    // samples of the current epoch shown, minus one
    std::atomic<std::int32_t> epochStartColumn{0};
    std::atomic<bool> epochComplete{false};        // the last sample shown completed an epoch
    std::atomic<bool> epochRejectedByUser{false};
    std::atomic<bool> epochRejected{false};       // the current epoch is rejected
    std::atomic<std::int32_t> displaySecond{0};   // seconds shown, held at 30000
    std::atomic<std::int32_t> secondSample{0};    // samples into the second being shown
    std::atomic<bool> timeOverflow{false};
    std::atomic<std::int32_t> playedEpochs{0};    // epochs the display has completed since its reset
    std::atomic<std::int32_t> playSpeed{3};       // the speed the running display uses (0 Step, 1 to 5: 25 % to 500 %)
    std::atomic<std::int32_t> ticks{0};           // timer periods not yet used by the display
    std::atomic<bool> ringWrapped{false};         // live: the epoch thread went round the ring
    std::atomic<bool> epochBaseFollows{false};    // live: the display went round the ring
    std::atomic<bool> epochThreadBusy{false};
    std::atomic<std::int32_t> accumulatedEpochCount{0};  // epochs summed into the accumulated spectra
    std::atomic<std::int32_t> processedEpochCount{0};    // epochs processed since the last reset

    // Lock A: held by the display thread for its whole run. Lock B: held by the
    // epoch thread while it works and by the live reader and the display thread
    // while they change or read the channels. Another thread waits for both
    // threads' current step by taking and releasing A, then B.
    platform::CriticalSection lockA;
    platform::CriticalSection lockB;

    // Takes and releases both locks: the threads have finished their step.
    void waitForStep();
    void reset();
};

extern MonitorState monitorState;

}  // namespace monitor
