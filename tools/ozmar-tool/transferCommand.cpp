#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/dataFiles.h"
#include "data/progressSink.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "serial/serialPort.h"
#include "serial/transferRun.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kTransferUsage[] =
    "usage: ozmar-tool receive --port COMn OUT.dat | send --port COMn FILE | send-name --port COMn NAME";

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

// Each stage on standard error with the percentage it reached.
class StderrProgress : public data::ProgressSink {
public:
    void setStage(const std::string& text) override
    {
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

private:
    std::string stage_, percent_;
};

// Prints the transfer's messages and remembers the first.
class StderrResponder : public platform::DialogResponder {
public:
    int messageBox(const platform::MessageRequest& request) override
    {
        std::fprintf(stderr, "ozmar-tool: %s: %s\n", request.caption.c_str(), request.text.c_str());
        if (first.empty())
            first = request.text;
        return request.buttons == platform::Buttons::okCancel ? platform::IDCANCEL : platform::IDOK;
    }
    std::string first;
};

int portNumberOf(const std::string& name)
{
    if (name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("com", 0) == 0) && name[3] >= '1' && name[3] <= '8')
        return name[3] - '0';
    return 0;
}

// Runs a transfer to its end; Ctrl+C cancels it as the dialog's Cancel would.
bool runTransfer(serial::TransferKind kind, StderrProgress& progress)
{
    std::signal(SIGINT, onInterrupt);
    serial::TransferRun run(kind, &progress);
    run.start();
    while (!run.waitClosed(std::chrono::milliseconds(50)))
        if (interrupted)
            run.cancel();
    run.join();
    progress.finish();
    std::signal(SIGINT, SIG_DFL);
    return run.result();
}

}  // namespace

int transferCommand(const std::string& command, const Args& args)
{
    int port = 0;
    std::string target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size())
            port = portNumberOf(args[++i]);
        else if (target.empty())
            target = args[i];
        else
            return fail(kUsage, kTransferUsage);
    }
    if (port == 0 || (target.empty() && command != "send-name"))
        return fail(kUsage, kTransferUsage);
    if (command == "send" && loadDataFile(target) != kSuccess)
        return kNotDataFile;
    if (!serial::openPort(port))
        return fail(kCannotOpen, serial::portOpenFailure(port, errno));
    StderrResponder responder;
    platform::dialogs.responder = &responder;
    StderrProgress progress;
    serial::TransferKind kind = serial::TransferKind::receive;
    if (command == "send")
        kind = serial::TransferKind::send;
    if (command == "send-name") {
        kind = serial::TransferKind::sendName;
        serial::transferState.nameToSend = target.substr(0, serial::kNameToSendMax);
    }
    const bool done = runTransfer(kind, progress);
    int status = done ? kSuccess : kTransferFailed;
    if (done && command == "receive" && !data::saveDataFile(nullptr, target))
        status = kCannotOpen;
    platform::dialogs.responder = nullptr;
    serial::closePort();
    if (!done && responder.first.empty())
        std::fprintf(stderr, "ozmar-tool: the transfer was cancelled\n");
    return status;
}

}  // namespace tool
