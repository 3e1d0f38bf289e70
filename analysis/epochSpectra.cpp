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

void addEpochPower(int n, const std::int16_t* vector, int kind, int channel, bool add)
{
    float* current = spectralSums.kind(3).power[channel];
    for (int k = 1; k <= kBins; ++k) {
        const std::int64_t re = vector[k], im = vector[n / 2 + k];
        current[k - 1] = static_cast<float>(wrapped(re * re + im * im));
    }
    if (add)
        accumulate(spectralSums.kind(kind).power[channel], current, true);
}

void addEpochCross(int n, const std::int16_t* vectorA, const std::int16_t* vectorB, int kind, int pair, bool add)
{
    float* currentRe = spectralSums.kind(3).crossRe[pair];
    float* currentIm = spectralSums.kind(3).crossIm[pair];
    for (int k = 1; k <= kBins; ++k) {
        const std::int64_t ar = vectorA[k], ai = vectorA[n / 2 + k], br = vectorB[k], bi = vectorB[n / 2 + k];
        currentRe[k - 1] = static_cast<float>(wrapped(ar * br + ai * bi));
        currentIm[k - 1] = static_cast<float>(wrapped(br * ai - ar * bi));
    }
    if (add) {
        accumulate(spectralSums.kind(kind).crossRe[pair], currentRe, true);
        accumulate(spectralSums.kind(kind).crossIm[pair], currentIm, true);
    }
}

void removeEpochPower(int kind, int channel, bool remove)
{
    accumulate(spectralSums.kind(kind).power[channel], spectralSums.kind(3).power[channel], !remove);
}

void removeEpochCross(int kind, int pair, bool remove)
{
    accumulate(spectralSums.kind(kind).crossRe[pair], spectralSums.kind(3).crossRe[pair], !remove);
    accumulate(spectralSums.kind(kind).crossIm[pair], spectralSums.kind(3).crossIm[pair], !remove);
}

}  // namespace analysis
