#include <gtest/gtest.h>

#include "app/commandLine.h"
#include "state/portTable.h"
#include "state/startupState.h"
#include "support/sampleRecording.h"

using namespace app;
using namespace state;

namespace {

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { startup.reset(); }
    void TearDown() override { startup.reset(); }
    void parse(const std::string& line) { parseCommandLine(splitCommandLine(line)); }
    testing_support::TempDir dir;
};

}  // namespace

TEST(CommandLineSplit, SeparatorsQuotesAndEmptyArguments)
{
    EXPECT_EQ(splitCommandLine(" a\tb\r\nc  "), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(splitCommandLine("\"C:\\My Files\\x.dat\" /sm"), (std::vector<std::string>{"C:\\My Files\\x.dat", "/sm"}));
    EXPECT_EQ(splitCommandLine("a \"\" b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitCommandLine("ab\"c d\"e"), (std::vector<std::string>{"abc de"}));
    EXPECT_EQ(splitCommandLine("\"unbalanced rest"), (std::vector<std::string>{"unbalanced rest"}));
    EXPECT_TRUE(splitCommandLine("").empty());
}

TEST_F(CommandLine, NoSerialThenAutoUploadTakesTheFolderAsDataFile)
{
    parse("/ns /au " + dir.path().string());
    EXPECT_FALSE(startup.autoUpload);
    EXPECT_EQ(startup.dataFilePath, dir.path().string());
    EXPECT_FALSE(startup.quitRequested);
}

TEST_F(CommandLine, AutoUploadThenNoSerialEndsWithAutoUploadOff)
{
    parse("/au " + dir.path().string() + " /ns");
    EXPECT_FALSE(startup.autoUpload);
    EXPECT_TRUE(startup.noSerial);
    EXPECT_EQ(startup.uploadDir, std::filesystem::canonical(dir.path()).string());
}

TEST_F(CommandLine, UnattendedModesNeedTheirPaths)
{
    parse("/sm");
    EXPECT_TRUE(startup.quitRequested);
    EXPECT_EQ(startup.exitCode, 2);
    startup.reset();
    parse("/gi " + dir.file("rec.dat"));
    EXPECT_EQ(startup.exitCode, 4);
    EXPECT_TRUE(startup.hidden);
    startup.reset();
    parse("/gi " + dir.file("rec.dat") + " " + dir.file("missing-folder"));
    EXPECT_EQ(startup.exitCode, 4);
    startup.reset();
    parse("/FI " + dir.file("rec.dat") + " " + dir.path().string());
    EXPECT_FALSE(startup.quitRequested);
    EXPECT_TRUE(startup.fftImages);
    EXPECT_FALSE(startup.graphImages);
}

TEST_F(CommandLine, SummaryTakesDataFileThenOutput)
{
    parse("/Summary /RALL /rNoInfo " + dir.file("in.dat") + " " + dir.file("out.csv"));
    EXPECT_TRUE(startup.summary && startup.hidden && startup.noSerial);
    EXPECT_TRUE(startup.reportBandsOpt && startup.reportSpectrumOpt && startup.reportGraphOpt && startup.reportNoInfo);
    EXPECT_EQ(startup.dataFilePath, dir.file("in.dat"));
    EXPECT_EQ(startup.dataFileName, "in.dat");
    EXPECT_EQ(startup.summaryDir, dir.path().string());
    EXPECT_EQ(startup.summaryName, "out.csv");
}

TEST_F(CommandLine, PortOptionsAndUnknownOptions)
{
    parse("/com3 /bogus /COM8");
    EXPECT_TRUE(startup.portGiven);
    EXPECT_EQ(startup.portGivenBase, portBaseOf(8));
    startup.reset();
    parse("/com3 /com8x");  // sorts after "/com8": no port option
    EXPECT_EQ(startup.portGivenBase, portBaseOf(3));
    EXPECT_TRUE(startup.dataFilePath.empty());  // "/bogus" is an unknown option, not a path
    startup.reset();
    parse("/Com3");
    EXPECT_EQ(startup.portGivenBase, 0x3E8);
    EXPECT_EQ(portNumber(0x1234), 1);
}

TEST_F(CommandLine, LeadingControlCharactersOfAPathAreSkipped)
{
    parseCommandLine({"\x01\x02 \trec.dat"});
    EXPECT_EQ(startup.dataFilePath, "rec.dat");
}

TEST_F(CommandLine, AnyArgumentsAreHandled)
{
    std::string longPath(100000, 'x');
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        bytes.push_back(static_cast<char>(c));
    parseCommandLine({"/sm", longPath, bytes, "/", "//", "\"", std::string("\xff\xfe/\x80", 4)});
    EXPECT_EQ(startup.dataFilePath, longPath);
    EXPECT_FALSE(splitCommandLine(bytes + "\"" + bytes).empty());
}
