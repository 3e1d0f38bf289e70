#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "analysis/bandAnalysis.h"
#include "analysis/spectralTable.h"
#include "data/loadedRecording.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorState.h"
#include "monitor/spectralModes.h"
#include "platform/textEncoding.h"
#include "report/markedText.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kAnalyseUsage[] =
    "usage: ozmar-tool analyse FILE [--mode recorded|accumulated] [--pair 1-6] [--form columns|csv|tabs]";

// What the analysis of one file works on, all of its own: the recording with
// the instrument's sums (kinds 0 and 1), the running sums and tables, and the
// epoch engine's counters and vectors. Large: keep it on the heap.
struct Analysis {
    data::Recording rec;
    analysis::SpectralSums sums{};
    analysis::SpectralTables tables{};
    monitor::MonitorState state;
    monitor::EpochData epochs;

    Analysis()
    {
        tables.reset();
        state.reset();
        epochs.reset();
    }
    monitor::EpochWork work() { return monitor::EpochWork{rec, state, sums, tables, epochs}; }
    std::uint32_t table(int mode)
    {
        return analysis::computeSpectralTable(tables, mode, monitor::spectralSourceOf(mode, rec, sums, state));
    }
};

// Runs every epoch of the recording through the epoch engine, in order, as a
// full playback would; rejected epochs are not accumulated.
std::uint32_t accumulateAllEpochs(Analysis& a)
{
    std::uint32_t epochs = a.rec.epochCount(0);
    if (a.rec.contentFlags() & data::content::rawEeg)
        epochs = a.rec.rawChannels[0].count / data::kEpochSamples;
    epochs = std::min<std::uint32_t>(epochs, data::kMaxEpochs);
    monitor::EpochWork work = a.work();
    monitor::startAccumulation(work, 0);
    for (std::uint32_t e = 0; e < epochs; ++e)
        monitor::processEpoch(work, static_cast<int>(e), false);
    return a.table(analysis::Accumulated);
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
    auto own = std::make_unique<data::LoadedRecording>();
    if (int status = loadOwnFile(path, *own); status != kSuccess)
        return status;
    auto a = std::make_unique<Analysis>();
    a->rec = std::move(own->rec);
    a->sums.kind(0) = own->total;
    a->sums.kind(1) = own->seizure;
    own.reset();
    const int tableMode = mode == "recorded" ? analysis::Recorded : analysis::Accumulated;
    const std::uint32_t divisor = tableMode == analysis::Recorded ? a->table(analysis::Recorded) : accumulateAllEpochs(*a);
    analysis::BandGroup bands = analysis::bandSets[0];
    for (auto& band : bands) {
        band.pair = static_cast<std::uint32_t>(pair - 1);
        analysis::computeBand(band, a->tables, tableMode, divisor, a->rec.calibrationFactors.data());
    }
    const analysis::BandArray array = analysis::bandArrayOf(bands);
    const std::uint16_t lineForm = form == "csv" ? analysis::LineFormat::Csv
                                   : form == "tabs" ? analysis::LineFormat::Tabbed
                                                    : analysis::LineFormat::Fixed;
    for (int line = 0; line < analysis::kSpectralLines; ++line)
        printLine(analysis::formatSpectralLine(a->tables, monitor::tableSubjectOf(a->rec), line, &array, tableMode,
                                               static_cast<unsigned>(pair - 1), lineForm),
                  lineForm);
    return kSuccess;
}

}  // namespace tool
