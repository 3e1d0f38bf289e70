#include "monitor/spectralModes.h"

#include <algorithm>

#include "data/recordingStore.h"
#include "monitor/monitorState.h"

namespace monitor {

analysis::SpectralSource recordedSourceOf(const data::Recording& rec, const analysis::SpectralKind& total,
                                          const analysis::SpectralKind& seizure)
{
    const bool four = rec.header[data::hw::channelMode] == 1;
    const bool detected = rec.header[data::hw::eegSeizureDetected] != 0;
    const std::uint32_t recorded = detected ? rec.header[data::hw::seizureEpochs] : rec.header[data::hw::totalEpochs];
    return analysis::SpectralSource{detected ? &seizure : &total, recorded, rec.calibrationFactors.data(), four ? 4 : 2,
                                    four ? 6 : 1};
}

analysis::SpectralSource spectralSourceOf(int mode, const data::Recording& rec, const analysis::SpectralSums& sums,
                                          const MonitorState& state)
{
    if (mode == analysis::Recorded)
        return recordedSourceOf(rec, sums.kind(0), sums.kind(1));
    if (mode != analysis::Accumulated && mode != analysis::Current)
        return recordedSourceOf(rec, sums.kind(4), sums.kind(5));
    const bool four = rec.header[data::hw::channelMode] == 1;
    analysis::SpectralSource s{nullptr, 0, rec.calibrationFactors.data(), four ? 4 : 2, four ? 6 : 1};
    switch (mode) {
    case analysis::Accumulated:
        s.sums = &sums.kind(2);
        s.divisor = static_cast<std::uint32_t>(std::max(0, state.accumulatedEpochCount.load()));
        break;
    case analysis::Current:
        s.sums = &sums.kind(3);
        s.divisor = state.processedEpochCount.load() != 0 ? 1 : 0;
        break;
    }
    return s;
}

analysis::TableSubject tableSubjectOf(const data::Recording& rec)
{
    return analysis::TableSubject{rec.calibrationFactors.data(), rec.header[data::hw::eegSeizureDetected] != 0};
}

const data::Recording& recordingOfMode(int mode)
{
    return mode == analysis::SecondaryRecorded ? data::recordings.secondary : data::recordings.primary;
}

const analysis::SpectralSums& programSpectralSums()
{
    return analysis::spectralSums;
}

const analysis::SpectralKind& recordedSeizureSums(bool secondary)
{
    return analysis::spectralSums.kind(secondary ? 5 : 1);
}

std::uint32_t computeSpectralTable(int mode)
{
    if (mode < 0 || mode >= analysis::kModes)
        return 0;
    return analysis::computeSpectralTable(analysis::spectralTables, mode,
                                          spectralSourceOf(mode, recordingOfMode(mode), analysis::spectralSums, monitorState));
}

}  // namespace monitor
