#pragma once

#include <cstdint>

#include "data/recording.h"
#include "monitor/liveDecoder.h"

namespace monitor {

// What the reader must do after a packet changed the recording.
enum class PacketEffect { none, channelConfiguration, treatmentStart };

// The condition-flag counting that starts at the treatment start.
struct ConditionCount {
    bool started = false;          // flags count only after the treatment start
    std::uint32_t firstEpoch = 0;  // epoch slot of the first flag
    std::uint32_t flags = 0;       // flags written since the treatment start
};

// Applies a status packet to the recording. A treatment start only sets the
// channel words here: the caller trims the channels under the monitor lock.
PacketEffect applyPacket(data::Recording& rec, const Packet& packet, ConditionCount& conditions);

// The treatment start: the content flag, the condition count from the epoch
// the channels are in, and each channel trimmed to whole epochs, its play
// cursor kept out of the dropped samples.
void startTreatment(data::Recording& rec, ConditionCount& conditions);

// A channel trimmed to whole epochs: the write index and the count go down to
// a multiple of 256; a play cursor inside the dropped samples moves back to the
// new write index.
void trimToWholeEpochs(data::SampleRing& ring);

}  // namespace monitor
