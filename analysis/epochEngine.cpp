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
    completed.fill(false);
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

// The slot's FFT vectors into `store` (laid out as EpochData::epochFft).
void loadVectors(int slot, Layout l, bool live, std::vector<std::int16_t>& store)
{
    const data::Recording& rec = data::recordings.primary;
    if (!(rec.contentFlags() & data::content::rawEeg) && !live) {
        for (int c = 0; c < l.channels; ++c)
            std::copy_n(&rec.fftData[c][slot * kVectorSize], kVectorSize, &store[EpochData::at(c, slot)]);
        return;
    }
    for (int c = 0; c < l.channels; c += 2) {
        const std::int16_t* x = &rec.rawChannels[c].samples[slot * data::kEpochSamples];
        const std::int16_t* y = &rec.rawChannels[c + 1].samples[slot * data::kEpochSamples];
        fftTwoReal(kVectorSize, x, 1, 2, y, 1, 2, &store[EpochData::at(c, slot)], &store[EpochData::at(c + 1, slot)]);
    }
}

// The slot's vectors for summing: those taken when the display completed the
// epoch, or computed now when none were taken.
void takeVectors(int slot, Layout l, bool live)
{
    if (!epochData.completed[slot]) {
        loadVectors(slot, l, live, epochData.epochFft);
        return;
    }
    for (int c = 0; c < l.channels; ++c) {
        const auto from = epochData.completedFft.begin() + static_cast<long>(EpochData::at(c, slot));
        std::copy_n(from, kVectorSize, epochData.vector(c, slot));
    }
    epochData.completed[slot] = false;
}

}  // namespace

void startAccumulation(std::int32_t startPosition)
{
    spectralSums.kind(2).clear();
    spectralSums.kind(3).clear();
    epochData.accumulated.fill(false);
    epochData.completed.fill(false);
    monitor::monitorState.accumulatedEpochCount = 0;
    monitor::monitorState.processedEpochCount = startPosition;
}

void captureEpoch(int slot, bool live)
{
    loadVectors(slot, layout(), live, epochData.completedFft);
    epochData.completed[slot] = true;
}

void processEpoch(int slot, bool live)
{
    const Layout l = layout();
    // The old epoch leaves with the vectors it was added with, before the new
    // epoch's vectors take their place.
    if (live && monitor::monitorState.ringWrapped)
        removeOldEpoch(slot, l);
    takeVectors(slot, l, live);
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
