#include "monitor/epochEngine.h"

#include <algorithm>

#include "analysis/channelPairs.h"
#include "analysis/epochSpectra.h"
#include "analysis/fft.h"
#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "monitor/spectralModes.h"

namespace monitor {

EpochData epochData;

void EpochData::reset()
{
    std::fill(epochFft.begin(), epochFft.end(), std::int16_t{0});
    accumulated.fill(false);
    completed.fill(false);
}

EpochWork programEpochWork()
{
    return EpochWork{data::recordings.primary, monitorState, analysis::spectralSums, analysis::spectralTables, epochData};
}

namespace {

constexpr int kAccumulatedKind = 2;
constexpr int kVectorSize = 128;

struct Layout {
    int channels;
    int pairs;
};

Layout layout(const data::Recording& rec)
{
    const bool four = rec.header[data::hw::channelMode] == 1;
    return {four ? 4 : 2, four ? 6 : 1};
}

void computeTable(EpochWork& w, int mode)
{
    analysis::computeSpectralTable(w.tables, mode, spectralSourceOf(mode, w.rec, w.sums, w.state));
}

// Kind 3 from the slot's vectors; into the accumulated sums too when `add`.
void epochSpectra(EpochWork& w, int slot, Layout l, bool add)
{
    for (int c = 0; c < l.channels; ++c)
        analysis::addEpochPower(w.sums, kVectorSize, w.epochs.vector(c, slot), kAccumulatedKind, c, add);
    for (int p = 0; p < l.pairs; ++p)
        analysis::addEpochCross(w.sums, kVectorSize, w.epochs.vector(analysis::channelPairs[p].a, slot),
                                w.epochs.vector(analysis::channelPairs[p].b, slot), kAccumulatedKind, p, add);
}

void changeAccumulated(EpochWork& w, Layout l, bool remove)
{
    for (int c = 0; c < l.channels; ++c)
        analysis::removeEpochPower(w.sums, kAccumulatedKind, c, remove);
    for (int p = 0; p < l.pairs; ++p)
        analysis::removeEpochCross(w.sums, kAccumulatedKind, p, remove);
    w.state.accumulatedEpochCount += remove ? -1 : 1;
}

// The slot is about to take a new epoch: its old one leaves the sums.
void removeOldEpoch(EpochWork& w, int slot, Layout l)
{
    epochSpectra(w, slot, l, false);
    if (w.epochs.accumulated[slot])
        changeAccumulated(w, l, true);
    w.epochs.accumulated[slot] = false;
    w.state.processedEpochCount -= 1;
}

// The slot's FFT vectors into `store` (laid out as EpochData::epochFft).
void loadVectors(const data::Recording& rec, int slot, Layout l, bool live, std::vector<std::int16_t>& store)
{
    if (!(rec.contentFlags() & data::content::rawEeg) && !live) {
        for (int c = 0; c < l.channels; ++c)
            std::copy_n(&rec.fftData[c][slot * kVectorSize], kVectorSize, &store[EpochData::at(c, slot)]);
        return;
    }
    for (int c = 0; c < l.channels; c += 2) {
        const std::int16_t* x = &rec.rawChannels[c].samples[slot * data::kEpochSamples];
        const std::int16_t* y = &rec.rawChannels[c + 1].samples[slot * data::kEpochSamples];
        analysis::fftTwoReal(kVectorSize, x, 1, 2, y, 1, 2, &store[EpochData::at(c, slot)],
                             &store[EpochData::at(c + 1, slot)]);
    }
}

// The slot's vectors for summing: those taken when the display completed the
// epoch, or computed now when none were taken.
void takeVectors(EpochWork& w, int slot, Layout l, bool live)
{
    if (!w.epochs.completed[slot]) {
        loadVectors(w.rec, slot, l, live, w.epochs.epochFft);
        return;
    }
    for (int c = 0; c < l.channels; ++c) {
        const auto from = w.epochs.completedFft.begin() + static_cast<long>(EpochData::at(c, slot));
        std::copy_n(from, kVectorSize, w.epochs.vector(c, slot));
    }
    w.epochs.completed[slot] = false;
}

}  // namespace

void startAccumulation(EpochWork& w, std::int32_t startPosition)
{
    w.sums.kind(2).clear();
    w.sums.kind(3).clear();
    w.epochs.accumulated.fill(false);
    w.epochs.completed.fill(false);
    w.state.accumulatedEpochCount = 0;
    w.state.processedEpochCount = startPosition;
}

void captureEpoch(EpochWork& w, int slot, bool live)
{
    loadVectors(w.rec, slot, layout(w.rec), live, w.epochs.completedFft);
    w.epochs.completed[slot] = true;
}

void processEpoch(EpochWork& w, int slot, bool live)
{
    const Layout l = layout(w.rec);
    // The old epoch leaves with the vectors it was added with, before the new
    // epoch's vectors take their place.
    if (live && w.state.ringWrapped)
        removeOldEpoch(w, slot, l);
    takeVectors(w, slot, l, live);
    const bool selected = w.rec.epochSelected[slot];
    epochSpectra(w, slot, l, selected);
    w.epochs.accumulated[slot] = selected;
    if (selected)
        w.state.accumulatedEpochCount += 1;
    w.state.processedEpochCount += 1;
    computeTable(w, analysis::Accumulated);
    computeTable(w, analysis::Current);
}

void setLastEpochSelected(EpochWork& w, int slot, bool selected)
{
    w.rec.epochSelected[slot] = selected;
    if (w.epochs.accumulated[slot] == selected)
        return;
    changeAccumulated(w, layout(w.rec), !selected);
    w.epochs.accumulated[slot] = selected;
    computeTable(w, analysis::Accumulated);
}

}  // namespace monitor
