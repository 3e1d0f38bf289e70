// ozmar-tool monitor: a live session captured from a script, with the same
// reader as the desktop program; or, with --auto-upload, every recording the
// instrument sends filed under its automatic name until Ctrl+C.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "data/autoFiling.h"
#include "data/dataFiles.h"
#include "data/leftoverFiling.h"
#include "data/linkState.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "platform/localTime.h"
#include "serial/serialPort.h"
#include "serial/transfers.h"
#include "lineCommon.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kMonitorUsage[] =
    "usage: ozmar-tool monitor --port COMn [--seconds N] [--timeout SECONDS] OUT.mon | monitor --port COMn --auto-upload FOLDER "
    "[--timeout SECONDS]";

struct MonitorArgs {
    int port = 0;
    long seconds = 0;  // 0: until the end packet or Ctrl+C
    long timeout = 0;  // nothing heard from the instrument this long after the start fails; 0: wait
    std::string out;
    std::string uploadFolder;
};

bool parseArgs(const Args& args, MonitorArgs& a)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool valued = i + 1 < args.size();
        if (args[i] == "--port" && valued) {
            a.port = portNumberOf(args[++i]);
        } else if (args[i] == "--seconds" && valued) {
            if (!parseSeconds(args[++i], a.seconds))
                return false;
        } else if (args[i] == "--timeout" && valued) {
            if (!parseSeconds(args[++i], a.timeout))
                return false;
        } else if (args[i] == "--auto-upload" && valued) {
            a.uploadFolder = args[++i];
        } else if (a.out.empty() && args[i].rfind("-", 0) != 0) {
            a.out = args[i];
        } else {
            return false;
        }
    }
    return a.port != 0 && (a.out.empty() != a.uploadFolder.empty());
}


// What the reader asked the frame for, as the tool's loop sees it.
struct SessionEvents {
    std::atomic<int> frameCommand{0};
    std::atomic<bool> lineFailed{false};
};

SessionEvents events;

void installHooks()
{
    monitor::monitorHooks.reset();
    monitor::monitorHooks.postToFrame = [](int command) { events.frameCommand = command; };
    // The tool words its own message: the desktop's comes from the port.
    monitor::monitorHooks.readFailed = [](const std::string& message, bool lineGone) {
        events.lineFailed = true;
        if (lineGone)
            std::fprintf(stderr, "ozmar-tool: The instrument stopped answering (COM%d)\n", serial::serialPort.portNumber);
        else
            std::fprintf(stderr, "ozmar-tool: the line failed: %s\n", message.c_str());
    };
}

void startSession(int port)
{
    events.frameCommand = 0;
    data::resetPrimary();
    monitor::beginMonitoring(*serial::serialPort.portHandle, port);
}

// Waits until the session ends by itself, the time is up or Ctrl+C; false
// when the instrument sent nothing within `timeout` seconds (0: no limit).
bool waitForEnd(long seconds, long timeout)
{
    const auto start = std::chrono::steady_clock::now();
    while (!monitor::readerEnded() && !InterruptGuard::interrupted() &&
           (seconds == 0 || std::chrono::steady_clock::now() < start + std::chrono::seconds(seconds))) {
        if (timeout > 0 && !monitor::monitorState.lineHeard && std::chrono::steady_clock::now() >= start + std::chrono::seconds(timeout))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int silentInstrument(long timeout)
{
    return fail(kTransferFailed, "nothing came from the instrument within " + secondsText(timeout));
}

int captureOnce(const MonitorArgs& a)
{
    InterruptGuard guard;
    std::fprintf(stderr, "ozmar-tool: monitoring COM%d (%s); Ctrl+C ends\n", a.port, serial::devicePath(a.port).c_str());
    startSession(a.port);
    if (!waitForEnd(a.seconds, a.timeout))
        return silentInstrument(a.timeout);
    if (!monitor::endMonitoring(platform::localNow()))
        return fail(kTransferFailed, "nothing was monitored");
    const data::Recording& rec = data::recordings.primary;
    if (!data::saveDataFile(nullptr, a.out))
        return fail(kCannotOpen, "could not write \"" + a.out + "\"");
    std::fprintf(stderr, "ozmar-tool: %u seconds of EEG written to %s\n", rec.lengthSeconds, a.out.c_str());
    return events.lineFailed ? kTransferFailed : kSuccess;
}

// Files what was monitored before a recording arrived (or before the end);
// what cannot be filed in the folder is kept in a recovery file. False when
// it could be written nowhere.
bool fileMonitored(const std::string& folder)
{
    if (!monitor::endMonitoring(platform::localNow()))
        return true;
    const std::string path = data::fileMonitoredRecording(nullptr, folder, platform::localNow());
    if (!path.empty()) {
        std::fprintf(stderr, "ozmar-tool: monitored EEG filed as %s\n", path.c_str());
        return true;
    }
    const std::string kept = saveRecovered((std::filesystem::path(folder) / "monitored.mon").string());
    if (kept.empty()) {
        std::fprintf(stderr, "ozmar-tool: the monitored EEG could not be written in %s or the temporary folder\n", folder.c_str());
        return false;
    }
    std::fprintf(stderr, "ozmar-tool: the monitored EEG could not be filed in %s; it was saved as %s\n", folder.c_str(), kept.c_str());
    return true;
}

// The instrument is told that its recording was not filed.
void refuseUpload()
{
    if (serial::serialPort.portHandle)
        serial::serialPort.portHandle->transmitImmediate(0xF8);
}

// Receives the arriving recording and files it; one that arrived whole but
// could not be filed is kept in a recovery file and the instrument gets 0xF8.
// False when it could be written nowhere, or when Ctrl+C or SIGTERM cancelled
// it (the instrument got 0xF8 and nothing of it was kept).
bool receiveUpload(const std::string& folder)
{
    data::resetPrimary();
    serial::clearForUpload();
    serial::transferState.uploadDir = folder;
    const std::string arriving = data::arrivingUploadName(folder, platform::localNow());
    serial::transferState.uploadFile = arriving;
    if (runTransfer(serial::TransferKind::upload) == TransferEnd::done) {
        std::fprintf(stderr, "ozmar-tool: a recording was filed as %s\n", serial::transferState.filedPath.empty()
                                                                            ? (std::filesystem::path(folder) / arriving).c_str()
                                                                            : serial::transferState.filedPath.c_str());
        return true;
    }
    if (InterruptGuard::interrupted()) {
        std::fprintf(stderr, "ozmar-tool: the upload was cancelled; nothing of it was filed\n");
        return false;
    }
    if (data::linkState.transferStatus != 0 || !serial::holdsReceivedRecording()) {
        std::fprintf(stderr, "ozmar-tool: the upload failed; monitoring goes on\n");
        return true;
    }
    refuseUpload();
    const std::string kept = saveRecovered((std::filesystem::path(folder) / arriving).string());
    if (kept.empty()) {
        std::fprintf(stderr, "ozmar-tool: the recording received could not be written in %s or the temporary folder\n",
                     folder.c_str());
        return false;
    }
    std::fprintf(stderr, "ozmar-tool: the recording received could not be filed in %s; it was saved as %s\n", folder.c_str(),
                 kept.c_str());
    return true;
}

int autoUpload(const MonitorArgs& a)
{
    InterruptGuard guard;
    monitor::monitorState.autoUploadActive = true;
    std::fprintf(stderr, "ozmar-tool: auto-upload on COM%d (%s) into %s; Ctrl+C ends\n", a.port,
                 serial::devicePath(a.port).c_str(), a.uploadFolder.c_str());
    reportLeftovers(a.uploadFolder);
    int status = kSuccess;
    // Only the start is timed: an instrument that is quiet between treatments is not a failure.
    for (bool first = true;; first = false) {
        startSession(a.port);
        if (!waitForEnd(0, first ? a.timeout : 0)) {
            status = silentInstrument(a.timeout);
            break;
        }
        const bool arriving = !InterruptGuard::interrupted() && events.frameCommand == 606;
        if (!fileMonitored(a.uploadFolder)) {
            // Nothing can be written anywhere: no upload is taken in to be lost.
            if (arriving)
                refuseUpload();
            status = kTransferFailed;
            break;
        }
        if (!arriving) {
            if (events.lineFailed)
                status = kTransferFailed;
            break;
        }
        if (!receiveUpload(a.uploadFolder)) {
            status = kTransferFailed;
            break;
        }
        serial::configurePort();
    }
    monitor::monitorState.autoUploadActive = false;
    return status;
}

}  // namespace

int monitorCommand(const Args& args)
{
    MonitorArgs a;
    if (!parseArgs(args, a))
        return fail(kUsage, kMonitorUsage);
    if (!a.out.empty()) {
        if (std::string problem = outputProblem(a.out); !problem.empty())
            return fail(kCannotOpen, problem);
    } else if (std::string problem = outputProblem((std::filesystem::path(a.uploadFolder) / "x.dat").string());
               !problem.empty()) {
        return fail(kCannotOpen, "the upload folder \"" + a.uploadFolder + "\" cannot be written");
    }
    if (!serial::openPort(a.port))
        return fail(kCannotOpen, serial::portOpenFailure(a.port, errno));
    serial::setHandshake(serial::Handshake::receive);
    StderrResponder responder;
    platform::dialogs.responder = &responder;
    installHooks();
    const int status = a.out.empty() ? autoUpload(a) : captureOnce(a);
    monitor::stopAll();
    monitor::monitorHooks.reset();
    platform::dialogs.responder = nullptr;
    serial::closePort();
    return status;
}

}  // namespace tool
