// Reading and writing a maximum-size data file: four channels of 171520
// samples, 670 epochs of FFT and condition data, every text section.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "analysis/spectralSums.h"
#include "data/recording.h"

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

// The same file read into a recording of its own, as a batch reads each file.
void readMaximumFileOnItsOwn(benchmark::State& state)
{
    const std::string& path = maximumFile().path;
    auto rec = std::make_unique<data::Recording>();
    analysis::SpectralKind total, seizure;
    for (auto _ : state) {
        auto file = data::DataFile::open(path, data::DataFile::Mode::read);
        data::readDataFile(*file, *rec, {&total, &seizure}, data::ReadScope::whole);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(testing_support::fileBytes(path).size()));
}

// What reading costs at the least: the same bytes from the page cache with
// plain reads, the yardstick for the two above.
void pageCacheRead(benchmark::State& state)
{
    const std::string& path = maximumFile().path;
    std::vector<char> buffer(64 * 1024);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0)
            bytes += got;
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(bytes);
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

BENCHMARK(pageCacheRead)->Unit(benchmark::kMillisecond);
BENCHMARK(readMaximumFile)->Unit(benchmark::kMillisecond);
BENCHMARK(readMaximumFileOnItsOwn)->Unit(benchmark::kMillisecond);
BENCHMARK(writeMaximumFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
