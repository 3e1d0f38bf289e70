// Reading and writing a maximum-size data file: four channels of 171520
// samples, 670 epochs of FFT and condition data, every text section.
#include <benchmark/benchmark.h>

#include "data/dataFile.h"
#include "data/streamReader.h"
#include "data/streamWriter.h"
#include "support/sampleRecording.h"

namespace {

struct MaximumFile {
    testing_support::TempDir dir;
    std::string path = dir.file("max.dat");
    MaximumFile()
    {
        testing_support::resetCore();
        testing_support::fillPrimaryMaximum();
        testing_support::writePrimary(path);
    }
};

MaximumFile& maximumFile()
{
    static MaximumFile file;
    return file;
}

void readMaximumFile(benchmark::State& state)
{
    const std::string& path = maximumFile().path;
    for (auto _ : state) {
        auto file = data::DataFile::open(path, data::DataFile::Mode::read);
        data::readStream(nullptr, file.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(testing_support::fileBytes(path).size()));
}

void writeMaximumFile(benchmark::State& state)
{
    const std::string out = maximumFile().dir.file("out.dat");
    for (auto _ : state) {
        auto file = data::DataFile::open(out, data::DataFile::Mode::write);
        data::writeStream(nullptr, file.get(), true);
        file->close();
    }
}

}  // namespace

BENCHMARK(readMaximumFile)->Unit(benchmark::kMillisecond);
BENCHMARK(writeMaximumFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
