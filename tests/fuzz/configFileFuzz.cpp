// Feeds arbitrary bytes to the configuration-file reader: whatever it takes,
// the settings stay within their ranges and nothing may crash.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/configFile.h"
#include "fuzzSeeds.h"
#include "state/settings.h"

const char* fuzzTargetName() { return "config"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static const int fd = ::memfd_create("ozmar-config-fuzz", 0);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    state::settings.reset();
    app::windowLayout.reset();
    app::readConfiguration("/proc/self/fd/" + std::to_string(fd));
    const state::AppSettings& s = state::settings;
    if (s.playSpeedIndex < 0 || s.playSpeedIndex > 5)
        std::abort();
    for (const auto& channel : s.channelSettings)
        if (channel.scale < 10 || channel.scale > 2000 || channel.artifact < 20 || channel.artifact > 1000)
            std::abort();
    return 0;
}
