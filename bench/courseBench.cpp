// The treatment course of one patient from a folder of 1,000 recordings of 50
// patients (20 each, two minutes of four-channel EEG in every file): finding
// the files, reading what a course needs of each, choosing the patient and
// building the table with its flags.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "course/courseScan.h"
#include "course/courseTable.h"
#include "course/courseText.h"
#include "support/courseFiles.h"

namespace {

struct ClinicFolder {
    testing_support::TempDir dir;
    ClinicFolder()
    {
        for (int p = 0; p < 50; ++p)
            for (int k = 0; k < 20; ++k) {
                testing_support::Treatment t = testing_support::on(1 + k / 4, 1 + (k % 4) * 7, 1000 + 50 * k, 20 + k % 7);
                t.id = "P-" + std::to_string(1000 + p);
                t.name = "Patient " + std::to_string(p);
                t.samples = 24000;
                testing_support::writeTreatment(dir.file(t.id + "-" + std::to_string(k) + ".dat"), t);
            }
    }
};

ClinicFolder& clinic()
{
    static ClinicFolder folder;
    return folder;
}

void courseOfOnePatient(benchmark::State& state)
{
    const std::string folder = clinic().dir.path().string();
    std::size_t rows = 0, bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        bytes += entry.file_size();
    for (auto _ : state) {
        std::vector<std::string> unopened;
        const course::ScanResult scan = course::scanFiles(course::filesUnder({folder}, false, unopened));
        const course::Course c = course::buildCourse(course::recordingsOfPatient(scan.recordings, "P-1017"), {});
        rows = c.rows.size();
        benchmark::DoNotOptimize(course::courseCsv(c));
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["folder_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(courseOfOnePatient)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
