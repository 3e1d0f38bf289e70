// A BIDS export of one patient's course of 12 maximum-size recordings (670
// epochs of four channels in every file), as `ozmar-tool export-bids` does
// it: finding and scanning the files, reading each again whole, making the
// EDF+ and sidecars, and writing the dataset through its staging folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bids/bidsExport.h"
#include "course/courseScan.h"
#include "data/recording.h"
#include "support/courseFiles.h"

namespace {

struct MaximumCourse {
    testing_support::TempDir dir;
    MaximumCourse()
    {
        for (int k = 0; k < 12; ++k) {
            testing_support::Treatment t = testing_support::on(1 + k / 4, 1 + (k % 4) * 7, 1000 + 50 * k, 30);
            t.samples = data::kRingSamples;
            t.rejectedEpoch = 3;
            t.markedEpoch = 5;
            testing_support::writeTreatment(dir.file("t" + std::to_string(k) + ".dat"), t);
        }
    }
};

void exportCourse(benchmark::State& state)
{
    static MaximumCourse course;
    testing_support::TempDir out;
    const std::string folder = (course.dir.path() / "").string();
    bids::BidsOptions options;
    options.anonymise = state.range(0) != 0;
    std::size_t bytes = 0;
    int run = 0;
    for (auto _ : state) {
        options.dataset = out.file("ds" + std::to_string(run++));
        std::vector<std::string> unopened;
        const course::ScanResult scan = course::scanFiles(course::filesUnder({folder}, false, unopened));
        const bids::BidsReport report = bids::exportBids(scan.recordings, options);
        if (report.added.size() != 12)
            state.SkipWithError("not every recording was exported");
        state.PauseTiming();
        bytes = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(options.dataset))
            bytes += entry.is_regular_file() ? entry.file_size() : 0;
        std::filesystem::remove_all(options.dataset);
        state.ResumeTiming();
    }
    state.counters["dataset_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(exportCourse)->Arg(0)->Arg(1)->ArgName("anonymise")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
