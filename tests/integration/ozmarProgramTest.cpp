#include <gtest/gtest.h>

#include <filesystem>
#include <vector>
#include <string>

#include "data/recordingStore.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"

using namespace testing_support;

namespace {

ProcessResult runOzmar(const std::string& args, const std::string& errFile = "/dev/null")
{
    return runCommand(std::string(OZMAR_PATH) + " " + args, errFile);
}

}  // namespace

TEST(OzmarProgram, HelpAndVersion)
{
    const ProcessResult help = runOzmar("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("/summary"), std::string::npos);
    const ProcessResult version = runOzmar("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Ozmar 6.81\n");
}

TEST(OzmarProgram, CommandLineExitCodes)
{
    TempDir dir;
    EXPECT_EQ(runOzmar("/sm").status, 2);
    EXPECT_EQ(runOzmar("/SM /rall").status, 2);
    EXPECT_EQ(runOzmar("/gi " + dir.file("rec.dat")).status, 4);
    EXPECT_EQ(runOzmar("/ri " + dir.file("rec.dat") + " " + dir.file("no-such-folder")).status, 4);
    EXPECT_EQ(runOzmar("/au " + dir.file("no-such-folder")).status, 4);
}

TEST(OzmarProgram, SummaryExitCodes)
{
    TempDir dir;
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 20").status, 0);
    writeBytes(dir.file("foreign.dat"), {'P', 'K', 3, 4});
    EXPECT_EQ(runOzmar("/summary " + dir.file("missing.dat") + " " + dir.file("out.txt")).status, 2);
    EXPECT_EQ(runOzmar("/summary " + dir.file("foreign.dat") + " " + dir.file("out.txt")).status, 3);
    EXPECT_EQ(runOzmar("/summary " + dir.file("rec.dat") + " " + dir.file("no-folder/out.txt")).status, 4);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt")));
    // A file-size limit makes every write past 1 KiB fail: the summary ends with 5 and leaves nothing.
    const ProcessResult limited = runCommand("sh -c 'trap \"\" XFSZ; ulimit -f 1; exec " + std::string(OZMAR_PATH) +
                                             " /summary /rall " + dir.file("rec.dat") + " " + dir.file("big.txt") + "'");
    EXPECT_EQ(limited.status, 5);
    EXPECT_FALSE(std::filesystem::exists(dir.file("big.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 2);
    EXPECT_EQ(runOzmar("/summary " + dir.file("rec.dat") + " " + dir.file("ok.csv")).status, 0);
    EXPECT_EQ(fileBytes(dir.file("ok.csv")).front(), '"');
}

TEST(OzmarProgram, SummaryWithoutOutputWritesTheDataFileNameInTheCurrentFolder)
{
    TempDir dir;
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 10").status, 0);
    std::filesystem::create_directory(dir.file("here"));
    const ProcessResult r = runCommand("cd " + dir.file("here") + " && " + std::string(OZMAR_PATH) + " /sm " + dir.file("rec.dat"));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("here/rec.txt")));
}

TEST(OzmarProgram, ADashArgumentIsAMistypedOptionNotAFile)
{
    TempDir dir;
    const std::string err = dir.file("err.txt");
    for (const char* args : {"-x", "--summary data.dat", "/summary -rall data.dat"}) {
        EXPECT_EQ(runOzmar(args, err).status, 1) << args;
        const auto bytes = fileBytes(err);
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_NE(text.find("unknown option"), std::string::npos) << args;
        EXPECT_NE(text.find("--help"), std::string::npos) << args;
    }
}

namespace {

// The colour of every pixel of column x of a PNG, read by ImageMagick.
std::vector<std::string> columnColours(const std::string& png, int x, int height)
{
    const ProcessResult r = runCommand("convert " + png + " -crop 1x" + std::to_string(height) + "+" + std::to_string(x) +
                                       "+0 -depth 8 txt:-");
    std::vector<std::string> colours;
    std::size_t at = 0;
    for (std::size_t end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = r.out.substr(at, end - at);
        const std::size_t hash = line.find('#');
        if (line.rfind("0,", 0) == 0 && hash != std::string::npos)
            colours.push_back(line.substr(hash, 7));
    }
    return colours;
}

std::string identify(const std::string& file)
{
    return runCommand("identify -format '%m %wx%h' " + file).out;
}

}  // namespace

TEST(OzmarProgram, UnattendedImageSeries)
{
    if (runCommand("command -v identify").status != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
#ifndef OZMAR_HAS_DESKTOP
    GTEST_SKIP() << "this build of ozmar has no drawing (built without Qt)";
#endif
    TempDir dir;
    resetCore();
    fillPrimary({0, 1000, 3, false, 5});
    data::Recording& rec = data::recordings.primary;
    for (int ch = 0; ch < 4; ++ch)  // flat traces, so each strip shows one row of trace
        for (std::uint32_t i = 0; i < rec.rawChannels[static_cast<std::size_t>(ch)].count; ++i)
            rec.rawChannels[static_cast<std::size_t>(ch)].samples[i] = 0;
    writePrimary(dir.file("run.dat"));
    resetCore();
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    // Each mode ends by itself (a watchdog would catch a wait for a person).
    EXPECT_EQ(runCommand("timeout 60 " + std::string(OZMAR_PATH) + " /graphimages " + dir.file("run.dat") + " " + out).status, 0);
    EXPECT_EQ(identify(out + "/run-g001.png"), "PNG 640x480");
    EXPECT_EQ(identify(out + "/run-g002.png"), "PNG 640x480");
    EXPECT_FALSE(std::filesystem::exists(out + "/run-g003.png"));
    // Four flat traces: four cyan rows in a column of the plot, one per strip, top to bottom.
    const auto colours = columnColours(out + "/run-g001.png", 320, 480);
    std::vector<int> rows;
    for (int y = 0; y < static_cast<int>(colours.size()); ++y)
        if (colours[static_cast<std::size_t>(y)] == "#00FFFF")
            rows.push_back(y);
    ASSERT_EQ(rows.size(), 4u);
    const int step = rows[1] - rows[0];
    EXPECT_GT(step, 60);
    EXPECT_NEAR(rows[2] - rows[1], step, 2);
    EXPECT_NEAR(rows[3] - rows[2], step, 2);

    EXPECT_EQ(runCommand("timeout 60 " + std::string(OZMAR_PATH) + " /fftimages " + dir.file("run.dat") + " " + out).status, 0);
    EXPECT_EQ(identify(out + "/run-f001.png"), "PNG 480x480");
    EXPECT_TRUE(std::filesystem::exists(out + "/run-f003.png"));
    EXPECT_FALSE(std::filesystem::exists(out + "/run-f004.png"));
    EXPECT_EQ(runCommand("timeout 60 " + std::string(OZMAR_PATH) + " /reportimages " + dir.file("run.dat") + " " + out).status, 0);
    EXPECT_EQ(identify(out + "/run-r001.png").substr(0, 4), "PNG ");

    // A missing folder, a file that is no data file, a recording with nothing to draw.
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /graphimages " + dir.file("run.dat") + " " + dir.file("no")).status, 4);
    writeBytes(dir.file("bad.dat"), {'h', 'i'});
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /graphimages " + dir.file("bad.dat") + " " + out).status, 3);
    resetCore();
    fillPrimary({0, 0, 3, false, 5});
    writePrimary(dir.file("empty.dat"));
    resetCore();
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /graphimages " + dir.file("empty.dat") + " " + out).status, 7);
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /reportimages " + dir.file("empty.dat") + " " + out).status, 7);
    // /summary ends by itself too, whatever the file or folder.
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /summary " + dir.file("run.dat") + " " + out + "/s.txt").status, 0);
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /summary " + dir.file("bad.dat") + " " + out + "/b.txt").status, 3);
    EXPECT_EQ(runCommand("timeout 20 " + std::string(OZMAR_PATH) + " /summary " + dir.file("run.dat") + " " + dir.file("no/x.txt")).status, 4);
    std::filesystem::remove(out + "/s.txt");
    // No temporary file is left behind.
    for (const auto& e : std::filesystem::directory_iterator(out))
        EXPECT_EQ(e.path().extension(), ".png") << e.path();
}
