// Feeds arbitrary bytes as a data file to the patient rewrite: the read of the
// patient fields alone, then the rewrite of the file's trailing fields. A file
// it refuses must be left byte for byte as it was; a file it rewrites keeps
// every byte before its patient fields. Nothing may crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data/dataFiles.h"
#include "data/linkState.h"
#include "data/streamReader.h"
#include "fuzzSeeds.h"
#include "support/sampleRecording.h"

const char* fuzzTargetName() { return "patient"; }

namespace {

const std::string& scratchFile()
{
    static const std::string path = [] {
        const std::filesystem::path dir = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        const std::filesystem::path folder = dir / ("ozmar-patient-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        return (folder / "patient.dat").string();
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string& path = scratchFile();
    const std::vector<std::uint8_t> input(bytes, bytes + size);
    testing_support::writeBytes(path, input);
    data::streamState.patientOnly = true;
    const std::string failure = data::rewritePatientFile(path);
    const std::int64_t cut = data::patientCutPoint();
    data::streamState.patientOnly = false;
    const std::vector<std::uint8_t> after = testing_support::fileBytes(path);
    if (!failure.empty() && after != input)
        std::abort();  // a refused file was changed
    if (failure.empty() && cut >= 0) {
        const auto kept = static_cast<std::size_t>(cut);
        if (kept > input.size() || after.size() < kept || !std::equal(input.begin(), input.begin() + static_cast<long>(kept), after.begin()))
            std::abort();  // the rewrite touched what comes before the patient fields
    }
    return 0;
}
