#include <gtest/gtest.h>

#include <cstring>

#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "monitor/spectralModes.h"
#include "support/sampleRecording.h"

using namespace analysis;
using data::recordings;
namespace hw = data::hw;

namespace {

class SpectralTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        recordings.primary.header[hw::totalEpochs] = 1;
    }
    void TearDown() override { testing_support::resetCore(); }

    float (&table(int mode))[kTableRows][kTableColumns] { return spectralTables.spectralTable[mode]; }
    SpectralKind& total() { return spectralSums.kind(0); }
};

}  // namespace

TEST_F(SpectralTableTest, ModeOutsideRangeChangesNothingAndNoDataResets)
{
    std::memset(&spectralTables, 0x3F, sizeof spectralTables);
    const SpectralTables before = spectralTables;
    EXPECT_EQ(monitor::computeSpectralTable(4), 0u);
    EXPECT_EQ(monitor::computeSpectralTable(-1), 0u);
    EXPECT_EQ(std::memcmp(&before, &spectralTables, sizeof before), 0);

    recordings.primary.header[hw::totalEpochs] = 0;
    EXPECT_EQ(monitor::computeSpectralTable(Recorded), 0u);
    for (int row = 0; row < kTableRows; ++row) {
        EXPECT_EQ(table(Recorded)[row][0], 0.0f);
        EXPECT_EQ(table(Recorded)[row][col::relative], -1.0f);
        EXPECT_EQ(table(Recorded)[row][col::crossIm + 5], 0.0f);
        EXPECT_EQ(table(Recorded)[row][col::coherence + 5], -1.0f);
    }
    EXPECT_EQ(spectralTables.meanFrequency[Recorded][0], 0.0f);
}

TEST_F(SpectralTableTest, PowerInOneBinGivesItsFrequencyAsMean)
{
    for (int k : {1, 7, 32}) {
        total().clear();
        total().power[0][k - 1] = 5000.0f;
        total().power[1][k - 1] = 7.0f;
        ASSERT_EQ(monitor::computeSpectralTable(Recorded), 1u);
        EXPECT_FLOAT_EQ(spectralTables.meanFrequency[Recorded][0], k * 100.0f / 128.0f) << k;
        EXPECT_FLOAT_EQ(spectralTables.meanFrequency[Recorded][1], k * 100.0f / 128.0f) << k;
        EXPECT_EQ(table(Recorded)[k - 1][col::relative], 1.0f);
        EXPECT_EQ(table(Recorded)[kTotalRow][0], 5000.0f);
    }
}

TEST_F(SpectralTableTest, DivisorAndSeizureSelectTheSums)
{
    total().power[0][0] = 100.0f;
    spectralSums.kind(1).power[0][0] = 900.0f;
    recordings.primary.header[hw::totalEpochs] = 4;
    recordings.primary.header[hw::seizureEpochs] = 3;
    EXPECT_EQ(monitor::computeSpectralTable(Recorded), 4u);
    EXPECT_EQ(table(Recorded)[0][0], 25.0f);
    recordings.primary.header[hw::eegSeizureDetected] = 1;
    EXPECT_EQ(monitor::computeSpectralTable(Recorded), 3u);
    EXPECT_EQ(table(Recorded)[0][0], 300.0f);
}

TEST_F(SpectralTableTest, CoherenceAndAsymmetryNeedPowersAboveThresholds)
{
    // Bin 1 at exactly 288 on both channels; bin 2 just above.
    for (int c = 0; c < 2; ++c) {
        total().power[c][0] = 288.0f;
        total().power[c][1] = 289.0f;
        total().power[c][2] = 383.0f;  // totals: 960 exactly
    }
    total().crossRe[0][1] = 200.0f;
    total().crossIm[0][1] = 100.0f;
    recordings.primary.calibrationFactors[1] = 1.2f;
    ASSERT_EQ(monitor::computeSpectralTable(Recorded), 1u);
    const auto& t = table(Recorded);
    EXPECT_EQ(t[0][col::coherence], -1.0f);
    EXPECT_EQ(t[0][col::asymmetry], -1.0f);
    EXPECT_FLOAT_EQ(t[1][col::coherence], (200.0f * 200 + 100 * 100) / 289.0f / 289.0f);
    EXPECT_FLOAT_EQ(t[1][col::asymmetry], 2 * (1.44f * 289 - 289) / (289 + 1.44f * 289));
    EXPECT_EQ(t[kTotalRow][0], 960.0f);
    EXPECT_EQ(t[kTotalRow][col::coherence], -1.0f);
    EXPECT_EQ(t[kTotalRow][col::asymmetry], -1.0f);
    EXPECT_EQ(t[kTotalRow][col::relative], -1.0f);
}

TEST_F(SpectralTableTest, TwoChannelsLeaveTheOtherColumnsAtTheirResetValues)
{
    for (int c = 0; c < 4; ++c)
        for (int j = 0; j < kBins; ++j)
            total().power[c][j] = 5000.0f;
    for (int p = 0; p < 6; ++p)
        total().crossRe[p][3] = 2000.0f;
    ASSERT_EQ(monitor::computeSpectralTable(Recorded), 1u);
    for (int row = 0; row < kTableRows; ++row) {
        for (int c = 2; c < 4; ++c) {
            EXPECT_EQ(table(Recorded)[row][c], 0.0f);
            EXPECT_EQ(table(Recorded)[row][col::relative + c], -1.0f);
        }
        for (int p = 1; p < 6; ++p) {
            EXPECT_EQ(table(Recorded)[row][col::crossRe + p], 0.0f);
            EXPECT_EQ(table(Recorded)[row][col::coherence + p], -1.0f);
            EXPECT_EQ(table(Recorded)[row][col::asymmetry + p], -1.0f);
        }
    }
    recordings.primary.header[hw::channelMode] = 1;
    ASSERT_EQ(monitor::computeSpectralTable(Recorded), 1u);
    EXPECT_EQ(table(Recorded)[3][col::crossRe + 5], 2000.0f);
    EXPECT_EQ(table(Recorded)[0][3], 5000.0f);
}

TEST_F(SpectralTableTest, SecondaryModeUsesTheSecondaryRecording)
{
    recordings.secondary.header[hw::totalEpochs] = 2;
    spectralSums.kind(4).power[0][5] = 10.0f;
    EXPECT_EQ(monitor::computeSpectralTable(SecondaryRecorded), 2u);
    EXPECT_EQ(table(SecondaryRecorded)[5][0], 5.0f);
    monitor::monitorState.processedEpochCount = 3;
    EXPECT_EQ(monitor::computeSpectralTable(Current), 1u);
}
