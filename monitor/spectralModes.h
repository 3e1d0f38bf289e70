#pragma once

#include <cstdint>

#include "analysis/bandAnalysis.h"
#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"

namespace data {
struct Recording;
}

namespace monitor {

struct MonitorState;

// Where each mode's table comes from. Recorded and SecondaryRecorded: the
// instrument's total or seizure sums of `rec` (the seizure ones when it
// detected a seizure), over the epochs its header counts. Accumulated and
// Current: the monitor's running sums, over its epoch counts. `rec` is the
// recording the mode reads: the secondary one for SecondaryRecorded.
analysis::SpectralSource spectralSourceOf(int mode, const data::Recording& rec, const analysis::SpectralSums& sums,
                                          const MonitorState& state);

// The Recorded table's source for a recording and the instrument's sums that
// came with it: the seizure sums when it detected a seizure, else the total
// sums, over the epochs its header counts.
analysis::SpectralSource recordedSourceOf(const data::Recording& rec, const analysis::SpectralKind& total,
                                          const analysis::SpectralKind& seizure);

// What the band lines need of the recording a table was computed for.
analysis::TableSubject tableSubjectOf(const data::Recording& rec);

// The program's recording a mode reads: the secondary one for
// SecondaryRecorded, else the primary one.
const data::Recording& recordingOfMode(int mode);

// The program's sums: the instrument's of its two recordings and the monitor's.
const analysis::SpectralSums& programSpectralSums();

// The instrument's seizure sums that came with the program's primary or
// secondary recording.
const analysis::SpectralKind& recordedSeizureSums(bool secondary);

// The program's tables: the table of `mode` from the program's recordings,
// sums and monitor state; returns its divisor as analysis::computeSpectralTable.
std::uint32_t computeSpectralTable(int mode);

}  // namespace monitor
