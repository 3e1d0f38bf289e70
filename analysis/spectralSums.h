#pragma once

#include <array>

namespace analysis {

constexpr int kBins = 32;
constexpr int kSpectralChannels = 4;
constexpr int kPairs = 6;
constexpr int kSumKinds = 6;

// Power and cross-spectrum sums of one kind; bin index j holds bin j + 1.
struct SpectralKind {
    float power[kSpectralChannels][kBins];
    float crossRe[kPairs][kBins];
    float crossIm[kPairs][kBins];

    void clear();
};

// The six kinds: 0 and 1 the instrument's total and seizure sums of the primary
// recording, 2 the accumulated sums, 3 the current epoch, 4 and 5 the
// instrument's sums of the secondary recording.
struct SpectralSums {
    std::array<SpectralKind, kSumKinds> kinds{};

    SpectralKind& kind(int k) { return kinds[k]; }
    const SpectralKind& kind(int k) const { return kinds[k]; }
    void clearAll();
};

extern SpectralSums spectralSums;

}  // namespace analysis
