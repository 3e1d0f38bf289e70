// Rewriting the patient fields of 100 maximum-size data files, as a site does
// to de-identify recordings in bulk.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "support/sampleRecording.h"

namespace {

void rewriteHundredFiles(benchmark::State& state)
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimaryMaximum();
    testing_support::writePrimary(dir.file("000.dat"));
    std::string selection = dir.path().string() + '\0';
    for (int i = 0; i < 100; ++i) {
        const std::string name = std::to_string(1000 + i) + ".dat";
        std::filesystem::copy_file(dir.file("000.dat"), dir.file(name));
        selection += name + '\0';
    }
    selection += '\0';
    data::recordings.importPatients.text[data::patientName] = "Anonymous";
    data::recordings.useImportField[data::patientName] = true;
    data::streamState.patientOnly = true;
    for (auto _ : state)
        data::rewritePatientFields(nullptr, selection);
    data::streamState.patientOnly = false;
}

}  // namespace

BENCHMARK(rewriteHundredFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
