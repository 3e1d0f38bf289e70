#pragma once

#include <atomic>
#include <cstdint>

#include "data/recording.h"

namespace data {

// The switches that change how live samples are appended to the program's
// recording. A recording read from a file is appended to plainly, with none.
struct RingSwitches {
    // Live monitoring: a full ring overwrites its oldest sample.
    std::atomic<bool> ringMode{false};
    // From the treatment-start packet: at most one ring of new samples is kept.
    std::atomic<bool> limitedMode{false};
    // Raised when limited mode refused a sample.
    std::atomic<bool> overflow{false};
    // Raised by every append in ring mode; the monitor polls and clears it.
    std::atomic<bool> newSamples{false};
};

// Empties a channel; the owning recording's length becomes 0.
void channelClear(Recording& rec, int ch);
// Appends one sample, honouring the ring and limited modes of `switches`.
void channelAppend(Recording& rec, int ch, std::int16_t sample, RingSwitches& switches);
// Appends one sample plainly: a full channel takes no more.
void channelAppend(Recording& rec, int ch, std::int16_t sample);
// Appends `count` samples plainly, as many single appends would.
void channelAppend(Recording& rec, int ch, const std::int16_t* samples, std::uint32_t count);
// The i-th oldest sample, or -32768 when there is none.
std::int16_t channelSampleAt(const Recording& rec, int ch, std::uint32_t i);
// The playback cursor's next sample, or -32768 when there is none; in ring
// mode the cursor follows the ring.
std::int16_t channelNextPlayed(Recording& rec, int ch, const RingSwitches& switches);
// Aligns the channel's oldest sample to an epoch boundary and places the playback
// cursor `startSecond` seconds (whole epochs) after it.
void channelAlignForPlayback(Recording& rec, int ch, std::uint32_t startSecond);

// Length in whole seconds of `count` samples, a started second counting as one.
inline std::uint32_t secondsOf(std::uint32_t count)
{
    return count / kSamplesPerSecond + (count % kSamplesPerSecond != 0 ? 1 : 0);
}

}  // namespace data
