#include "analysis/epochEngine.h"

#include <algorithm>

#include "analysis/channelPairs.h"
#include "analysis/epochSpectra.h"
#include "analysis/fft.h"
#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"

namespace analysis {

EpochData epochData;

void EpochData::reset()
{
    std::fill(epochFft.begin(), epochFft.end(), std::int16_t{0});
    accumulated.fill(false);
}

namespace {

constexpr int kAccumulatedKind = 2;
constexpr int kVectorSize = 128;

struct Layout {
    int channels;
    int pairs;
};

Layout layout()
{
    const bool four = data::recordings.primary.header[data::hw::channelMode] == 1;
    return {four ? 4 : 2, four ? 6 : 1};
}

// Kind 3 from the slot's vectors; into the accumulated sums too when `add`.
void epochSpectra(int slot, Layout l, bool add)
{
    for (int c = 0; c < l.channels; ++c)
        addEpochPower(kVectorSize, epochData.vector(c, slot), kAccumulatedKind, c, add);
    for (int p = 0; p < l.pairs; ++p)
        addEpochCross(kVectorSize, epochData.vector(channelPairs[p].a, slot), epochData.vector(channelPairs[p].b, slot),
                      kAccumulatedKind, p, add);
}

void changeAccumulated(Layout l, bool remove)
{
    for (int c = 0; c < l.channels; ++c)
        removeEpochPower(kAccumulatedKind, c, remove);
    for (int p = 0; p < l.pairs; ++p)
        removeEpochCross(kAccumulatedKind, p, remove);
    monitor::monitorState.accumulatedEpochCount += remove ? -1 : 1;
}

// The slot is about to take a new epoch: its old one leaves the sums.
void removeOldEpoch(int slot, Layout l)
{
    epochSpectra(slot, l, false);
    if (epochData.accumulated[slot])
        changeAccumulated(l, true);
    epochData.accumulated[slot] = false;
    monitor::monitorState.processedEpochCount -= 1;
}

void loadVectors(int slot, Layout l, bool live)
{
    const data::Recording& rec = data::recordings.primary;
    if (!(rec.contentFlags() & data::content::rawEeg) && !live) {
        for (int c = 0; c < l.channels; ++c)
            std::copy_n(&rec.fftData[c][slot * kVectorSize], kVectorSize, epochData.vector(c, slot));
        return;
    }
    if (live && monitor::monitorState.ringWrapped)
        removeOldEpoch(slot, l);
    for (int c = 0; c < l.channels; c += 2) {
        const std::int16_t* x = &rec.rawChannels[c].samples[slot * data::kEpochSamples];
        const std::int16_t* y = &rec.rawChannels[c + 1].samples[slot * data::kEpochSamples];
        fftTwoReal(kVectorSize, x, 1, 2, y, 1, 2, epochData.vector(c, slot), epochData.vector(c + 1, slot));
    }
}

}  // namespace

void startAccumulation(std::int32_t startPosition)
{
    spectralSums.kind(2).clear();
    spectralSums.kind(3).clear();
    epochData.accumulated.fill(false);
    monitor::monitorState.accumulatedEpochCount = 0;
    monitor::monitorState.processedEpochCount = startPosition;
}

void processEpoch(int slot, bool live)
{
    const Layout l = layout();
    loadVectors(slot, l, live);
    const bool selected = data::recordings.primary.epochSelected[slot];
    epochSpectra(slot, l, selected);
    epochData.accumulated[slot] = selected;
    if (selected)
        monitor::monitorState.accumulatedEpochCount += 1;
    monitor::monitorState.processedEpochCount += 1;
    computeSpectralTable(Accumulated);
    computeSpectralTable(Current);
}

void setLastEpochSelected(int slot, bool selected)
{
    data::recordings.primary.epochSelected[slot] = selected;
    if (epochData.accumulated[slot] == selected)
        return;
    changeAccumulated(layout(), !selected);
    epochData.accumulated[slot] = selected;
    computeSpectralTable(Accumulated);
}

}  // namespace analysis
