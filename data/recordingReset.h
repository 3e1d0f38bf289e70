#pragma once

#include "data/recording.h"

namespace data {

// Empties the primary recording for a new reception or file; header words 17
// and 18 and the patient sets survive.
void resetPrimary();
// Empties the secondary recording.
void resetSecondary();
// Empties patient sets: bit 0 primary, bit 1 import set, bit 2 secondary (with
// the secondary's header word 0 and texts).
void clearPatientSets(unsigned mask);
// After a successful read into the primary recording: restarts the epoch clock
// and gives the epochs their selection.
void selectEpochsAfterRead();

}  // namespace data
