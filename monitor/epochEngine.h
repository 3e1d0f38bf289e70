#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace analysis {
struct SpectralSums;
struct SpectralTables;
}  // namespace analysis

namespace data {
struct Recording;
}

namespace monitor {

struct MonitorState;

// The per-epoch working spectra of playback and monitoring.
struct EpochData {
    // FFT vectors: channel c, epoch slot e at (c * 670 + e) * 128.
    std::vector<std::int16_t> epochFft = std::vector<std::int16_t>(4 * 670 * 128);
    // The vectors of an epoch as the display completed it, waiting for the
    // epoch thread (same layout). The reader may overwrite the ring's samples
    // of an epoch before the epoch thread gets to it; these keep what was shown.
    std::vector<std::int16_t> completedFft = std::vector<std::int16_t>(4 * 670 * 128);
    // Whether the slot's epoch is part of the accumulated sums.
    std::array<bool, 670> accumulated{};
    // Whether the slot's completed vectors wait for the epoch thread.
    std::array<bool, 670> completed{};

    static std::size_t at(int channel, int slot) { return static_cast<std::size_t>((channel * 670 + slot) * 128); }
    const std::int16_t* vector(int channel, int slot) const { return &epochFft[at(channel, slot)]; }
    std::int16_t* vector(int channel, int slot) { return &epochFft[at(channel, slot)]; }
    void reset();
};

// The program's epoch data, beside its monitor state.
extern EpochData epochData;

// What the epoch engine works on: the recording whose epochs it sums (its
// samples, recorded vectors and epoch selection), the counters of `state`, the
// accumulated and current sums (kinds 2 and 3) of `sums`, the Accumulated and
// Current tables of `tables`, and the per-epoch vectors.
struct EpochWork {
    data::Recording& rec;
    MonitorState& state;
    analysis::SpectralSums& sums;
    analysis::SpectralTables& tables;
    EpochData& epochs;
};

// The program's epoch engine: its primary recording and its monitor's objects.
EpochWork programEpochWork();

// Starts a new accumulation: the accumulated and current sums empty, no epoch
// accumulated, `processedEpochCount` at the start position.
void startAccumulation(EpochWork& w, std::int32_t startPosition);

// Takes the FFT vectors of epoch slot e as the display completes it (from the
// raw channels, or the recorded vectors when there is no raw EEG and the line
// is not live), for the epoch thread to sum. Called with lock B held, in the
// same step that completes the epoch.
void captureEpoch(EpochWork& w, int slot, bool live);

// Processes epoch slot e: its vectors (those taken when it was completed, else
// computed now as captureEpoch would), its power and cross spectra as the
// current epoch and, when the epoch is selected, into the accumulated sums;
// then the Accumulated and Current tables. After a ring wrap the slot's
// previous epoch leaves the accumulated sums first, if it was in them, with
// exactly the vectors it was added with.
void processEpoch(EpochWork& w, int slot, bool live);

// Changes the selection of the last processed epoch (kind 3 still holds it):
// its spectra leave or rejoin the accumulated sums and the Accumulated table
// is recomputed.
void setLastEpochSelected(EpochWork& w, int slot, bool selected);

}  // namespace monitor
