#pragma once

#include <cstdint>

namespace analysis {

struct SpectralSums;

// The 32 bin powers of an epoch FFT vector into kind 3 of `sums` for the
// channel, and also added into `kind` when `add` is set.
void addEpochPower(SpectralSums& sums, int n, const std::int16_t* vector, int kind, int channel, bool add);
// The same for the cross spectrum A conj(B) of a pair.
void addEpochCross(SpectralSums& sums, int n, const std::int16_t* vectorA, const std::int16_t* vectorB, int kind, int pair,
                   bool add);
// Subtracts kind 3 from `kind` (remove set) or adds it back (remove clear).
void removeEpochPower(SpectralSums& sums, int kind, int channel, bool remove);
void removeEpochCross(SpectralSums& sums, int kind, int pair, bool remove);

}  // namespace analysis
