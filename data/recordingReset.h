#pragma once

#include "data/recording.h"

namespace data {

// Empties the primary recording for a new reception or file; header words 17
// and 18 and the patient sets survive.
void resetPrimary();
// Empties the secondary recording.
void resetSecondary();
// Empties a recording as the secondary one is emptied, its patient fields too:
// what a recording read on its own starts from.
void emptyRecording(Recording& rec);
// Empties patient sets: bit 0 primary, bit 1 import set, bit 2 secondary (with
// the secondary's header word 0 and texts).
void clearPatientSets(unsigned mask);
// After a read: a play range from the recording before that starts beyond this
// one starts at 0, and the epochs from `firstUnprocessed` on take the selection
// stored in the file, so that saving right after opening writes back the
// rejections that were read.
void selectStoredEpochs(Recording& rec, int firstUnprocessed);

}  // namespace data
