#include "views/tableLines.h"

#include <cstdio>

#include "analysis/channelPairs.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "monitor/spectralModes.h"

namespace views {

namespace {

int modeOf(bool currentSegment)
{
    return currentSegment ? analysis::Current : analysis::Accumulated;
}

// Line `line` of the program's table for a window's segment.
std::string spectralLine(int line, const analysis::BandArray* bands, bool currentSegment, unsigned pair, std::uint16_t form)
{
    const int mode = modeOf(currentSegment);
    return analysis::formatSpectralLine(analysis::spectralTables, monitor::tableSubjectOf(monitor::recordingOfMode(mode)),
                                        line, bands, mode, pair, form);
}

std::string printed(const char* format, unsigned a, unsigned b, const char* c, const std::string& d, const std::string& e)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d.c_str(), e.c_str());
    return text;
}

}  // namespace

std::string monitorSuffix()
{
    const auto& m = monitor::monitorState;
    if (!m.playThreadRunning)
        return std::string();
    return m.liveSession ? "-monitoring" : "-playback";
}

std::string autoUploadSuffix()
{
    return monitor::monitorState.autoUploadActive ? "(Auto Upload)" : "";
}

std::string epochCountLine(std::uint16_t form, bool currentSegment)
{
    const data::Recording& rec = data::recordings.primary;
    const auto& m = monitor::monitorState;
    // While monitoring, the header's count is not filled yet: the epochs received so far count.
    const bool fromHeader = rec.contentFlags() != 0 && !m.liveSession;
    const int collected = fromHeader ? rec.epochCount(0) : static_cast<int>(rec.rawChannels[0].count / data::kEpochSamples);
    const int computed = currentSegment ? m.processedEpochCount.load() : m.accumulatedEpochCount.load();
    const char* kind = currentSegment ? "Current" : "Computed";
    char text[analysis::kLineBufferSize];
    if ((form & 0xFF) == analysis::LineFormat::Csv)
        std::snprintf(text, sizeof text, "\"Segments:\",\"Collected-\",%-d,\"%s-\",%-d", collected, kind, computed);
    else
        std::snprintf(text, sizeof text, "Segments:     Collected- %-d      %s- %-d", collected, kind, computed);
    return text;
}

BandsTable::BandsTable() : bands(analysis::bandSets[0])
{
}

void BandsTable::refresh()
{
    const int mode = modeOf(currentSegment);
    const auto& m = monitor::monitorState;
    const std::uint32_t divisor = currentSegment ? (m.processedEpochCount != 0 ? 1u : 0u)
                                                 : static_cast<std::uint32_t>(std::max(0, m.accumulatedEpochCount.load()));
    for (auto& band : bands) {
        band.pair = pair;
        analysis::computeBand(band, analysis::spectralTables, mode, divisor,
                              monitor::recordingOfMode(mode).calibrationFactors.data());
    }
}

std::string BandsTable::title() const
{
    const auto [a, b] = analysis::pairChannels(pair);
    return printed("Bands EEG %u&%u (%s)%s %s", static_cast<unsigned>(a + 1), static_cast<unsigned>(b + 1),
                   currentSegment ? "current" : "accumulated", monitorSuffix(), autoUploadSuffix());
}

std::string BandsTable::line(int i, std::uint16_t form) const
{
    const analysis::BandArray array = analysis::bandArrayOf(bands);
    if (i >= 0 && i <= 8)
        return spectralLine(i + 2, &array, currentSegment, pair, form);
    if (i == 9)
        return spectralLine(43, &array, currentSegment, pair, form);
    if (i == 10)
        return epochCountLine(form, currentSegment);
    return std::string();
}

std::string SpectrumTable::title() const
{
    const auto [a, b] = analysis::pairChannels(pair);
    return printed("Spectrum EEG %u&%u (%s)%s %s", static_cast<unsigned>(a + 1), static_cast<unsigned>(b + 1),
                   currentSegment ? "current" : "accumulated", monitorSuffix(), autoUploadSuffix());
}

std::string SpectrumTable::line(int i, std::uint16_t form) const
{
    if (i == 0 || i == 1)
        return spectralLine(i + 2, nullptr, currentSegment, pair, form);
    if (i >= 2 && i <= 34)
        return spectralLine(i + 9, nullptr, currentSegment, pair, form);
    if (i == 35)
        return epochCountLine(form, currentSegment);
    return std::string();
}

std::string copyTableText(const TableLines& table)
{
    std::string text = table.title().substr(0, 79) + "\r\n";
    for (int i = 0; i <= table.lastLine(); ++i)
        text += table.line(i, analysis::LineFormat::Fixed) + "\r\n";
    return text;
}

}  // namespace views
