#include "lineCommon.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "data/leftoverFiling.h"
#include "platform/stopSignals.h"

namespace tool {

namespace {

// What Ctrl+C and SIGTERM found, the handlers they replaced, and how many
// guards live (only the outermost installs and restores, so a signal seen
// while an inner guard starts is never forgotten).
struct Interrupts {
    volatile std::sig_atomic_t seen = 0;
    platform::StopSignals signals;
    int depth = 0;
};

Interrupts interrupts;

void onInterrupt(int)
{
    interrupts.seen = 1;
}


}  // namespace

int StderrResponder::messageBox(const platform::MessageRequest& request)
{
    std::fprintf(stderr, "ozmar-tool: %s: %s\n", request.caption.c_str(), request.text.c_str());
    if (first.empty())
        first = request.text;
    return request.buttons == platform::Buttons::okCancel ? platform::IDCANCEL : platform::IDOK;
}

int portNumberOf(const std::string& name)
{
    if (name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("com", 0) == 0) && name[3] >= '1' && name[3] <= '8')
        return name[3] - '0';
    return 0;
}

std::string outputProblem(const std::string& out)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = fs::path(out).parent_path();
    if (folder.empty())
        folder = ".";
    if (!fs::is_directory(folder, error))
        return "the folder of \"" + out + "\" does not exist";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "the folder of \"" + out + "\" cannot be written: " + std::strerror(errno);
    const fs::file_status status = fs::status(out, error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return "\"" + out + "\" is not a regular file";
    return {};
}

bool parseSeconds(const std::string& text, long& seconds)
{
    char* end = nullptr;
    errno = 0;
    seconds = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && errno == 0 && seconds > 0;
}

std::string secondsText(long seconds)
{
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

InterruptGuard::InterruptGuard()
{
    if (interrupts.depth++ > 0)
        return;
    interrupts.seen = 0;
    interrupts.signals.catchWith(onInterrupt);
}

InterruptGuard::~InterruptGuard()
{
    if (--interrupts.depth == 0)
        interrupts.signals.restore();
}

void reportLeftovers(const std::string& folder)
{
    for (const data::Leftover& leftover : data::fileLeftovers(folder))
        std::fprintf(stderr, "ozmar-tool: %s\n", data::leftoverMessage(leftover).c_str());
}

bool InterruptGuard::interrupted() { return interrupts.seen != 0; }

}  // namespace tool
