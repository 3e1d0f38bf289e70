// Live sessions over real pseudo-terminals: the instrument simulator plays the
// session, ozmar-tool monitor captures it with the program's reader.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/liveDecoder.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "support/simulator.h"

using namespace testing_support;

namespace {

class Simulator : public SimulatorProcess {
public:
    explicit Simulator(const std::string& args) : SimulatorProcess(CORVANE_SIM_PATH, args) {}
};

ProcessResult monitorTool(const Simulator& sim, const std::string& args, const std::string& err = "/dev/null")
{
    return runCommand("OZMAR_COM1=" + sim.device + " " + std::string(OZMAR_TOOL_PATH) + " monitor --port COM1 " + args, err);
}

// The four channels of a data file, frame by frame (as the line carries them when `onTheLine`).
std::vector<std::array<std::int16_t, 4>> framesOf(const std::string& path, bool onTheLine = false)
{
    resetCore();
    readPrimary(path);
    const data::Recording& rec = data::recordings.primary;
    std::vector<std::array<std::int16_t, 4>> frames(rec.rawChannels[0].count);
    for (std::uint32_t i = 0; i < frames.size(); ++i)
        for (int c = 0; c < 4; ++c)
            frames[i][static_cast<std::size_t>(c)] = static_cast<std::int16_t>(
                onTheLine ? monitor::nearestLineValue(data::channelSampleAt(rec, c, i)) : data::channelSampleAt(rec, c, i));
    return frames;
}

// Whether every frame of `got` is a frame of `sent` (as the line carries it), in order.
bool framesInOrder(const std::vector<std::array<std::int16_t, 4>>& got, const std::vector<std::array<std::int16_t, 4>>& sent)
{
    std::size_t k = 0;
    for (const auto& f : got) {
        while (k < sent.size() && sent[k] != f)
            ++k;
        if (k++ >= sent.size()) {
            ADD_FAILURE() << "frame " << (&f - got.data()) << " was never sent: " << f[0] << " " << f[1] << " " << f[2] << " " << f[3];
            return false;
        }
    }
    return true;
}

// ozmar-tool in the background, so that a test can act while it runs and
// signal it; its standard error goes to `err`.
class ToolProcess {
public:
    ToolProcess(const std::string& environment, const std::string& args, std::string err) : err_(std::move(err))
    {
        const std::string command = environment + " exec " + std::string(OZMAR_TOOL_PATH) + " " + args + " 2>" + err_;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~ToolProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            exitCode();
        }
    }
    // Waits for its end: the exit code, or -1 when it did not exit normally.
    int exitCode()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void signal(int number) const { ::kill(pid_, number); }
    std::string said() const
    {
        const std::vector<std::uint8_t> bytes = fileBytes(err_);
        return std::string(bytes.begin(), bytes.end());
    }
    // Waits until its standard error holds `text`; false after 20 s.
    bool waitToSay(const std::string& text) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (said().find(text) == std::string::npos)
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            else
                ::usleep(2000);
        return true;
    }

private:
    std::string err_;
    pid_t pid_ = -1;
};

class LiveMonitor : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempDir;
        ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("src.dat") + " --seconds 20").status, 0);
        // The source as the line carries it: captured once over a clean line.
        Simulator sim("monitor " + dir->file("src.dat") + " --seconds 8 --speed 8 --end");
        ASSERT_EQ(monitorTool(sim, dir->file("clean.mon")).status, 0);
    }
    static void TearDownTestSuite() { delete dir; }
    static inline TempDir* dir = nullptr;
};

}  // namespace

TEST_F(LiveMonitor, EndPacketEndsTheCaptureWithTheSamplesSent)
{
    const auto got = framesOf(dir->file("clean.mon"));
    const data::Recording& rec = data::recordings.primary;
    EXPECT_EQ(rec.contentFlags() & 0x3C, 0x3C);
    EXPECT_EQ(rec.deviceName, "Corvane");
    EXPECT_EQ(rec.epochCount(0), got.size() / 256);
    // Sample for sample what was sent, less the 8 frames (32 samples) the
    // settling counter drops at the start and after each disturbance (on a
    // clean line only an empty read, when the line was slow, is one).
    const auto sent = framesOf(dir->file("src.dat"), true);
    std::size_t k = 0, dropped = 0;
    for (const auto& f : got) {
        const std::size_t from = k;
        while (k < sent.size() && sent[k] != f)
            ++k;
        ASSERT_LT(k, sent.size()) << "a frame that was never sent";
        ASSERT_EQ((k - from) % 8, 0u) << "a gap of " << (k - from) << " frames before frame " << k;
        dropped += k - from;
        ++k;
    }
    EXPECT_GE(dropped, 8u);
    EXPECT_EQ(got.size() + dropped, 8u * 200u);
}

TEST_F(LiveMonitor, StatusPacketsArriveAndATreatmentStartTrims)
{
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 12 --speed 8 --treatment-at 3 --end");
    ASSERT_EQ(monitorTool(sim, dir->file("treated.mon")).status, 0);
    readPrimary(dir->file("src.dat"));
    const auto calibration = data::recordings.primary.calibrationFactors;
    const auto got = framesOf(dir->file("treated.mon"));
    const data::Recording& rec = data::recordings.primary;
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(rec.calibrationFactors[static_cast<std::size_t>(c)], calibration[static_cast<std::size_t>(c)]) << c;
    EXPECT_EQ(rec.deviceName, "Corvane");
    EXPECT_EQ(rec.reportTitle, "Treatment report");
    EXPECT_NE(rec.reportText.find("Stimulus delivered."), std::string::npos);
    EXPECT_EQ(rec.header[data::hw::baselineAvailable], 1);
    EXPECT_TRUE(rec.contentFlags() & data::content::report);
    // 600 frames came before the treatment start, 8 of them settling: 592, trimmed to 512.
    // 1800 came after it; on a loaded machine a slow read now and then drops 8 more
    // while the line settles again (see above), so a few such drops are allowed.
    ASSERT_GE(got.size(), 512u);
    const std::size_t after = got.size() - 512u;
    EXPECT_LE(after, 1800u);
    EXPECT_EQ((1800u - after) % 8u, 0u);
    EXPECT_GE(after, 1800u - 8u * 8u);
    EXPECT_EQ(rec.marker57, 2);
    // The condition flags after it mark epochs from the treatment's epoch (2) on.
    int marked = 0;
    for (std::uint32_t e = 2; e < got.size() / 256; ++e)
        marked += rec.conditionData[0][data::epochIndex(rec, e)] != 0;
    EXPECT_GE(marked, 1);
    EXPECT_EQ(rec.conditionData[0][data::epochIndex(rec, 0)], 0);
}

TEST_F(LiveMonitor, LineFaultsNeverCorruptAFrame)
{
    const auto clean = framesOf(dir->file("clean.mon"));
    const auto sent = framesOf(dir->file("src.dat"), true);
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 8 --speed 8 --end --noise 53 --drop 97 --swap 131 --short 71");
    ASSERT_EQ(monitorTool(sim, dir->file("faulty.mon")).status, 0);
    const auto got = framesOf(dir->file("faulty.mon"));
    const data::Recording& rec = data::recordings.primary;
    for (const data::SampleRing& ring : rec.rawChannels)
        EXPECT_EQ(ring.count, rec.rawChannels[0].count);
    EXPECT_GT(got.size(), clean.size() / 2);
    EXPECT_TRUE(framesInOrder(got, sent));
}

TEST_F(LiveMonitor, SecondsLimitAndAVanishingLine)
{
    {
        Simulator sim("monitor " + dir->file("src.dat") + " --seconds 4");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(monitorTool(sim, "--seconds 2 " + dir->file("two.mon")).status, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
        const auto got = framesOf(dir->file("two.mon"));
        EXPECT_GT(got.size(), 200u);
        EXPECT_LE(got.size(), 600u);
    }
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 20 --speed 4 --vanish-at 6");
    EXPECT_EQ(monitorTool(sim, dir->file("gone.mon"), dir->file("gone.err")).status, 4);
    const auto err = fileBytes(dir->file("gone.err"));
    EXPECT_NE(std::string(err.begin(), err.end()).find("The instrument stopped answering (COM1)"), std::string::npos);
    // What arrived before the line went is kept.
    EXPECT_GT(framesOf(dir->file("gone.mon")).size(), 4u * 200u);
}

TEST_F(LiveMonitor, AutoUploadFilesEveryRecordingAndMonitorsBetween)
{
    std::filesystem::create_directory(dir->file("up"));
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("second.dat") + " --seconds 30 --channels 4").status, 0);
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 3 --speed 4 --upload " + dir->file("src.dat") + " --upload " +
                  dir->file("second.dat"));
    const ProcessResult r = monitorTool(sim, "--auto-upload " + dir->file("up"));
    EXPECT_EQ(r.status, 4);  // it ended when the instrument went away
    std::vector<std::string> dat, mon;
    for (const auto& e : std::filesystem::directory_iterator(dir->file("up")))
        (e.path().extension() == ".dat" ? dat : mon).push_back(e.path().string());
    std::sort(dat.begin(), dat.end());
    ASSERT_EQ(dat.size(), 2u);
    // Under their automatic names, in the order they came, byte for byte.
    EXPECT_EQ(fileBytes(dat[0]), fileBytes(dir->file("src.dat")));
    EXPECT_EQ(fileBytes(dat[1]), fileBytes(dir->file("second.dat")));
    for (const std::string& path : dat)
        EXPECT_TRUE(std::regex_match(std::filesystem::path(path).filename().string(), std::regex("[0-9]{8}_[0-9]{4}\\.dat")))
            << path;
    // The EEG monitored before each one was filed too.
    EXPECT_EQ(mon.size(), 2u);
}

TEST_F(LiveMonitor, AutoUploadIntoAFolderRemovedMeanwhileKeepsTheRecordingAndTheEeg)
{
    TempDir work;
    const std::string folder = work.file("up"), temporary = work.file("tmp"), err = work.file("err.txt");
    std::filesystem::create_directory(folder);
    std::filesystem::create_directory(temporary);
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 3 --speed 4 --settle 1500 --upload " + dir->file("src.dat"));
    // The tool checks its folder, says so, and only then is the folder taken away.
    ToolProcess tool("TMPDIR=" + temporary + " OZMAR_COM1=" + sim.device, "monitor --port COM1 --auto-upload " + folder, err);
    ASSERT_TRUE(tool.waitToSay("Ctrl+C ends"));
    std::filesystem::remove_all(folder);
    EXPECT_EQ(tool.exitCode(), 4);  // it ended when the instrument went away
    EXPECT_TRUE(sim.waitForLine("answered F8"));  // the upload was refused
    const std::string text = tool.said();
    std::vector<std::string> dat, mon;
    for (const auto& e : std::filesystem::directory_iterator(temporary))
        (e.path().extension() == ".dat" ? dat : mon).push_back(e.path().string());
    ASSERT_EQ(dat.size(), 1u) << text;
    ASSERT_EQ(mon.size(), 1u) << text;
    EXPECT_EQ(fileBytes(dat[0]), fileBytes(dir->file("src.dat")));
    EXPECT_NE(text.find("it was saved as " + dat[0]), std::string::npos) << text;
    EXPECT_NE(text.find("it was saved as " + mon[0]), std::string::npos) << text;
    EXPECT_GT(framesOf(mon[0]).size(), 200u);
}

TEST_F(LiveMonitor, AutoUploadFilesTheRecordingAKilledFilingLeftUnderATemporaryName)
{
    TempDir work;
    const std::string folder = work.file("up");
    std::filesystem::create_directory(folder);
    writeBytes(folder + "/.12082601.dat.3749cebf.tmp", fileBytes(dir->file("src.dat")));
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 1 --speed 4");
    const ProcessResult r = monitorTool(sim, "--auto-upload " + folder, work.file("err.txt"));
    EXPECT_EQ(r.status, 4);  // it ended when the instrument went away
    const std::vector<std::uint8_t> err = fileBytes(work.file("err.txt"));
    const std::string text(err.begin(), err.end());
    std::vector<std::string> dat;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".dat")
            dat.push_back(e.path().string());
    ASSERT_EQ(dat.size(), 1u) << text;
    EXPECT_EQ(fileBytes(dat[0]), fileBytes(dir->file("src.dat")));
    EXPECT_FALSE(std::filesystem::exists(folder + "/.12082601.dat.3749cebf.tmp"));
    EXPECT_NE(text.find("(" + folder + "/.12082601.dat.3749cebf.tmp) was filed as " + dat[0]), std::string::npos) << text;
}

// A 1 MB file system of its own, for a disk that fills up or turns read-only
// while auto-upload runs; unmounted at the end. Needs the right to mount.
class SmallDisk {
public:
    explicit SmallDisk(std::string path) : path_(std::move(path))
    {
        std::filesystem::create_directory(path_);
        mounted_ = std::system(("mount -t tmpfs -o size=1m tmpfs " + path_ + " 2>/dev/null").c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            (void)std::system(("umount " + path_).c_str());
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() const { return std::system(("mount -o remount,ro " + path_).c_str()) == 0; }

private:
    std::string path_;
    bool mounted_ = false;
};

TEST_F(LiveMonitor, AutoUploadOntoAFullOrReadOnlyDiskKeepsTheRecordingAndTheEegAndRefusesTheUpload)
{
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir->file("max.dat") + " --max").status, 0);
    ASSERT_GT(std::filesystem::file_size(dir->file("max.dat")), 1u << 20);  // more than the disk holds
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "full");
        TempDir work;
        const SmallDisk disk(work.file("up"));
        if (!disk.mounted())
            GTEST_SKIP() << "no right to mount a file system here";
        std::filesystem::create_directory(work.file("tmp"));
        Simulator sim("monitor " + dir->file("src.dat") + " --seconds 3 --speed 4 --settle 1500 --upload " + dir->file("max.dat"));
        ToolProcess tool("TMPDIR=" + work.file("tmp") + " OZMAR_COM1=" + sim.device, "monitor --port COM1 --auto-upload " + work.file("up"),
                         work.file("err.txt"));
        ASSERT_TRUE(tool.waitToSay("Ctrl+C ends"));
        if (readOnly)
            ASSERT_TRUE(disk.makeReadOnly());
        EXPECT_EQ(tool.exitCode(), 4);  // it ended when the instrument went away
        EXPECT_TRUE(sim.waitForLine("answered F8"));
        const std::string text = tool.said();
        std::vector<std::string> kept;
        for (const char* folder : {"up", "tmp"})
            for (const auto& e : std::filesystem::directory_iterator(work.file(folder)))
                kept.push_back(e.path().string());
        std::sort(kept.begin(), kept.end());
        const auto dat = std::find_if(kept.begin(), kept.end(), [](const std::string& p) { return p.size() > 4 && p.substr(p.size() - 4) == ".dat"; });
        ASSERT_NE(dat, kept.end()) << text;
        EXPECT_EQ(fileBytes(*dat), fileBytes(dir->file("max.dat")));
        EXPECT_NE(text.find("it was saved as " + *dat), std::string::npos) << text;
        EXPECT_EQ(std::count_if(kept.begin(), kept.end(), [](const std::string& p) { return p.substr(p.size() - 4) == ".mon"; }), 1) << text;
    }
}

TEST_F(LiveMonitor, CtrlCDuringASlowUploadCancelsItAtOnceAndKeepsTheEegBefore)
{
    TempDir work;
    const std::string folder = work.file("up");
    std::filesystem::create_directory(folder);
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + work.file("long.dat") + " --seconds 300 --channels 4").status, 0);
    // About 36 s of upload at 20 KB/s; "uploading" comes after its first second.
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 3 --speed 4 --upload " + work.file("long.dat") +
                  " --upload-rate 20000");
    ToolProcess tool("OZMAR_COM1=" + sim.device, "monitor --port COM1 --auto-upload " + folder, work.file("err.txt"));
    ASSERT_TRUE(sim.waitForLine("uploading"));
    const auto start = std::chrono::steady_clock::now();
    tool.signal(SIGINT);
    EXPECT_EQ(tool.exitCode(), 4);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(sim.waitForLine("answered F8"));
    EXPECT_NE(tool.said().find("the upload was cancelled; nothing of it was filed"), std::string::npos) << tool.said();
    // Only the EEG monitored before the upload is in the folder; no partial or hidden file.
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(std::filesystem::path(names[0]).extension(), ".mon");
}

#ifdef OZMAR_HAS_DESKTOP
TEST_F(LiveMonitor, DesktopAutoUploadFromAFolderWithoutAConfigurationFile)
{
    // A first run: the start folder holds nothing, no configuration file.
    TempDir start;
    std::filesystem::create_directory(start.file("up"));
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 3 --speed 4 --upload " + dir->file("src.dat"));
    const ProcessResult r = runCommand("cd " + start.path().string() + " && QT_QPA_PLATFORM=offscreen OZMAR_COM1=" + sim.device +
                                       " timeout 120 " + std::string(OZMAR_PATH) + " /autoupload " + start.file("up") + " /autoclose");
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> dat, mon;
    for (const auto& e : std::filesystem::directory_iterator(start.file("up")))
        (e.path().extension() == ".dat" ? dat : mon).push_back(e.path().string());
    ASSERT_EQ(dat.size(), 1u);
    EXPECT_EQ(fileBytes(dat[0]), fileBytes(dir->file("src.dat")));
    EXPECT_EQ(mon.size(), 1u);
}
#endif

TEST_F(LiveMonitor, ATimeoutEndsASessionThatHearsNothingButNotOneThatHears)
{
    TempDir work;
    {
        // The instrument stays silent for 4 s after the tool has the line.
        Simulator silent("monitor " + dir->file("src.dat") + " --seconds 1 --speed 4 --end --settle 4000");
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult r = monitorTool(silent, "--timeout 1 " + work.file("none.mon"), work.file("err.txt"));
        EXPECT_EQ(r.status, 4);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        const std::vector<std::uint8_t> err = fileBytes(work.file("err.txt"));
        EXPECT_NE(std::string(err.begin(), err.end()).find("nothing came from the instrument within 1 second\n"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(work.file("none.mon")));
    }
    {
        std::filesystem::create_directory(work.file("up"));
        Simulator silent("monitor " + dir->file("src.dat") + " --seconds 1 --speed 4 --settle 4000");
        EXPECT_EQ(monitorTool(silent, "--timeout 1 --auto-upload " + work.file("up")).status, 4);
    }
    // A session that hears the instrument in time runs to its end.
    Simulator sim("monitor " + dir->file("src.dat") + " --seconds 3 --speed 4 --end");
    EXPECT_EQ(monitorTool(sim, "--timeout 2 " + work.file("heard.mon")).status, 0);
    EXPECT_GT(framesOf(work.file("heard.mon")).size(), 200u);
}

TEST_F(LiveMonitor, UsageAndUnwritableOutput)
{
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " monitor out.mon").status, 1);
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " monitor --port COM1 --seconds x out.mon").status, 1);
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " monitor --port COM1 --timeout -3 out.mon").status, 1);
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " monitor --port COM1 /no/such/folder/out.mon").status, 2);
}
