#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "analysis/epochSpectra.h"
#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorState.h"
#include "support/sampleRecording.h"

using namespace analysis;
using data::recordings;
using monitor::epochData;

namespace {

class EpochEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        recordings.primary.header[data::hw::contentFlags] = data::content::rawEeg;
    }
    void TearDown() override { testing_support::resetCore(); }

    monitor::EpochWork work = monitor::programEpochWork();

    // Appends `epochs` epochs of small-amplitude signals (their power sums are
    // exact in single precision) to channels 0 and 1.
    static void appendEpochs(int epochs, unsigned seed, data::Recording& rec = recordings.primary)
    {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> noise(-6, 6);
        for (int i = 0; i < epochs * 256; ++i)
            for (int ch = 0; ch < 2; ++ch)
                data::channelAppend(rec, ch, static_cast<std::int16_t>(20 * std::sin(0.3 * i + ch) + noise(random)),
                                    recordings);
    }

    // The accumulated power computed afresh from the selected slots.
    float expectedPower(int channel, int bin)
    {
        SpectralKind saved = spectralSums.kind(3);
        float sum = 0;
        for (int slot = 0; slot < data::kMaxEpochs; ++slot) {
            if (!epochData.accumulated[slot])
                continue;
            addEpochPower(spectralSums, 128, epochData.vector(channel, slot), 2, channel, false);
            sum += spectralSums.kind(3).power[channel][bin];
        }
        spectralSums.kind(3) = saved;
        return sum;
    }
};

}  // namespace

TEST_F(EpochEngine, RemovingAnEpochAndAddingItBackRestoresTheSums)
{
    appendEpochs(12, 1);
    startAccumulation(work, 0);
    for (int e = 0; e < 12; ++e)
        processEpoch(work, e, false);
    const SpectralKind before = spectralSums.kind(2);
    EXPECT_EQ(monitor::monitorState.accumulatedEpochCount.load(), 12);
    setLastEpochSelected(work, 11, false);
    EXPECT_EQ(monitor::monitorState.accumulatedEpochCount.load(), 11);
    EXPECT_NE(spectralSums.kind(2).power[0][5], before.power[0][5]);
    setLastEpochSelected(work, 11, true);
    EXPECT_EQ(monitor::monitorState.accumulatedEpochCount.load(), 12);
    EXPECT_EQ(std::memcmp(&before, &spectralSums.kind(2), sizeof before), 0);
    EXPECT_EQ(spectralTables.spectralTable[Accumulated][kTotalRow][0] * 12, [&] {
        float total = 0;
        for (int j = 0; j < kBins; ++j)
            total += before.power[0][j] / 12.0f;
        return total * 12;
    }());
}

TEST_F(EpochEngine, AfterARingWrapTheSumsHoldExactlyTheSelectedEpochsInTheRing)
{
    recordings.ringMode = true;
    appendEpochs(data::kMaxEpochs, 2);
    startAccumulation(work, 0);
    auto& rec = recordings.primary;
    for (int e = 0; e < data::kMaxEpochs; ++e) {
        rec.epochSelected[e] = e % 5 != 0;
        processEpoch(work, e, true);
    }
    monitor::monitorState.ringWrapped = true;
    appendEpochs(300, 3);  // the ring overwrites its oldest 300 epochs
    for (int e = 0; e < 300; ++e) {
        rec.epochSelected[e] = e % 3 == 0;
        processEpoch(work, e, true);
    }
    int selected = 0;
    for (int e = 0; e < data::kMaxEpochs; ++e)
        selected += rec.epochSelected[e];
    EXPECT_EQ(monitor::monitorState.accumulatedEpochCount.load(), selected);
    EXPECT_EQ(monitor::monitorState.processedEpochCount.load(), data::kMaxEpochs);
    for (int bin : {0, 9, 31})
        for (int ch : {0, 1})
            EXPECT_EQ(spectralSums.kind(2).power[ch][bin], expectedPower(ch, bin)) << ch << ":" << bin;
}

TEST_F(EpochEngine, RecordingWithoutRawEegUsesTheRecordedVectors)
{
    auto& rec = recordings.primary;
    rec.header[data::hw::contentFlags] = data::content::fftData;
    rec.fftData[0][128 * 3 + 2] = 30;  // epoch 3, bin 2 real part
    rec.fftData[1][128 * 3 + 64 + 2] = 40;
    startAccumulation(work, 0);
    processEpoch(work, 3, false);
    EXPECT_EQ(spectralSums.kind(3).power[0][1], 900.0f);
    EXPECT_EQ(spectralSums.kind(2).power[1][1], 1600.0f);
    EXPECT_EQ(spectralSums.kind(3).crossIm[0][1], -1200.0f);  // br ai - ar bi = 0 - 30 x 40
}

TEST_F(EpochEngine, ConstantEpochLeavesThePercentagesNotComputed)
{
    for (int i = 0; i < 256; ++i)
        for (int ch = 0; ch < 2; ++ch)
            data::channelAppend(recordings.primary, ch, 500);
    startAccumulation(work, 0);
    processEpoch(work, 0, false);
    const auto& t = spectralTables.spectralTable[Current];
    EXPECT_EQ(t[kTotalRow][0], 0.0f);
    for (int j = 0; j < kBins; ++j) {
        EXPECT_EQ(t[j][col::relative], -1.0f);
        EXPECT_EQ(t[j][col::coherence], -1.0f);
        EXPECT_EQ(t[j][col::asymmetry], -1.0f);
    }
}

TEST_F(EpochEngine, WorksOnTheObjectsItIsGivenAndLeavesTheProgramsAlone)
{
    // The same epochs through the program's objects and through local ones.
    appendEpochs(20, 4);
    startAccumulation(work, 0);
    for (int e = 0; e < 20; ++e)
        processEpoch(work, e, false);
    auto rec = std::make_unique<data::Recording>();
    rec->header[data::hw::contentFlags] = data::content::rawEeg;
    appendEpochs(20, 4, *rec);
    monitor::MonitorState state;
    auto sums = std::make_unique<SpectralSums>();
    auto tables = std::make_unique<SpectralTables>();
    auto epochs = std::make_unique<monitor::EpochData>();
    monitor::EpochWork local{*rec, state, *sums, *tables, *epochs};
    const SpectralSums programSums = spectralSums;
    const SpectralTables programTables = spectralTables;
    startAccumulation(local, 0);
    for (int e = 0; e < 20; ++e) {
        rec->epochSelected[e] = e != 7;
        processEpoch(local, e, false);
    }
    setLastEpochSelected(local, 19, false);
    EXPECT_EQ(std::memcmp(&programSums, &spectralSums, sizeof programSums), 0);
    EXPECT_EQ(std::memcmp(&programTables, &spectralTables, sizeof programTables), 0);
    EXPECT_EQ(monitor::monitorState.accumulatedEpochCount.load(), 20);
    EXPECT_EQ(state.accumulatedEpochCount.load(), 18);
    EXPECT_EQ(state.processedEpochCount.load(), 20);
    // Epoch 19 is the current one in both; the local sums lack epochs 7 and 19.
    EXPECT_EQ(std::memcmp(&sums->kind(3), &spectralSums.kind(3), sizeof sums->kind(3)), 0);
    EXPECT_LT(sums->kind(2).power[0][5], spectralSums.kind(2).power[0][5]);
    EXPECT_NE(tables->spectralTable[Accumulated][kTotalRow][0], 0.0f);
    EXPECT_FALSE(epochs->accumulated[7]);
    EXPECT_TRUE(epochData.accumulated[7]);
}
