#pragma once

#include <cstdint>

namespace analysis {

struct SpectralKind;

// The four analysis modes.
enum SpectralMode { Recorded = 0, Accumulated = 1, Current = 2, SecondaryRecorded = 3 };
constexpr int kModes = 4;
constexpr int kTableRows = 33;  // rows 0 to 31 bins 1 to 32, row 32 the totals
constexpr int kTableColumns = 32;
constexpr int kTotalRow = 32;

// Column groups of a table row.
namespace col {
constexpr int power = 0;       // 4 channels
constexpr int relative = 4;    // 4 channels
constexpr int crossRe = 8;     // 6 pairs
constexpr int crossIm = 14;    // 6 pairs
constexpr int asymmetry = 20;  // 6 pairs
constexpr int coherence = 26;  // 6 pairs
}  // namespace col

// The normalised result tables and mean frequencies of the four modes. One instance.
struct SpectralTables {
    float spectralTable[kModes][kTableRows][kTableColumns];
    float meanFrequency[kModes][4];

    void reset();
};

extern SpectralTables spectralTables;

// What a mode's table is made from: the sums, the number of epochs summed into
// them (0: no data), the channels' calibration gains and how many channels and
// pairs the recording has.
struct SpectralSource {
    const SpectralKind* sums = nullptr;
    std::uint32_t divisor = 0;
    const float* gains = nullptr;
    int channels = 2;
    int pairs = 1;
};

// Normalises `source` into the table and mean frequencies of `mode` in
// `tables`; returns the divisor used (0: no data, the table reset). A mode
// outside 0 to 3 returns 0 and changes nothing.
std::uint32_t computeSpectralTable(SpectralTables& tables, int mode, const SpectralSource& source);

// The table of `mode` as it stands with no data. Sums that were just cleared
// give this table whatever their divisor.
void resetSpectralTable(SpectralTables& tables, int mode);

}  // namespace analysis
