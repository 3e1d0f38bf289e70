#include <gtest/gtest.h>

#include <string>

#include "support/processRunner.h"
#include "support/sampleRecording.h"

using namespace testing_support;

namespace {

std::string simulate(const TempDir& dir, const std::string& name, const std::string& options)
{
    const std::string path = dir.file(name);
    const ProcessResult r = runCommand(std::string(CORVANE_SIM_PATH) + " write " + path + " " + options);
    EXPECT_EQ(r.status, 0) << options;
    return path;
}

std::string dumpJson(const std::string& path)
{
    const ProcessResult r = runCommand(std::string(OZMAR_TOOL_PATH) + " dump --json " + path);
    EXPECT_EQ(r.status, 0) << path;
    return r.out;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(CorvaneSim, SampleRecordingsCarryTheSectionsTheirOptionsPromise)
{
    TempDir dir;
    const std::string two = dumpJson(simulate(dir, "two.dat", "--seconds 60 --report-text --seed 3"));
    EXPECT_TRUE(has(two, "\"name\":\"Report line\""));
    EXPECT_TRUE(has(two, "\"raw\":[{\"count\":12000"));
    EXPECT_TRUE(has(two, "\"tag\":13,"));  // three condition series in two-channel mode
    EXPECT_FALSE(has(two, "\"tag\":26,"));
    EXPECT_TRUE(has(two, "\"ID\":\"SIM-1003\""));

    const std::string four = dumpJson(simulate(dir, "four.dat", "--channels 4 --seconds 30"));
    EXPECT_TRUE(has(four, "\"tag\":27,"));
    EXPECT_TRUE(has(four, "\"tag\":19,"));
    EXPECT_FALSE(has(four, "\"tag\":13,"));
    EXPECT_FALSE(has(four, "Report line"));

    const std::string fftOnly = dumpJson(simulate(dir, "fft.dat", "--fft-only --monitoring --seconds 20"));
    EXPECT_FALSE(has(fftOnly, "\"name\":\"Raw EEG\""));
    EXPECT_TRUE(has(fftOnly, "\"name\":\"FFT data\""));
    EXPECT_TRUE(has(fftOnly, "\"header\":[56,"));  // monitoring, FFT data, summary

    const std::string max = dumpJson(simulate(dir, "max.dat", "--max"));
    EXPECT_TRUE(has(max, "\"raw\":[{\"count\":171520"));
    EXPECT_TRUE(has(max, "\"fft\":[{\"count\":85760"));
}

TEST(CorvaneSim, SameOptionsGiveTheSameBytes)
{
    TempDir dir;
    const auto a = fileBytes(simulate(dir, "a.dat", "--seconds 40 --seed 9 --report-text"));
    const auto b = fileBytes(simulate(dir, "b.dat", "--seconds 40 --seed 9 --report-text"));
    const auto c = fileBytes(simulate(dir, "c.dat", "--seconds 40 --seed 10 --report-text"));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_NE(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("x.dat") + " --seconds 9999").status, 0);
}

TEST(CorvaneSim, UnknownAndInconsistentOptionsAreRefused)
{
    const std::string sim = CORVANE_SIM_PATH;
    // A mistyped option never sends a correct check silently.
    EXPECT_EQ(testing_support::runCommand(sim + " send x.dat --corupt-crc").status, 1);
    EXPECT_EQ(testing_support::runCommand(sim + " receive x.dat --xoff-at 10 --xon-after 500 --idle 400").status, 1);
    EXPECT_EQ(testing_support::runCommand(sim + " receive x.dat --bogus").status, 1);
}
