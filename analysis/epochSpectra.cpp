#include "analysis/epochSpectra.h"

#include "analysis/spectralSums.h"

namespace analysis {

namespace {

// 32-bit products and sums that wrap as two's-complement arithmetic does.
std::int32_t wrapped(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

void accumulate(float* target, const float* current, bool add)
{
    for (int j = 0; j < kBins; ++j)
        target[j] += add ? current[j] : -current[j];
}

}  // namespace

void addEpochPower(SpectralSums& sums, int n, const std::int16_t* vector, int kind, int channel, bool add)
{
    float* current = sums.kind(3).power[channel];
    for (int k = 1; k <= kBins; ++k) {
        const std::int64_t re = vector[k], im = vector[n / 2 + k];
        current[k - 1] = static_cast<float>(wrapped(re * re + im * im));
    }
    if (add)
        accumulate(sums.kind(kind).power[channel], current, true);
}

void addEpochCross(SpectralSums& sums, int n, const std::int16_t* vectorA, const std::int16_t* vectorB, int kind, int pair,
                   bool add)
{
    float* currentRe = sums.kind(3).crossRe[pair];
    float* currentIm = sums.kind(3).crossIm[pair];
    for (int k = 1; k <= kBins; ++k) {
        const std::int64_t ar = vectorA[k], ai = vectorA[n / 2 + k], br = vectorB[k], bi = vectorB[n / 2 + k];
        currentRe[k - 1] = static_cast<float>(wrapped(ar * br + ai * bi));
        currentIm[k - 1] = static_cast<float>(wrapped(br * ai - ar * bi));
    }
    if (add) {
        accumulate(sums.kind(kind).crossRe[pair], currentRe, true);
        accumulate(sums.kind(kind).crossIm[pair], currentIm, true);
    }
}

void removeEpochPower(SpectralSums& sums, int kind, int channel, bool remove)
{
    accumulate(sums.kind(kind).power[channel], sums.kind(3).power[channel], !remove);
}

void removeEpochCross(SpectralSums& sums, int kind, int pair, bool remove)
{
    accumulate(sums.kind(kind).crossRe[pair], sums.kind(3).crossRe[pair], !remove);
    accumulate(sums.kind(kind).crossIm[pair], sums.kind(3).crossIm[pair], !remove);
}

}  // namespace analysis
