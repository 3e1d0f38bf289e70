#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/integerMath.h"
#include "data/recordingHooks.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/displayThread.h"
#include "monitor/monitorState.h"
#include "support/sampleRecording.h"

using namespace data;

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override { testing_support::resetCore(); }
    void TearDown() override { testing_support::resetCore(); }
    Recording& rec = recordings.primary;
};

TEST_F(RecordingTest, FullRingDropsOrOverwritesByMode)
{
    for (std::uint32_t i = 0; i < kRingSamples; ++i)
        channelAppend(rec, 0, static_cast<std::int16_t>(i % 1000), recordings);
    EXPECT_EQ(rec.rawChannels[0].state, 0);
    EXPECT_EQ(rec.lengthSeconds, 858u);  // 857.6 s counts as 858
    channelAppend(rec, 0, 7, recordings);
    EXPECT_EQ(rec.rawChannels[0].count, kRingSamples);
    EXPECT_EQ(rec.rawChannels[0].state, -2);
    EXPECT_EQ(channelSampleAt(rec, 0, kRingSamples - 1), static_cast<std::int16_t>((kRingSamples - 1) % 1000));

    recordings.ringMode = true;
    channelAppend(rec, 0, 1234, recordings);
    EXPECT_EQ(rec.rawChannels[0].count, kRingSamples);
    EXPECT_EQ(channelSampleAt(rec, 0, kRingSamples - 1), 1234);
    EXPECT_EQ(channelSampleAt(rec, 0, 0), 1);  // sample 0 was overwritten
    EXPECT_TRUE(recordings.newSamples.load());
}

TEST_F(RecordingTest, LimitedModeStopsAfterOneRingOfNewSamples)
{
    recordings.ringMode = true;
    recordings.limitedMode = true;
    for (std::uint32_t i = 0; i < kRingSamples; ++i)
        channelAppend(rec, 1, 1, recordings);
    EXPECT_FALSE(recordings.overflow.load());
    channelAppend(rec, 1, 2, recordings);
    EXPECT_TRUE(recordings.overflow.load());
    EXPECT_EQ(rec.rawChannels[1].newCount, kRingSamples);
}

TEST_F(RecordingTest, SampleAtCountAndClearedChannelAnswerNoSample)
{
    channelAppend(rec, 2, 5, recordings);
    EXPECT_EQ(channelSampleAt(rec, 2, 0), 5);
    EXPECT_EQ(channelSampleAt(rec, 2, 1), kNoSample);
    channelClear(rec, 2);
    EXPECT_EQ(channelSampleAt(rec, 2, 0), kNoSample);
    EXPECT_EQ(rec.lengthSeconds, 0u);
    EXPECT_EQ(rec.playEndSecond, 0u);
}

TEST_F(RecordingTest, PlaybackCursorStopsAtEndSecondAndCountsSeconds)
{
    for (int i = 0; i < 1000; ++i)
        channelAppend(rec, 0, static_cast<std::int16_t>(i), recordings);
    channelAlignForPlayback(rec, 0, 0);
    rec.playEndSecond = 2;
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(channelNextPlayed(rec, 0, recordings), i);
    EXPECT_EQ(rec.rawChannels[0].playSecond, 2);
    EXPECT_EQ(channelNextPlayed(rec, 0, recordings), kNoSample);
}

TEST_F(RecordingTest, AlignmentMovesStartToAnEpochAndPlacesTheCursor)
{
    recordings.ringMode = true;
    for (std::uint32_t i = 0; i < kRingSamples + 100; ++i)
        channelAppend(rec, 0, static_cast<std::int16_t>(i % 30000), recordings);
    recordings.ringMode = false;
    ASSERT_EQ(rec.rawChannels[0].start, 100u);
    channelAlignForPlayback(rec, 0, 3);
    EXPECT_EQ(rec.rawChannels[0].start, 256u);
    EXPECT_EQ(rec.rawChannels[0].count, kRingSamples - 156);
    EXPECT_EQ(rec.rawChannels[0].playIndex, 256u + 512u);  // 600 samples rounded down to whole epochs
    EXPECT_EQ(rec.rawChannels[0].playSecond, 3);
}

TEST_F(RecordingTest, ResetPrimaryKeepsChannelWordsAndSetsResultDefaults)
{
    testing_support::fillPrimary({});
    rec.header[hw::channelMode] = 1;
    rec.header[hw::channelModeCopy] = 1;
    int traceClears = 0, epochResets = 0;
    recordingHooks.clearTraceBuffers = [&] { ++traceClears; };
    recordingHooks.resetEpochState = [&](std::uint32_t) { ++epochResets; };
    resetPrimary();
    for (int w = 0; w < kHeaderWords; ++w) {
        if (w == hw::channelMode || w == hw::channelModeCopy) {
            EXPECT_EQ(rec.header[w], 1) << w;
        } else if (w < hw::resultValues || w >= hw::calibrationFactors + 14) {
            EXPECT_EQ(rec.header[w], 0) << w;
        }
    }
    EXPECT_EQ(rec.resultValue[0], 0.0f);
    EXPECT_EQ(rec.resultValue[3], 1e30f);
    EXPECT_EQ(headerFloat(rec.header, hw::resultValues + 6), 1e30f);
    EXPECT_EQ(headerFloat(rec.header, hw::calibrationFactors), rec.calibrationFactors[0]);
    EXPECT_TRUE(rec.deviceName.empty() && rec.reportText.empty() && rec.reportTitle.empty());
    EXPECT_EQ(rec.rawChannels[0].count, 0u);
    EXPECT_EQ(rec.patient.text[patientName], "Jane Doe");  // patient sets survive
    EXPECT_EQ(traceClears, 1);
    EXPECT_EQ(epochResets, 1);  // no play-control window: the monitor resets itself
}

TEST_F(RecordingTest, PatientNumbersFollowTheTextRules)
{
    PatientSet p;
    for (auto [text, age] : {std::pair{"0", -1}, {"200", -1}, {"1", 1}, {"199", 199}, {"", -1}, {"x", -1}}) {
        p.text[patientAgeField] = text;
        p.ageFromText();
        EXPECT_EQ(p.patientAge, age) << text;
    }
    for (auto [text, sex] : {std::pair{"105", 105}, {"104", 104}, {"7", 104}, {"", 104}}) {
        p.text[patientSexField] = text;
        p.sexFromText();
        EXPECT_EQ(p.patientSex, sex) << text;
    }
    p.patientAge = 200;
    p.textsFromNumbers();
    EXPECT_EQ(p.text[patientAgeField], "");
}

TEST_F(RecordingTest, ClearPatientSetsByMask)
{
    recordings.primary.patient.text[patientId] = "a";
    recordings.importPatients.text[patientId] = "b";
    recordings.secondary.patient.text[patientId] = "c";
    recordings.secondary.header[0] = 0x11;
    recordings.secondary.reportText = "x\r";
    clearPatientSets(2);
    EXPECT_EQ(recordings.primary.patient.text[patientId], "a");
    EXPECT_EQ(recordings.importPatients.text[patientId], "");
    clearPatientSets(4);
    EXPECT_EQ(recordings.secondary.patient.text[patientId], "");
    EXPECT_EQ(recordings.secondary.header[0], 0);
    EXPECT_TRUE(recordings.secondary.reportText.empty());
}

TEST_F(RecordingTest, SelectionAfterReadFollowsTheStoredMarks)
{
    rec.epochMarks.fill(true);
    rec.epochMarks[0] = false;
    rec.epochMarks[5] = false;
    monitor::monitorState.processedEpoch = 2;
    rec.epochSelected[0] = true;
    monitor::selectEpochsAfterRead(rec);
    EXPECT_TRUE(rec.epochSelected[0]);  // already processed: left alone
    EXPECT_FALSE(rec.epochSelected[5]);
    EXPECT_TRUE(rec.epochSelected[6]);
    EXPECT_EQ(monitor::monitorState.currentEpoch.load(), 0);
    EXPECT_TRUE(monitor::monitorState.epochRejected.load());
}

TEST_F(RecordingTest, HeaderFloatsAndCalibrationRange)
{
    std::array<std::uint16_t, kHeaderWords> h{};
    setHeaderFloat(h, 41, 1.5f);
    EXPECT_EQ(h[41], 0x3FC0);
    EXPECT_EQ(h[42], 0x0000);
    EXPECT_EQ(headerFloat(h, 41), 1.5f);
    rec.header = h;
    setHeaderFloat(rec.header, hw::calibrationFactors, 0.0f);
    setHeaderFloat(rec.header, hw::calibrationFactors + 2, std::numeric_limits<float>::quiet_NaN());
    setHeaderFloat(rec.header, hw::calibrationFactors + 4, 1e30f);
    setHeaderFloat(rec.header, hw::calibrationFactors + 6, 0.7f);
    setHeaderFloat(rec.header, hw::calibrationFactors + 8, 1.3f);
    decodeHeaderFloats(rec);
    EXPECT_EQ(rec.calibrationFactors[0], 1.0f);
    EXPECT_EQ(rec.calibrationFactors[1], 1.0f);
    EXPECT_EQ(rec.calibrationFactors[2], 1.0f);
    EXPECT_EQ(rec.calibrationFactors[3], 0.7f);
    EXPECT_EQ(rec.calibrationFactors[4], 1.3f);
    EXPECT_EQ(rec.resultValue[0], 1.5f);
}

TEST(IntegerMath, RoundedSqrtAndRoundShift)
{
    EXPECT_EQ(analysis::roundedSqrt(2), 1);
    EXPECT_EQ(analysis::roundedSqrt(3), 2);
    EXPECT_EQ(analysis::roundedSqrt(6), 2);
    EXPECT_EQ(analysis::roundedSqrt(0), 0);
    EXPECT_EQ(analysis::roundedSqrt(65535u * 65535u), 65535);
    for (std::uint32_t v = 0; v < 100000; v += 7) {
        double nearest = std::floor(std::sqrt(static_cast<double>(v)) + 0.5);
        ASSERT_NEAR(analysis::roundedSqrt(v), nearest, 0.0) << v;
    }
    EXPECT_EQ(analysis::roundShift(5, 1), 3);
    EXPECT_EQ(analysis::roundShift(-5, 1), -2);
    EXPECT_EQ(analysis::roundShift(INT32_MAX, 1), static_cast<std::int32_t>(0xC0000000u));  // wraps, defined
}
