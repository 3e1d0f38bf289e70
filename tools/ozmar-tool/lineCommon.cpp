#include "lineCommon.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/stopSignals.h"

namespace tool {

namespace {

volatile std::sig_atomic_t interruptSeen = 0;

void onInterrupt(int)
{
    interruptSeen = 1;
}

platform::StopSignals stopSignals;

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

InterruptGuard::InterruptGuard()
{
    interruptSeen = 0;
    stopSignals.catchWith(onInterrupt);
}

InterruptGuard::~InterruptGuard()
{
    stopSignals.restore();
}

bool InterruptGuard::interrupted() { return interruptSeen != 0; }

}  // namespace tool
