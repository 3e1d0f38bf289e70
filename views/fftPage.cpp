#include "views/fftPage.h"

#include <algorithm>
#include <cmath>

#include "analysis/integerMath.h"
#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recording.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorState.h"
#include "state/settings.h"

namespace views {

namespace {

int eegChannels(const data::Recording& rec)
{
    return rec.header[data::hw::channelMode] == 1 ? 4 : 2;
}

void layOut(FftSnapshot& page, const data::Recording& rec)
{
    const auto& settings = state::settings.channelSettings;
    int m = 0;
    for (int ch = 0; ch < eegChannels(rec); ++ch)
        m += settings[static_cast<std::size_t>(ch)].on ? 1 : 0;
    page.stripHeight = m > 0 ? monitor::kPlotHeight / m : 0;
    page.unit = page.stripHeight / 3;
    int top = page.geometry.graphTop();
    for (int ch = 0; ch < eegChannels(rec); ++ch) {
        FftStrip& strip = page.strips[static_cast<std::size_t>(ch)];
        strip.on = settings[static_cast<std::size_t>(ch)].on;
        strip.name = "EEG" + std::to_string(ch + 1);
        strip.scale = std::clamp(settings[static_cast<std::size_t>(ch)].scale, 10, 2000);
        if (!strip.on)
            continue;
        strip.bottom = top + page.stripHeight - 1;
        strip.height = page.stripHeight - 1;
        top += page.stripHeight;
    }
}

void bars(FftSnapshot& page, const data::Recording& rec)
{
    const monitor::MonitorState& m = monitor::monitorState;
    const analysis::SpectralKind& current = analysis::spectralSums.kind(3);
    const analysis::SpectralKind& accumulated = analysis::spectralSums.kind(2);
    const int count = m.accumulatedEpochCount;
    for (int ch = 0; ch < monitor::kGraphChannels; ++ch) {
        FftStrip& strip = page.strips[static_cast<std::size_t>(ch)];
        if (!strip.on)
            continue;
        const double f = 0.25 * rec.calibrationFactors[static_cast<std::size_t>(ch)] * page.unit / strip.scale / 1.2247449;
        const int base = strip.bottom - 1;
        for (int k = 0; k < kFftBins; ++k) {
            const double power = page.currentMode ? std::trunc(current.power[ch][k])
                                                  : std::floor(std::trunc(accumulated.power[ch][k]) / std::max(1, count));
            const std::uint32_t a = binAmplitude(power);
            strip.barTop[static_cast<std::size_t>(k)] = base + static_cast<int>(std::trunc(0.5 - a * f));
        }
    }
}

// The ring slot of the epoch the epoch thread processed last.
std::uint32_t lastProcessedSlot()
{
    const int next = monitor::monitorState.processedEpoch;
    return static_cast<std::uint32_t>((next + data::kMaxEpochs - 1) % data::kMaxEpochs);
}

// The page from the analysis state, with `lastSelected` for the background.
FftSnapshot pageFromState(const data::Recording& rec, const monitor::PageGeometry& geometry, bool lastSelected, std::uint32_t lastSlot)
{
    const monitor::MonitorState& m = monitor::monitorState;
    FftSnapshot page;
    page.geometry = geometry;
    page.currentMode = state::settings.spectrumCurrentSegment;
    layOut(page, rec);
    const int processed = m.processedEpochCount;
    if (processed != 0 && !lastSelected)
        page.shade = page.currentMode ? FftSnapshot::Shade::rejectedCurrent : FftSnapshot::Shade::rejectedAccumulated;
    page.segmentLabel = processed != 0 ? "Segment: " + std::to_string(std::min(processed, data::kMaxEpochs)) +
                                             (page.currentMode ? " (current)" : " (accumulated)")
                                       : "Segment:";
    page.hasData = page.currentMode ? processed != 0 : m.accumulatedEpochCount != 0;
    if (page.hasData) {
        page.marked = rec.conditionData[0][lastSlot] != 0;
        bars(page, rec);
    }
    return page;
}

}  // namespace

std::uint32_t binAmplitude(double power)
{
    // Held where the rounded root still fits its 16 bits (65535 squared): above
    // it the root of the 32-bit range would round to 65536 and wrap to 0.
    const double limited = std::clamp(power, 0.0, 65535.0 * 65535.0);
    return analysis::roundedSqrt(static_cast<std::uint32_t>(limited));
}

FftSnapshot fftPage(const data::Recording& rec, const monitor::PageGeometry& geometry)
{
    // The epoch thread changes the sums under lock B.
    platform::SectionGuard lockB(monitor::monitorState.lockB);
    const std::uint32_t last = lastProcessedSlot();
    return pageFromState(rec, geometry, rec.epochSelected[last], last);
}

std::uint32_t fftPageCount(const data::Recording& rec)
{
    std::uint32_t epochs = 0;
    if (rec.contentFlags() & data::content::rawEeg)
        epochs = rec.rawChannels[0].count / data::kEpochSamples;
    else if (rec.contentFlags() & data::content::fftData)
        epochs = rec.epochCount(0);
    return std::min<std::uint32_t>(epochs, data::kMaxEpochs);
}

FftSnapshot renderFftPage(data::Recording& rec, std::uint32_t e, const monitor::PageGeometry& geometry)
{
    e = std::min<std::uint32_t>(e, data::kMaxEpochs - 1);
    monitor::MonitorState& m = monitor::monitorState;
    // The page borrows the analysis state: no display or epoch thread may be in a step.
    platform::SectionGuard lockA(m.lockA);
    platform::SectionGuard lockB(m.lockB);
    // The analysis state this page borrows, put back at the end.
    const analysis::SpectralSums sums = analysis::spectralSums;
    const analysis::SpectralTables tables = analysis::spectralTables;
    const monitor::EpochData epochs = monitor::epochData;
    const auto selected = rec.epochSelected;
    const int accumulatedCount = m.accumulatedEpochCount, processedCount = m.processedEpochCount,
              processedEpoch = m.processedEpoch, currentEpoch = m.currentEpoch;

    const bool current = state::settings.spectrumCurrentSegment;
    const std::uint32_t first = current ? e : 0;
    monitor::EpochWork work = monitor::programEpochWork();
    monitor::startAccumulation(work, static_cast<std::int32_t>(first));
    bool lastSelected = true;
    std::uint32_t lastSlot = 0;
    for (std::uint32_t k = first; k <= e; ++k) {
        const std::uint32_t slot = data::epochIndex(rec, k);
        // Epochs before the monitor's place by their selection, later ones by the file's flags.
        lastSelected = k < static_cast<std::uint32_t>(std::max(0, currentEpoch)) ? selected[slot] : rec.epochMarks[slot];
        rec.epochSelected[slot] = lastSelected;
        monitor::processEpoch(work, static_cast<int>(slot), false);
        lastSlot = slot;
    }
    m.processedEpoch = static_cast<std::int32_t>((lastSlot + 1) % data::kMaxEpochs);
    FftSnapshot page = pageFromState(rec, geometry, lastSelected, lastSlot);

    analysis::spectralSums = sums;
    analysis::spectralTables = tables;
    monitor::epochData = epochs;
    rec.epochSelected = selected;
    m.accumulatedEpochCount = accumulatedCount;
    m.processedEpochCount = processedCount;
    m.processedEpoch = processedEpoch;
    return page;
}

}  // namespace views
