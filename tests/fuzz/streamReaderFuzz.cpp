// Feeds arbitrary bytes to the stream reader as a data file. A rejected input
// must leave the primary recording as it was; nothing may crash.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "fuzzSeeds.h"

const char* fuzzTargetName() { return "stream"; }

namespace {

int memoryFile()
{
    static int fd = ::memfd_create("ozmar-fuzz", 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const int fd = memoryFile();
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    auto file = data::DataFile::open("/proc/self/fd/" + std::to_string(fd), data::DataFile::Mode::read);
    if (!file)
        std::abort();
    data::streamState.patientOnly = size > 0 && bytes[0] == 28;
    const auto header = data::recordings.primary.header;
    const auto count = data::recordings.primary.rawChannels[0].count;
    try {
        data::readStream(nullptr, file.get());
    } catch (const data::FileError&) {
        if (data::recordings.primary.header != header || data::recordings.primary.rawChannels[0].count != count)
            std::abort();
    }
    data::streamState.patientOnly = false;
    return 0;
}
