#include <unistd.h>

#include <atomic>
#include <chrono>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/localTime.h"
#include "data/dataFiles.h"
#include "data/progressSink.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "serial/serialPort.h"
#include "serial/transferRun.h"
#include "lineCommon.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kTransferUsage[] =
    "usage: ozmar-tool receive --port COMn [--timeout SECONDS] OUT.dat | send --port COMn FILE | send-name --port COMn NAME";

// Each stage on standard error with the percentage it reached. Stages come
// from the transfer's thread; begun() may be asked from any thread.
class StderrProgress : public data::ProgressSink {
public:
    void setStage(const std::string& text) override
    {
        begun_ = true;
        finish();
        stage_ = text;
        percent_.clear();
    }
    void setPercentText(const std::string& text) override
    {
        if (text != " ")
            percent_ = text;
    }
    void setBarPosition(int) override {}
    void stepBar() override {}
    void finish()
    {
        if (!stage_.empty())
            std::fprintf(stderr, "%s %s\n", stage_.c_str(), percent_.c_str());
        stage_.clear();
    }

    // Whether the stream has begun (its first section was reached).
    bool begun() const { return begun_; }

private:
    std::string stage_, percent_;
    std::atomic<bool> begun_{false};
};

}  // namespace

TransferEnd runTransfer(serial::TransferKind kind, StderrProgress& progress, long startWithin)
{
    InterruptGuard guard;
    std::fprintf(stderr, "ozmar-tool: COM%d (%s) is open; Ctrl+C cancels\n", serial::serialPort.portNumber,
                 serial::devicePath(serial::serialPort.portNumber).c_str());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(startWithin);
    bool timedOut = false;
    serial::TransferRun run(kind, &progress);
    run.start();
    while (!run.waitClosed(std::chrono::milliseconds(50))) {
        timedOut = startWithin > 0 && !progress.begun() && std::chrono::steady_clock::now() >= deadline;
        if (InterruptGuard::interrupted() || timedOut)
            run.cancel();
    }
    run.join();
    progress.finish();
    if (run.result())
        return TransferEnd::done;
    return timedOut ? TransferEnd::timedOut : TransferEnd::failed;
}

std::string saveRecovered(const std::string& near)
{
    namespace fs = std::filesystem;
    const std::tm local = platform::localNow();
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-recovered-%Y%m%d-%H%M%S", &local);
    const std::string extension = fs::path(near).has_extension() ? fs::path(near).extension().string() : ".dat";
    const std::string name = fs::path(near).stem().string() + stamp + extension;
    std::error_code error;
    for (const fs::path& folder : {fs::path(near).parent_path(), fs::temp_directory_path(error)}) {
        const std::string saved = data::saveDataFileAsNew(((folder.empty() ? fs::path(".") : folder) / name).string());
        if (!saved.empty())
            return saved;
    }
    return std::string();
}

TransferEnd runTransfer(serial::TransferKind kind, long startWithin)
{
    StderrProgress progress;
    return runTransfer(kind, progress, startWithin);
}

namespace {

// A good reception whose file could not be written is kept in a recovery
// file. Returns the exit code.
int saveRecovery(const std::string& out)
{
    const std::string saved = saveRecovered(out);
    if (saved.empty())
        return fail(kCannotOpen, "the recording was received but could not be written anywhere");
    return fail(kCannotOpen, "the recording was received but \"" + out + "\" could not be written; it was saved as \"" + saved + "\"");
}

}  // namespace

int transferCommand(const std::string& command, const Args& args)
{
    int port = 0;
    long timeout = 0;
    std::string target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size())
            port = portNumberOf(args[++i]);
        else if (args[i] == "--timeout" && i + 1 < args.size() && command == "receive" && parseSeconds(args[i + 1], timeout))
            ++i;
        else if (target.empty() && args[i].rfind("--", 0) != 0)
            target = args[i];
        else
            return fail(kUsage, kTransferUsage);
    }
    if (port == 0 || (target.empty() && command != "send-name"))
        return fail(kUsage, kTransferUsage);
    if (command == "send") {
        if (const int status = loadDataFile(target); status != kSuccess)
            return status;
    }
    if (command == "send-name") {
        const ArgumentText name = argumentText(target);
        if (!name.ok)
            return fail(kUsage, "the name cannot be sent: " + name.problem);
        // One byte a character, so the cut at the limit never splits a character.
        serial::transferState.nameToSend = name.text.substr(0, serial::kNameToSendMax);
    }
    if (command == "receive") {
        if (std::string problem = outputProblem(target); !problem.empty())
            return fail(kCannotOpen, problem);
        const std::string folder = std::filesystem::path(target).parent_path().string();
        reportLeftovers(folder.empty() ? "." : folder);
    }
    if (!serial::openPort(port))
        return fail(kCannotOpen, serial::portOpenFailure(port, errno));
    StderrResponder responder;
    platform::dialogs.responder = &responder;
    StderrProgress progress;
    serial::TransferKind kind = serial::TransferKind::receive;
    if (command == "send")
        kind = serial::TransferKind::send;
    if (command == "send-name")
        kind = serial::TransferKind::sendName;
    const TransferEnd end = runTransfer(kind, progress, timeout);
    const bool done = end == TransferEnd::done;
    int status = done ? kSuccess : kTransferFailed;
    if (done && command == "receive" && !data::saveDataFile(nullptr, target))
        status = saveRecovery(target);
    platform::dialogs.responder = nullptr;
    serial::closePort();
    if (end == TransferEnd::timedOut)
        std::fprintf(stderr, "ozmar-tool: no recording began within %s\n", secondsText(timeout).c_str());
    else if (!done && responder.first.empty())
        std::fprintf(stderr, "ozmar-tool: the transfer was cancelled\n");
    return status;
}

}  // namespace tool
