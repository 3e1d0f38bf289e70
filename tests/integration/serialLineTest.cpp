// Transfers over real pseudo-terminals: ozmar-tool on one end, the instrument
// simulator on the other.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "data/byteLayer.h"
#include "data/recordingStore.h"
#include "data/streamWriter.h"
#include "platform/memorySerialDevice.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "support/simulator.h"

using namespace testing_support;

namespace {

// The simulator of these tests.
class Simulator : public testing_support::SimulatorProcess {
public:
    explicit Simulator(const std::string& args) : testing_support::SimulatorProcess(CORVANE_SIM_PATH, args) {}
};

ProcessResult tool(const Simulator& sim, const std::string& args, const std::string& err)
{
    return runCommand("OZMAR_COM1=" + sim.device + " " + std::string(OZMAR_TOOL_PATH) + " " + args, err);
}

std::string readText(const std::string& path)
{
    const auto b = fileBytes(path);
    return std::string(b.begin(), b.end());
}

// The stream the program sends for a data file: its recording written to the
// line (the epoch flags and parameter records stay in files).
std::vector<std::uint8_t> wireStream(const std::string& path)
{
    resetCore();
    readPrimary(path);
    platform::MemorySerialDevice line;
    data::linkState.device = &line;
    data::writeStream(nullptr, nullptr, true);
    data::sendByte(0, true);
    resetCore();
    line.output.pop_back();
    return line.output;
}

// Starts `ozmar-tool receive` on the simulator's line and returns once the
// tool has said that its port is open and Ctrl+C cancels.
pid_t startReceiveWhenReady(const Simulator& sim, const std::string& out, const std::string& err, const std::string& prefix)
{
    std::remove(err.c_str());
    const std::string command =
        prefix + "OZMAR_COM1=" + sim.device + " exec " + std::string(OZMAR_TOOL_PATH) + " receive --port COM1 " + out + " 2>" + err;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (readText(err).find("Ctrl+C cancels") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        ::usleep(2000);
    return pid;
}

class SerialLine : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempDir;
        ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("max.dat") + " --max").status, 0);
        ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("small.dat") + " --seconds 30 --report-text").status, 0);
    }
    static void TearDownTestSuite() { delete dir; }
    static inline TempDir* dir = nullptr;
};

}  // namespace

TEST_F(SerialLine, MaximumRecordingReceivedByteIdentical)
{
    Simulator sim("send " + dir->file("max.dat"));
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = tool(sim, "receive --port COM1 " + dir->file("got.dat"), "/dev/null");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(fileBytes(dir->file("got.dat")), fileBytes(dir->file("max.dat")));
    RecordProperty("receiveSeconds", std::to_string(seconds));
}

TEST_F(SerialLine, MaximumRecordingSentArrivesWithItsCheck)
{
    Simulator sim("receive " + dir->file("sent.dat"));
    EXPECT_EQ(tool(sim, "send --port COM1 " + dir->file("max.dat"), "/dev/null").status, 0);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(fileBytes(dir->file("sent.dat")), wireStream(dir->file("max.dat")));
}

TEST_F(SerialLine, FailuresEndWithTheirMessages)
{
    const std::string err = dir->file("err.txt");
    {
        Simulator sim("send " + dir->file("small.dat") + " --corrupt-crc");
        EXPECT_EQ(tool(sim, "receive --port COM1 " + dir->file("x.dat"), err).status, 4);
        EXPECT_EQ(sim.wait(), 10);  // the program answered 0xF8
        EXPECT_NE(readText(err).find("Receive: Transmission CRC error"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(dir->file("x.dat")));
    }
    {
        Simulator sim("send " + dir->file("small.dat") + " --flip 32");  // the first tag becomes unknown
        EXPECT_EQ(tool(sim, "receive --port COM1 " + dir->file("x.dat"), err).status, 4);
        sim.wait();
        EXPECT_NE(readText(err).find("Receive: Transmission error"), std::string::npos);
    }
    {
        Simulator sim("send " + dir->file("small.dat") + " --cut 5000");  // the instrument goes away mid-stream
        EXPECT_EQ(tool(sim, "receive --port COM1 " + dir->file("x.dat"), err).status, 4);
        sim.wait();
        const std::string text = readText(err);
        EXPECT_TRUE(text.find("Transmission error") != std::string::npos || text.find("Port COM1 is invalid.") != std::string::npos)
            << text;
    }
    {
        Simulator sim("receive " + dir->file("y.dat") + " --cancel-at 3000");
        EXPECT_EQ(tool(sim, "send --port COM1 " + dir->file("small.dat"), err).status, 4);
        sim.wait();
        EXPECT_NE(readText(err).find("Send: Transmission canceled by Corvane"), std::string::npos);
    }
    {
        Simulator sim("receive " + dir->file("y.dat") + " --crc-at 3000");
        EXPECT_EQ(tool(sim, "send --port COM1 " + dir->file("small.dat"), err).status, 4);
        sim.wait();
        EXPECT_NE(readText(err).find("Send: Transmission CRC error"), std::string::npos);
    }
}

TEST_F(SerialLine, XoffPausesTheSenderUntilXon)
{
    Simulator sim("receive " + dir->file("paused.dat") + " --xoff-at 2000 --xon-after 400 --idle 1000");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(tool(sim, "send --port COM1 " + dir->file("small.dat"), "/dev/null").status, 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(fileBytes(dir->file("paused.dat")), wireStream(dir->file("small.dat")));
}

TEST_F(SerialLine, FaultsAtManyPositionsAreNeverAccepted)
{
    const auto size = std::filesystem::file_size(dir->file("small.dat"));
    for (std::size_t at = 40; at < size; at += size / 7) {
        for (const char* fault : {"--flip", "--drop", "--dup"}) {
            Simulator sim("send " + dir->file("small.dat") + " " + fault + " " + std::to_string(at) + " --settle 50");
            EXPECT_EQ(tool(sim, "receive --port COM1 " + dir->file("f.dat"), "/dev/null").status, 4) << fault << " " << at;
            sim.wait();
            EXPECT_FALSE(std::filesystem::exists(dir->file("f.dat"))) << fault << " " << at;
        }
    }
}

TEST_F(SerialLine, CtrlCCancelsAtAnyPointWithTheCancelByte)
{
    // Before the preamble (the simulator still settling), during the stream and
    // in the stall before its end: the simulator says when its stall begins.
    struct Point {
        const char* simulator;
        bool waitForStall;
    };
    for (const Point& p : {Point{"--settle 3000", false}, Point{"--stall 3000 --stall-at 2000 --settle 50", true},
                           Point{"--stall 3000 --settle 50", true}}) {
        Simulator sim("send " + dir->file("small.dat") + " " + p.simulator + " --wait 1000");
        const pid_t pid = startReceiveWhenReady(sim, dir->file("c.dat"), dir->file("c.txt"), "");
        if (p.waitForStall) {
            ASSERT_TRUE(sim.waitForLine("stalling")) << p.simulator;
        }
        ::kill(pid, SIGINT);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << p.simulator;
        EXPECT_EQ(WEXITSTATUS(status), 4) << p.simulator;
        EXPECT_EQ(sim.wait(), 10) << p.simulator;  // the simulator saw 0xF8
        EXPECT_FALSE(std::filesystem::exists(dir->file("c.dat")));
    }
}

TEST_F(SerialLine, EveryExitCodeIsTheOneTheReadmeAndTheHelpDocument)
{
    // The README's table of ozmar-tool's exit codes: "Exit codes: 0 success, 1 usage ...".
    const std::string readme = readText(OZMAR_README);
    const auto table = readme.find("Exit codes: 0 success");
    ASSERT_NE(table, std::string::npos);
    const std::string text = readme.substr(table, readme.find(").", readme.find("4 transfer", table)) - table);
    const std::string help = runCommand(std::string(OZMAR_TOOL_PATH) + " --help").out;
    writeBytes(dir->file("text.dat"), {'n', 'o', 't', ' ', 'a', ' ', 'r', 'e', 'c', 'o', 'r', 'd', 'i', 'n', 'g'});
    struct Case {
        int code;
        const char* readmeWords;  // how the table names it
        const char* helpWords;
        std::function<int()> run;
    };
    const std::string program = OZMAR_TOOL_PATH;
    const Case cases[] = {
        {0, "0 success", "0 success", [&] { return runCommand(program + " dump " + dir->file("small.dat")).status; }},
        {1, "1 usage", "1 usage", [&] { return runCommand(program + " receive").status; }},
        {2, "2 cannot open", "2 cannot open", [&] { return runCommand(program + " dump " + dir->file("none.dat")).status; }},
        {3, "3 not a data file", "3 not a data file", [&] { return runCommand(program + " dump " + dir->file("text.dat")).status; }},
        {4, "4 transfer failed or cancelled (a wrong check value", "4 the transfer failed", [&] {
             Simulator sim("send " + dir->file("small.dat") + " --corrupt-crc");
             const int status = tool(sim, "receive --port COM1 " + dir->file("crc.dat"), "/dev/null").status;
             sim.wait();
             return status;
         }},
    };
    for (const Case& c : cases) {
        EXPECT_NE(text.find(c.readmeWords), std::string::npos) << c.code;
        EXPECT_NE(help.find(c.helpWords), std::string::npos) << c.code;
        EXPECT_EQ(c.run(), c.code) << c.readmeWords;
    }
}

TEST_F(SerialLine, ASecondProgramOnAPortInUseIsRefusedEvenAsRoot)
{
    Simulator sim("send " + dir->file("small.dat") + " --settle 3000 --wait 1000");
    const pid_t first = startReceiveWhenReady(sim, dir->file("first.dat"), dir->file("first.txt"), "");
    const std::string err = dir->file("second.txt");
    EXPECT_EQ(tool(sim, "receive --port COM1 " + dir->file("second.dat"), err).status, 2);
    EXPECT_NE(readText(err).find("Another program is using it."), std::string::npos) << readText(err);
    ::kill(first, SIGINT);
    int status = 0;
    ::waitpid(first, &status, 0);
    sim.wait();
    EXPECT_FALSE(std::filesystem::exists(dir->file("second.dat")));
}

TEST_F(SerialLine, SendNameWithAnEmptyName)
{
    Simulator sim("receive " + dir->file("name.dat"));
    EXPECT_EQ(tool(sim, "send-name --port COM1 \"\"", "/dev/null").status, 0);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(fileBytes(dir->file("name.dat")), (std::vector<std::uint8_t>{32, 1, 0}));
}

TEST_F(SerialLine, PortThatCannotBeOpenedIsNamed)
{
    const std::string err = dir->file("port.txt");
    const ProcessResult r = runCommand("OZMAR_COM5=" + dir->file("no-such-device") + " " + std::string(OZMAR_TOOL_PATH) +
                                       " receive --port COM5 " + dir->file("p.dat"), err);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(readText(err).find("Cannot open COM5 (" + dir->file("no-such-device") + ")"), std::string::npos);
}

TEST_F(SerialLine, AReaderSlowerThanTheProgramStillGetsTheWholeStream)
{
    // The program's last bytes are still on their way when it is done writing:
    // it must wait for them to leave before the port is set up again.
    Simulator sim("receive " + dir->file("paced.dat") + " --pace 256");
    EXPECT_EQ(tool(sim, "send --port COM1 " + dir->file("small.dat"), "/dev/null").status, 0);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(fileBytes(dir->file("paced.dat")), wireStream(dir->file("small.dat")));
}

TEST_F(SerialLine, OnlyATerminalIsTakenAsThePort)
{
    writeBytes(dir->file("plain"), {1, 2, 3});
    const std::string err = dir->file("plainErr.txt");
    for (const std::string& device : {dir->file("plain"), std::string("/dev/null")}) {
        for (const std::string& args : {std::string("send-name --port COM1 Name"), "receive --port COM1 " + dir->file("r.dat"),
                                        "send --port COM1 " + dir->file("small.dat")}) {
            const ProcessResult r = runCommand("OZMAR_COM1=" + device + " timeout 10 " + std::string(OZMAR_TOOL_PATH) + " " + args, err);
            EXPECT_EQ(r.status, 2) << device << " " << args;
            EXPECT_NE(readText(err).find("It is not a serial line"), std::string::npos) << readText(err);
        }
    }
    EXPECT_EQ(fileBytes(dir->file("plain")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST_F(SerialLine, ReceiveChecksItsOutputFolderBeforeAnyByte)
{
    const std::string err = dir->file("folderErr.txt");
    const ProcessResult r = runCommand("OZMAR_COM1=/nonexistent/serial " + std::string(OZMAR_TOOL_PATH) + " receive --port COM1 " +
                                           dir->file("missing/r.dat"),
                                       err);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(readText(err).find("does not exist"), std::string::npos) << readText(err);
}

TEST_F(SerialLine, ReceiveWithATimeoutGivesUpWhenNoRecordingBeginsInTime)
{
    const std::string err = dir->file("timeoutErr.txt");
    {
        // The instrument stays silent for 4 s after the tool has the line.
        Simulator silent("send " + dir->file("small.dat") + " --settle 4000");
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult r = tool(silent, "receive --port COM1 --timeout 1 " + dir->file("late.dat"), err);
        EXPECT_EQ(r.status, 4);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        EXPECT_NE(readText(err).find("no recording began within 1 second\n"), std::string::npos) << readText(err);
        EXPECT_FALSE(std::filesystem::exists(dir->file("late.dat")));
    }
    // One that begins in time is received as without the option.
    Simulator sim("send " + dir->file("small.dat") + " --settle 1500");
    EXPECT_EQ(tool(sim, "receive --port COM1 --timeout 30 " + dir->file("inTime.dat"), err).status, 0);
    EXPECT_EQ(fileBytes(dir->file("inTime.dat")), fileBytes(dir->file("small.dat")));
    for (const char* args : {"receive --port COM1 --timeout 0 x.dat", "receive --port COM1 --timeout x x.dat",
                             "send --port COM1 --timeout 5 x.dat"})
        EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " " + args).status, 1) << args;
}

TEST_F(SerialLine, AGoodReceptionWhoseSaveFailsIsKeptInARecoveryFile)
{
    if (runCommand("command -v strace").status != 0)
        GTEST_SKIP() << "strace is not installed";
    TempDir out;
    Simulator sim("send " + dir->file("small.dat"));
    const std::string err = out.file("err.txt");
    // The first rename (the save's) fails as on a full disk; the recovery file's works.
    const ProcessResult r = runCommand("OZMAR_COM1=" + sim.device + " ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e inject=rename:error=ENOSPC:when=1 " +
                                           std::string(OZMAR_TOOL_PATH) + " receive --port COM1 " + out.file("r.dat"),
                                       err);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(std::filesystem::exists(out.file("r.dat")));
    std::string recovered;
    for (const auto& e : std::filesystem::directory_iterator(out.path()))
        if (e.path().filename().string().rfind("r-recovered-", 0) == 0)
            recovered = e.path().string();
    ASSERT_FALSE(recovered.empty()) << readText(err);
    EXPECT_NE(readText(err).find(recovered), std::string::npos);
    EXPECT_EQ(fileBytes(recovered), fileBytes(dir->file("small.dat")));
}

TEST_F(SerialLine, SigtermCancelsLikeCtrlCAndAnIgnoredSigintStaysIgnored)
{
    for (const char* how : {"TERM", "INT-ignored"}) {
        const bool ignored = std::string(how) == "INT-ignored";
        Simulator sim("send " + dir->file("small.dat") + " --stall 1500 --settle 50 --wait 1000");
        const pid_t pid = startReceiveWhenReady(sim, dir->file("s.dat"), dir->file("sig.txt"), ignored ? "trap '' INT; " : "");
        ::kill(pid, ignored ? SIGINT : SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << how;
        if (ignored) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << how;
            EXPECT_EQ(sim.wait(), 0) << how;
            EXPECT_EQ(fileBytes(dir->file("s.dat")), fileBytes(dir->file("small.dat")));
            std::remove(dir->file("s.dat").c_str());
        } else {
            EXPECT_EQ(WEXITSTATUS(status), 4) << how;
            EXPECT_EQ(sim.wait(), 10) << how;  // the simulator saw 0xF8
            EXPECT_FALSE(std::filesystem::exists(dir->file("s.dat")));
        }
    }
}

TEST_F(SerialLine, SendNameSendsWindows1252)
{
    {
        Simulator sim("receive " + dir->file("zname.dat"));
        EXPECT_EQ(runCommand("LC_ALL=C.UTF-8 OZMAR_COM1=" + sim.device + " " + std::string(OZMAR_TOOL_PATH) +
                             " send-name --port COM1 'Zürich €'")
                      .status,
                  0);
        EXPECT_EQ(sim.wait(), 0);
        EXPECT_EQ(fileBytes(dir->file("zname.dat")),
                  (std::vector<std::uint8_t>{32, 8, 'Z', 0xFC, 'r', 'i', 'c', 'h', ' ', 0x80}));
    }
    // A character the instrument's code page lacks is refused before the port is touched.
    const std::string err = dir->file("nameErr.txt");
    const ProcessResult r = runCommand("LC_ALL=C.UTF-8 OZMAR_COM1=/nonexistent " + std::string(OZMAR_TOOL_PATH) +
                                           " send-name --port COM1 'Ωmega'",
                                       err);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(readText(err).find("Windows-1252"), std::string::npos) << readText(err);
}
