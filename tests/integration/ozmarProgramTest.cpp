#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
