// Rewriting the patient fields of 100 maximum-size data files, as a site does
// to de-identify recordings in bulk (the core rewrite, and the Patient Info
// dialog's export through its form); the file tip of a maximum-size file; and
// Batch Convert of 100 maximum-size files to CSV with their raw data (goal:
// under 30 s).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "report/patientForm.h"
#include "report/textExport.h"
#include "support/sampleRecording.h"

namespace {

// A folder with a maximum-size data file "000.dat" and 100 copies of it; the
// copies as a selection (the folder, then each name, each ended by a zero byte).
struct HundredFiles {
    testing_support::TempDir dir;
    std::string selection;
    HundredFiles()
    {
        testing_support::resetCore();
        testing_support::fillPrimaryMaximum();
        testing_support::writePrimary(dir.file("000.dat"));
        selection = dir.path().string() + '\0';
        for (int i = 0; i < 100; ++i) {
            const std::string name = std::to_string(1000 + i) + ".dat";
            std::filesystem::copy_file(dir.file("000.dat"), dir.file(name));
            selection += name + '\0';
        }
    }
};

void rewriteHundredFiles(benchmark::State& state)
{
    HundredFiles files;
    const std::string selection = files.selection + '\0';
    data::recordings.importPatients.text[data::patientName] = "Anonymous";
    data::recordings.useImportField[data::patientName] = true;
    data::streamState.patientOnly = true;
    for (auto _ : state)
        data::rewritePatientFields(nullptr, selection);
    data::streamState.patientOnly = false;
}

void exportToHundredFiles(benchmark::State& state)
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("000.dat"));
    std::vector<std::string> paths;
    for (int i = 0; i < 100; ++i) {
        paths.push_back(dir.file(std::to_string(1000 + i) + ".dat"));
        std::filesystem::copy_file(dir.file("000.dat"), paths.back());
    }
    report::PatientForm form;
    form.fill();
    form.type(data::patientName, "Anonymous");
    for (auto _ : state)
        if (!form.exportTo(paths, {false, true, false, false, false}).empty())
            state.SkipWithError("a file was not rewritten");
}

void tipOfAMaximumFile(benchmark::State& state)
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("max.dat"));
    for (auto _ : state)
        benchmark::DoNotOptimize(report::patientTip(dir.file("max.dat")));
}

void batchConvertHundredFiles(benchmark::State& state)
{
    HundredFiles files;
    const std::string& selection = files.selection;
    testing_support::TempDir& dir = files.dir;
    std::filesystem::create_directory(dir.file("out"));
    report::ExportSettings& e = report::exportSettings;
    e.textFilterIndex = 3;
    e.exportPatientInfo = e.exportRawData = true;
    e.exportSplit = false;
    for (auto _ : state) {
        e.yesToAll = true;
        if (!report::batchConvert(nullptr, selection, dir.file("out")))
            state.SkipWithError("the batch stopped");
    }
    e.reset();
}

}  // namespace

BENCHMARK(batchConvertHundredFiles)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(rewriteHundredFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(exportToHundredFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(tipOfAMaximumFile)->Unit(benchmark::kMillisecond);
