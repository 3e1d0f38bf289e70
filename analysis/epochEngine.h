#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace analysis {

// The per-epoch working spectra of playback and monitoring. One instance.
struct EpochData {
    // FFT vectors: channel c, epoch slot e at (c * 670 + e) * 128.
    std::vector<std::int16_t> epochFft = std::vector<std::int16_t>(4 * 670 * 128);
    // Whether the slot's epoch is part of the accumulated sums.
    std::array<bool, 670> accumulated{};

    const std::int16_t* vector(int channel, int slot) const { return &epochFft[(channel * 670 + slot) * 128]; }
    std::int16_t* vector(int channel, int slot) { return &epochFft[(channel * 670 + slot) * 128]; }
    void reset();
};

extern EpochData epochData;

// Starts a new accumulation: the accumulated and current sums empty, no epoch
// accumulated, `processedEpochCount` at the start position.
void startAccumulation(std::int32_t startPosition);

// Processes epoch slot e of the primary recording: its FFT (from the raw
// channels, or the recorded vectors when there is no raw EEG and the line is
// not live), its power and cross spectra as the current epoch and, when the
// epoch is selected, into the accumulated sums; then the Accumulated and
// Current tables. After a ring wrap the slot's previous epoch leaves the
// accumulated sums first, if it was in them.
void processEpoch(int slot, bool live);

// Changes the selection of the last processed epoch (kind 3 still holds it):
// its spectra leave or rejoin the accumulated sums and the Accumulated table
// is recomputed.
void setLastEpochSelected(int slot, bool selected);

}  // namespace analysis
