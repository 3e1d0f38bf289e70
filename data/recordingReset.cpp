#include "data/recordingReset.h"

#include <algorithm>

#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingHooks.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"

namespace data {

RecordingStore recordings;
DataLocks dataLocks;
RecordingHooks recordingHooks;

void RecordingStore::reset()
{
    primary = Recording();
    secondary = Recording();
    importPatients.clear();
    useImportField.fill(false);
    ringMode = false;
    limitedMode = false;
    overflow = false;
    newSamples = false;
}

void RecordingHooks::reset()
{
    clearTraceBuffers = [] {};
    refreshChannelSettings = [] {};
    resetPlayControl = [] { return false; };
    resetEpochState = [](std::uint32_t) {};
    stopDisplayThread = [] {};
    primaryRead = [](Recording& rec) { selectStoredEpochs(rec, 0); };
}

namespace {
struct HookDefaults {
    HookDefaults() { recordingHooks.reset(); }
} hookDefaults;

constexpr std::array<float, kResultValues> kResetResults = {0.0f, -1.0f, -1.0f, 1e30f, -1.0f, -1.0f, -1.0f, -1.0f};

void clearCommon(Recording& rec)
{
    rec.deviceName.clear();
    rec.reportTitle.clear();
    rec.reportText.clear();
    rec.resultValue = kResetResults;
    for (int ch = 0; ch < kChannels; ++ch)
        channelClear(rec, ch);
}
}  // namespace

void resetPrimary()
{
    Recording& rec = recordings.primary;
    const std::uint16_t mode = rec.header[hw::channelMode];
    const std::uint16_t modeCopy = rec.header[hw::channelModeCopy];
    rec.header.fill(0);
    rec.header[hw::channelMode] = mode;
    rec.header[hw::channelModeCopy] = modeCopy;
    clearCommon(rec);
    encodeHeaderFloats(rec);
    rec.additionalParams.fill(0.0f);
    analysis::spectralSums.clearAll();
    rec.epochMarks.fill(true);
    recordingHooks.clearTraceBuffers();
    rec.epochBase = 0;
    for (auto& series : rec.conditionData)
        std::fill(series.begin(), series.end(), std::int16_t{0});
    // With their sums just cleared, the three tables are their empty ones.
    for (int mode : {analysis::Recorded, analysis::Accumulated, analysis::Current})
        analysis::resetSpectralTable(analysis::spectralTables, mode);
    recordingHooks.refreshChannelSettings();
    if (!recordingHooks.resetPlayControl())
        recordingHooks.resetEpochState(rec.playStartSecond * kSamplesPerSecond / kEpochSamples);
}

namespace {
void emptySecondaryPart(Recording& rec)
{
    rec.header.fill(0);
    for (auto& series : rec.conditionData)
        std::fill(series.begin(), series.end(), std::int16_t{0});
    clearCommon(rec);
    rec.calibrationFactors.fill(1.0f);
    encodeHeaderFloats(rec);
}
}  // namespace

void emptyRecording(Recording& rec)
{
    emptySecondaryPart(rec);
    rec.patient.clear();
    rec.additionalParams.fill(0.0f);
    for (auto& channel : rec.fftData)
        std::fill(channel.begin(), channel.end(), std::int16_t{0});
    rec.epochMarks.fill(true);
    rec.epochSelected.fill(true);
    rec.epochBase = 0;
    rec.marker56 = rec.marker57 = -1;
    rec.playStartSecond = 0;
}

void resetSecondary()
{
    emptySecondaryPart(recordings.secondary);
    analysis::spectralSums.kind(4).clear();
    analysis::spectralSums.kind(5).clear();
    analysis::resetSpectralTable(analysis::spectralTables, analysis::SecondaryRecorded);
}

void clearPatientSets(unsigned mask)
{
    if (mask & 1u)
        recordings.primary.patient.clear();
    if (mask & 2u)
        recordings.importPatients.clear();
    if (mask & 4u) {
        Recording& rec = recordings.secondary;
        rec.patient.clear();
        rec.header[hw::contentFlags] = 0;
        rec.reportText.clear();
        rec.reportTitle.clear();
        rec.deviceName.clear();
    }
}

void selectStoredEpochs(Recording& rec, int firstUnprocessed)
{
    if (rec.playStartSecond > rec.lengthSeconds)
        rec.playStartSecond = 0;
    for (int e = std::max(firstUnprocessed, 0); e < kMaxEpochs; ++e)
        rec.epochSelected[e] = rec.epochMarks[e];
}

}  // namespace data
