// ozmar-tool export-edf read back with MNE-Python (Debian's python3-mne): the
// channels, rate, start, every sample within half a digital step of raw x
// 0.125 x calibration, and the annotations at their onsets.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "report/edfExport.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"

using namespace testing_support;

TEST(EdfExportTool, MneReadsWhatWasWritten)
{
    if (runCommand("/usr/bin/python3 -c 'import mne'").status != 0)
        GTEST_SKIP() << "MNE-Python (python3-mne) is not installed";
    TempDir dir;
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 30 --channels 4").status, 0);
    const auto listed = runCommand(std::string(OZMAR_TOOL_PATH) + " export-edf " + dir.file("rec.dat") + " --out " + dir.path().string());
    ASSERT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, dir.file("rec.edf") + "\n");
    // What the file should hold, from the recording itself.
    resetCore();
    readPrimary(dir.file("rec.dat"));
    const data::Recording& rec = data::recordings.primary;
    std::vector<double> expected;
    std::string names;
    for (int ch = 0; ch < 4; ++ch) {
        names += (ch ? "," : "") + report::edfLabel(rec, ch);
        for (std::uint32_t i = 0; i < rec.rawChannels[0].count; ++i)
            expected.push_back(data::channelSampleAt(rec, ch, i) * 0.125 * rec.calibrationFactors[static_cast<std::size_t>(ch)]);
    }
    FILE* f = std::fopen(dir.file("expected.bin").c_str(), "wb");
    std::fwrite(expected.data(), sizeof(double), expected.size(), f);
    std::fclose(f);
    char start[64];
    std::snprintf(start, sizeof start, "20%02u-%02u-%02u %02u:%02u:%02u", rec.header[data::hw::year] % 100, rec.header[data::hw::month],
                  rec.header[data::hw::day], rec.header[data::hw::hour], rec.header[data::hw::minute], rec.header[data::hw::second]);
    std::string notes;
    for (std::uint32_t e = 0; e < rec.rawChannels[0].count / 256; ++e) {
        const std::uint32_t slot = data::epochIndex(rec, e);
        char onset[16];
        std::snprintf(onset, sizeof onset, "%.2f", e * 1.28);
        if (!rec.epochMarks[slot])
            notes += std::string(onset) + ":Rejected epoch;";
        if (rec.conditionData[0][slot] != 0)
            notes += std::string(onset) + ":Marked epoch;";
    }
    const auto check = runCommand("/usr/bin/python3 " + std::string(EDF_MNE_CHECK) + " " + dir.file("rec.edf") + " " +
                                  dir.file("expected.bin") + " '" + names + "' '" + start + "' '" + notes + "'");
    EXPECT_EQ(check.out, "ok\n");
}

TEST(EdfExportTool, AnonymisedFilesAndFailures)
{
    TempDir dir;
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("a.dat") + " --seconds 10").status, 0);
    ASSERT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " patient " + dir.file("a.dat") + " --id ZX-4411 --name 'Ada Quist'").status, 0);
    ASSERT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " export-edf --anonymise " + dir.file("a.dat")).status, 0);
    const auto bytes = fileBytes(dir.file("a.edf"));
    const std::string all(bytes.begin(), bytes.end());
    for (const std::string secret : {"ZX-4411", "Ada", "Quist"})
        EXPECT_EQ(all.find(secret), std::string::npos) << secret;
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " export-edf").status, 1);
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " export-edf " + dir.file("none.dat")).status, 2);
    EXPECT_EQ(runCommand(std::string(OZMAR_TOOL_PATH) + " export-edf " + dir.file("a.dat") + " --out /no/such").status, 2);
}
