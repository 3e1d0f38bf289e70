#pragma once

#include "syntheticEeg.h"

namespace data {
struct LoadedRecording;
}

namespace sim {

struct RecordingOptions {
    Session session;
    bool reportText = false;  // the instrument's CSV report lines
    bool rawEeg = true;       // false: FFT data only
    int year = 26, month = 6, day = 26;  // the date of the session (two-digit year)
};

// Fills `into` as the instrument would after a session: raw channels,
// per-epoch FFT data, condition data, the total and seizure sums, the header's
// settings and results, texts and patient information.
void recordSession(const RecordingOptions& options, data::LoadedRecording& into);

}  // namespace sim
