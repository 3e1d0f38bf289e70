#pragma once

#include <cstdint>

#include "data/recording.h"

namespace data {

// Empties a channel; the owning recording's length becomes 0.
void channelClear(Recording& rec, int ch);
// Appends one sample, honouring the ring and limited modes of the recording store.
void channelAppend(Recording& rec, int ch, std::int16_t sample);
// The i-th oldest sample, or -32768 when there is none.
std::int16_t channelSampleAt(const Recording& rec, int ch, std::uint32_t i);
// The playback cursor's next sample, or -32768 when there is none.
std::int16_t channelNextPlayed(Recording& rec, int ch);
// Aligns the channel's oldest sample to an epoch boundary and places the playback
// cursor `startSecond` seconds (whole epochs) after it.
void channelAlignForPlayback(Recording& rec, int ch, std::uint32_t startSecond);

// Length in whole seconds of `count` samples, a started second counting as one.
inline std::uint32_t secondsOf(std::uint32_t count)
{
    return count / kSamplesPerSecond + (count % kSamplesPerSecond != 0 ? 1 : 0);
}

}  // namespace data
