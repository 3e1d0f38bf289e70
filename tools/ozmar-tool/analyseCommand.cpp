#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/bandAnalysis.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/epochEngine.h"
#include "monitor/spectralModes.h"
#include "platform/textEncoding.h"
#include "report/markedText.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kAnalyseUsage[] =
    "usage: ozmar-tool analyse FILE [--mode recorded|accumulated] [--pair 1-6] [--form columns|csv|tabs]";

// Runs every epoch of the primary recording through the epoch engine, in
// order, as a full playback would; rejected epochs are not accumulated.
std::uint32_t accumulateAllEpochs()
{
    const data::Recording& rec = data::recordings.primary;
    std::uint32_t epochs = rec.epochCount(0);
    if (rec.contentFlags() & data::content::rawEeg)
        epochs = rec.rawChannels[0].count / data::kEpochSamples;
    epochs = std::min<std::uint32_t>(epochs, data::kMaxEpochs);
    auto work = monitor::programEpochWork();
    monitor::startAccumulation(work, 0);
    for (std::uint32_t e = 0; e < epochs; ++e)
        monitor::processEpoch(work, static_cast<int>(e), false);
    return monitor::computeSpectralTable(analysis::Accumulated);
}

void printLine(const std::string& line, std::uint16_t form)
{
    if (form == analysis::LineFormat::Csv)
        std::printf("%s\n", line.c_str());
    else if (form == analysis::LineFormat::Fixed)
        std::printf("%s\n", platform::windows1252ToUtf8(line).c_str());
    else
        std::printf("%s\n", platform::windows1252ToUtf8(report::markedTextInColumns(line, 10)).c_str());
}

}  // namespace

int analyseCommand(const Args& args)
{
    std::string path, mode = "recorded", form = "columns";
    long pair = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool value = i + 1 < args.size();
        if (args[i] == "--mode" && value)
            mode = args[++i];
        else if (args[i] == "--pair" && value)
            pair = std::strtol(args[++i].c_str(), nullptr, 10);
        else if (args[i] == "--form" && value)
            form = args[++i];
        else if (path.empty() && args[i].rfind("--", 0) != 0)
            path = args[i];
        else
            return fail(kUsage, kAnalyseUsage);
    }
    if (path.empty() || pair < 1 || pair > 6 || (mode != "recorded" && mode != "accumulated") ||
        (form != "columns" && form != "csv" && form != "tabs"))
        return fail(kUsage, kAnalyseUsage);
    if (int status = loadDataFile(path); status != kSuccess)
        return status;
    const int tableMode = mode == "recorded" ? analysis::Recorded : analysis::Accumulated;
    const std::uint32_t divisor =
        tableMode == analysis::Recorded ? monitor::computeSpectralTable(analysis::Recorded) : accumulateAllEpochs();
    analysis::BandGroup bands = analysis::bandSets[0];
    for (auto& band : bands) {
        band.pair = static_cast<std::uint32_t>(pair - 1);
        analysis::computeBand(band, analysis::spectralTables, tableMode, divisor,
                              data::recordings.primary.calibrationFactors.data());
    }
    const analysis::BandArray array = analysis::bandArrayOf(bands);
    const std::uint16_t lineForm = form == "csv" ? analysis::LineFormat::Csv
                                   : form == "tabs" ? analysis::LineFormat::Tabbed
                                                    : analysis::LineFormat::Fixed;
    for (int line = 0; line < analysis::kSpectralLines; ++line)
        printLine(analysis::formatSpectralLine(analysis::spectralTables, monitor::tableSubjectOf(data::recordings.primary), line, &array, tableMode, static_cast<unsigned>(pair - 1), lineForm), lineForm);
    return kSuccess;
}

}  // namespace tool
