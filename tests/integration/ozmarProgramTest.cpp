#include <gtest/gtest.h>

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
