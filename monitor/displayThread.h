#pragma once

#include <cstdint>

namespace data {
struct Recording;
}

namespace monitor {

// The display thread's body. 455: play (from the start of the play range
// when the display was complete) until `playThreadRunning` goes off, the data
// ends, or a Step epoch is complete; 456: only the reset part.
void runDisplay(int command);

// The display back at the start of the play range: empty page, channels
// placed (live: emptied), epoch clock and spectral sums restarted.
void resetDisplayPart();

// The epoch clock restarted at epoch `firstEpoch` of the data, every epoch
// selected and the accumulated spectra empty.
void resetEpochState(std::uint32_t firstEpoch);

// After a read into `rec`, the program's primary recording: the epoch clock
// restarts at its first epoch, and the epochs not yet processed take the
// selection stored in the file.
void selectEpochsAfterRead(data::Recording& rec);

}  // namespace monitor
