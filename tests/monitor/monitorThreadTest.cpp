// Playback and live monitoring with their real threads (display, epoch,
// reader, timer): run again under ThreadSanitizer by ./test.sh. Every wait is
// on a condition with a generous deadline, never a fixed sleep.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "analysis/fft.h"
#include "analysis/spectralSums.h"
#include "data/linkState.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "platform/memorySerialDevice.h"
#include "support/liveBytes.h"
#include "support/sampleRecording.h"
#include "monitor/graphPage.h"

using namespace monitor;

namespace {

bool waitFor(const std::function<bool()>& condition, int seconds = 20)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class MonitorThreads : public ::testing::Test {
protected:
    void SetUp() override { testing_support::resetCore(); }
    void TearDown() override
    {
        stopAll();
        testing_support::resetCore();
    }

    // A playback recording of `epochs` whole epochs, every epoch flagged good.
    static void playbackRecording(std::uint32_t epochs)
    {
        testing_support::SampleOptions o;
        o.samples = epochs * 256;
        o.epochs = epochs;
        testing_support::fillPrimary(o);
        data::Recording& rec = data::recordings.primary;
        rec.epochMarks.fill(true);
        rec.playStartSecond = 0;
        rec.playEndSecond = rec.lengthSeconds;
    }

    static void stepOnce()
    {
        togglePlayback(0);
        ASSERT_TRUE(waitFor([] { return !monitorState.playThreadRunning; }));
        stopDisplay();  // joins the display thread, which has ended its run
    }

    static bool epochsProcessed()
    {
        return waitFor([] { return monitorState.processedEpoch == monitorState.currentEpoch && !monitorState.epochThreadBusy; });
    }
};

}  // namespace

TEST_F(MonitorThreads, StepPlaysExactlyOneEpochAndTheDisplaysEpochsAreTheDatas)
{
    playbackRecording(320);
    const data::Recording& rec = data::recordings.primary;
    resetPlayback();
    for (std::uint32_t k = 1; k <= 300; ++k) {
        stepOnce();
        // Every Step shows exactly 256 samples of each channel...
        for (const data::SampleRing& ring : rec.rawChannels)
            ASSERT_EQ(ring.playCount, k * 256) << k;
        // ...and the display's epoch is the data's epoch of the next sample.
        ASSERT_EQ(monitorState.currentEpoch, static_cast<std::int32_t>(data::epochIndex(rec, k)));
        ASSERT_EQ(monitorState.playedEpochs, static_cast<std::int32_t>(k));
        ASSERT_EQ(monitorState.epochSample, -1);
    }
    // The page shows the data's samples in place: after 300 epochs the last
    // page's columns hold samples 298 x 256 to 300 x 256 - 1 (but for the 16
    // columns the display cleared ahead of itself).
    const monitor::GraphSnapshot page = monitor::graphPage.snapshot();
    for (int ch = 0; ch < 4; ++ch)
        for (std::uint32_t i = 298 * 256 + 16; i < 300 * 256; ++i)
            ASSERT_EQ(page.strips[static_cast<std::size_t>(ch)].samples[i % 512], data::channelSampleAt(rec, ch, i)) << ch << " " << i;
    ASSERT_TRUE(epochsProcessed());
    int selected = 0;
    for (std::uint32_t k = 0; k < 300; ++k)
        selected += rec.epochSelected[data::epochIndex(rec, k)] ? 1 : 0;
    EXPECT_EQ(monitorState.accumulatedEpochCount, selected);
    EXPECT_EQ(monitorState.processedEpochCount, 300);
}

TEST_F(MonitorThreads, RejectingACompletedEpochTakesItOutOfTheSumsAndBack)
{
    playbackRecording(12);
    data::Recording& rec = data::recordings.primary;
    for (data::SampleRing& ring : rec.rawChannels)
        std::fill(ring.samples.begin(), ring.samples.end(), std::int16_t{3});  // far from any artifact limit
    for (std::uint32_t i = 0; i < 12 * 256; ++i)
        rec.rawChannels[0].samples[i] = static_cast<std::int16_t>((i * 37) % 200 - 100);
    resetPlayback();
    stepOnce();
    stepOnce();
    ASSERT_TRUE(epochsProcessed());
    ASSERT_EQ(monitorState.accumulatedEpochCount, 2);
    const float before = analysis::spectralSums.kind(2).power[0][4];
    ASSERT_TRUE(rejectEpoch());
    EXPECT_EQ(monitorState.accumulatedEpochCount, 1);
    EXPECT_FALSE(rec.epochSelected[data::epochIndex(rec, 1)]);
    EXPECT_LT(analysis::spectralSums.kind(2).power[0][4], before);
    ASSERT_TRUE(rejectEpoch());
    EXPECT_EQ(monitorState.accumulatedEpochCount, 2);
    EXPECT_NEAR(analysis::spectralSums.kind(2).power[0][4], before, std::abs(before) * 1e-4 + 1e-3);
}

TEST_F(MonitorThreads, TimedPlaybackRunsToTheEndAndStopJoins)
{
    playbackRecording(3);
    // The display is held in its second epoch until the stop is asked for, so
    // the first run cannot reach the end before it.
    std::atomic<bool> held{false};
    monitorHooks.pageChanged = [&held] {
        if (monitorState.playedEpochs == 1 && !held.exchange(true)) {
            EXPECT_TRUE(waitFor([] { return !monitorState.playThreadRunning; }));
        }
    };
    resetPlayback();
    togglePlayback(5);  // 500 %: 1 ms a sample
    ASSERT_TRUE(waitFor([&held] { return held.load(); }));
    togglePlayback(5);  // stop: both threads have finished their step when it returns
    EXPECT_FALSE(monitorState.playThreadRunning);
    const std::uint32_t shown = data::recordings.primary.rawChannels[0].playCount;
    togglePlayback(5);
    ASSERT_TRUE(waitFor([] { return monitorState.displayComplete.load(); }));
    EXPECT_GT(data::recordings.primary.rawChannels[0].playCount, shown);
    EXPECT_EQ(data::recordings.primary.rawChannels[0].playCount, 3u * 256u);
}

TEST_F(MonitorThreads, ChangingTheSpeedWhilePlayingKeepsTheNewRate)
{
    playbackRecording(3);
    resetPlayback();
    togglePlayback(1);  // 25 %: 20 ms a sample
    EXPECT_EQ(playTimerPeriod(), std::chrono::microseconds(20000));
    for (int speed : {5, 2, 4, 3}) {
        setPlaySpeed(speed);
        ASSERT_TRUE(monitorState.playThreadRunning);
        EXPECT_EQ(monitorState.playSpeed, speed);
        const std::chrono::microseconds periods[] = {std::chrono::microseconds(0), std::chrono::microseconds(20000),
                                                     std::chrono::microseconds(10000), std::chrono::microseconds(5000),
                                                     std::chrono::microseconds(2000), std::chrono::microseconds(1000)};
        EXPECT_EQ(playTimerPeriod(), periods[speed]) << speed;
    }
    // Paused and resumed, the display goes on at the speed it is given.
    togglePlayback(3);
    EXPECT_EQ(playTimerPeriod(), std::chrono::microseconds(0));
    togglePlayback(5);
    EXPECT_EQ(playTimerPeriod(), std::chrono::microseconds(1000));
    ASSERT_TRUE(waitFor([] { return monitorState.displayComplete.load(); }));
    EXPECT_EQ(data::recordings.primary.rawChannels[0].playCount, 3u * 256u);
}

namespace {

struct LiveLine {
    platform::MemorySerialDevice device;
    std::atomic<int> frameCommand{0};

    LiveLine()
    {
        monitorHooks.postToFrame = [this](int command) { frameCommand = command; };
    }
};

// The instrument's session: channel configuration, settling, then frames
// with a treatment start and condition flags in between.
testing_support::LiveBytes session(int before, int after)
{
    testing_support::LiveBytes b;
    b.run(0xF0).frames(8, [](int, int) { return 0; });
    b.frames(before, [](int k, int c) { return (k + c) % 100; });
    b.run(0xF2);
    b.frames(after, [](int k, int c) { return (k * 3 + c) % 100; });
    b.run(0xFB, 8);
    return b;
}

}  // namespace

TEST_F(MonitorThreads, LiveSessionEndsWithTheEndPacketAndBecomesARecording)
{
    LiveLine line;
    testing_support::LiveBytes b = session(700, 1000);
    b.run(0xF5);
    line.device.input = b.bytes;
    data::Recording& rec = data::recordings.primary;
    for (auto& store : rec.fftData)  // the recording before had FFT data
        std::fill(store.begin(), store.end(), std::int16_t{7});
    rec.playStartSecond = 30;  // and was played from second 30
    beginMonitoring(line.device, 1);
    ASSERT_TRUE(waitFor([&] { return line.frameCommand == 458; }));
    // The display catches up with everything the reader appended.
    ASSERT_TRUE(waitFor([] { return monitorState.playedEpochs >= 5; }));
    // The display counted from the live data's start, not from the old range.
    EXPECT_EQ(monitorState.playedEpochs, 5);
    EXPECT_LT(monitorState.displaySecond, 9);
    std::tm now{};
    now.tm_year = 126;
    now.tm_mon = 11;
    now.tm_mday = 7;
    ASSERT_TRUE(endMonitoring(now));
    // 700 samples before the treatment start keep their two whole epochs (512).
    for (const data::SampleRing& ring : rec.rawChannels)
        EXPECT_EQ(ring.count, 512u + 1000u);
    EXPECT_EQ(rec.header[data::hw::contentFlags] & 0x3D, 0x3D);
    EXPECT_EQ(rec.epochCount(0), (512u + 1000u) / 256u);
    EXPECT_EQ(rec.header[data::hw::month], 12);
    EXPECT_EQ(rec.conditionData[0][2], 1);  // the first flag after the treatment start
    EXPECT_EQ(rec.marker57, 2);
    // Its FFT data are the spectra of its own epochs, nothing of the recording before.
    EXPECT_TRUE(std::equal(rec.fftData[1].begin(), rec.fftData[1].begin() + 128, monitor::epochData.vector(1, 0)));
    EXPECT_TRUE(std::any_of(rec.fftData[1].begin(), rec.fftData[1].begin() + 128, [](std::int16_t v) { return v != 0; }));
    EXPECT_TRUE(std::all_of(rec.fftData[0].begin() + 10 * 128, rec.fftData[0].end(), [](std::int16_t v) { return v == 0; }));
    EXPECT_TRUE(std::all_of(rec.fftData[2].begin(), rec.fftData[2].end(), [](std::int16_t v) { return v == 0; }));
    EXPECT_FALSE(monitorState.liveSession);
    EXPECT_NE(line.device.calls.find('t'), std::string::npos);  // 0xF8 answered the end
}

TEST_F(MonitorThreads, PreambleInAutoUploadModeLeavesTheStreamToTheUpload)
{
    LiveLine line;
    testing_support::LiveBytes b = session(300, 300);
    b.run(0xF4, 32, false).raw({0x24, 0x01, 0x7F, 0x80});
    line.device.input = b.bytes;
    monitorState.autoUploadActive = true;
    beginMonitoring(line.device, 1);
    ASSERT_TRUE(waitFor([&] { return line.frameCommand == 606; }));
    std::tm now{};
    ASSERT_TRUE(endMonitoring(now));
    const data::LinkState& L = data::linkState;
    EXPECT_TRUE(L.linkSynced);
    ASSERT_EQ(L.linkCount, 4u);
    EXPECT_EQ(L.linkBuffer[L.linkPos], 0x24);
    EXPECT_EQ(L.linkBuffer[L.linkPos + 3], 0x80);  // upload bytes are never taken as EEG
    EXPECT_EQ(line.device.calls.find('t'), std::string::npos);
}

TEST_F(MonitorThreads, ReadFailureStopsMonitoringTheNormalWay)
{
    LiveLine line;
    std::atomic<bool> told{false};
    monitorHooks.readFailed = [&](const std::string& message, bool lineGone) {
        told = message == "Port COM1 is invalid." && lineGone;
    };
    line.device.input = session(600, 0).bytes;
    line.device.goneAtEnd = true;
    beginMonitoring(line.device, 1);
    ASSERT_TRUE(waitFor([&] { return line.frameCommand == 458; }));
    EXPECT_TRUE(told);
    ASSERT_TRUE(endMonitoring(std::tm{}));
    EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 512u);
}

namespace {

constexpr int kRingTestEpochs = 700;  // the ring of 670 wraps and its oldest epochs leave the sums

int ringTestValue(int k, int c) { return ((k * (c + 3)) % 97) - 48 + ((k / 256) % 5 == 0 ? 40 : 0); }

// 700 epochs of live EEG after the channel configuration and the settling frames.
testing_support::LiveBytes ringTestSession()
{
    testing_support::LiveBytes b;
    b.run(0xF1).frames(8, [](int, int) { return 0; });
    b.frames(kRingTestEpochs * 256, ringTestValue);
    b.run(0xF5);
    return b;
}

// A sample as the line carries it: the low byte's top bit is not sent.
std::int16_t carried(int value)
{
    const int v = value & 0x1F7F;
    return static_cast<std::int16_t>(v > 0x0FFF ? v - 0x2000 : v);
}

// The FFT vectors of channels 0 and 1 of the session's epoch `epoch`, as sent.
std::array<std::int16_t, 256> sentVectors(int epoch)
{
    std::array<std::int16_t, 256> x{}, y{}, out{};
    for (int i = 0; i < 256; ++i) {
        x[static_cast<std::size_t>(i)] = carried(ringTestValue(epoch * 256 + i, 0));
        y[static_cast<std::size_t>(i)] = carried(ringTestValue(epoch * 256 + i, 1));
    }
    analysis::fftTwoReal(128, x.data(), 1, 2, y.data(), 1, 2, out.data(), out.data() + 128);
    return out;
}

bool holdsSentVectors(int slot, int epoch)
{
    const std::array<std::int16_t, 256> sent = sentVectors(epoch);
    return std::equal(sent.begin(), sent.begin() + 128, monitor::epochData.vector(0, slot)) &&
           std::equal(sent.begin() + 128, sent.end(), monitor::epochData.vector(1, slot));
}

}  // namespace

class PastTheRing : public MonitorThreads {
protected:
    LiveLine line;
    std::atomic<bool> releaseDisplay{true};

    void SetUp() override
    {
        MonitorThreads::SetUp();
        monitorHooks.postToFrame = [this](int command) { line.frameCommand = command; };
    }

    // Feeds the session one epoch at a time: the reader finds more only when
    // the display has shown all it had (but for the frames the decoder holds
    // back), so the reader is always the slower thread.
    void holdReaderBack(std::vector<std::uint8_t> all)
    {
        constexpr std::size_t kHead = 9 + 8 * 8;  // the configuration run and the settling frames
        constexpr std::size_t kEpochBytes = 256 * 8;
        line.device.input.assign(all.begin(), all.begin() + kHead + kEpochBytes);
        line.device.beforeRead = [all = std::move(all), fed = 1](platform::MemorySerialDevice& d) mutable {
            if (d.readPos < d.input.size() || d.input.size() == all.size())
                return;
            EXPECT_TRUE(waitFor([fed] { return monitorState.playedEpochs >= fed - 1; }, 60));
            const std::size_t to = ++fed < kRingTestEpochs ? d.input.size() + kEpochBytes : all.size();
            d.input.insert(d.input.end(), all.begin() + static_cast<long>(d.input.size()), all.begin() + static_cast<long>(to));
        };
    }

    // Holds the display after it completed epoch `epoch`, until released.
    void holdDisplayAfter(int epoch)
    {
        releaseDisplay = false;
        monitorHooks.pageChanged = [this, epoch] {
            if (monitorState.playedEpochs == epoch) {
                EXPECT_TRUE(waitFor([this] { return releaseDisplay.load(); }, 60));
            }
        };
    }

    // Runs the session to its end and compares the running sums with sums
    // computed afresh from the ring.
    void finishAndCompare()
    {
        ASSERT_TRUE(waitFor([&] { return line.frameCommand == 458; }, 120));
        releaseDisplay = true;
        // Every epoch sent is shown: the data end on an epoch's end.
        ASSERT_TRUE(waitFor([] { return monitorState.playedEpochs == kRingTestEpochs; }, 120));
        ASSERT_TRUE(epochsProcessed());
        const data::Recording& rec = data::recordings.primary;
        EXPECT_TRUE(monitorState.ringWrapped);
        EXPECT_EQ(rec.rawChannels[0].count, data::kRingSamples);
        stopDisplay();
        const analysis::SpectralKind running = analysis::spectralSums.kind(2);
        const int runningCount = monitorState.accumulatedEpochCount;
        // Slot s holds epoch s + 670 for the first 30 slots, epoch s after them.
        for (int slot = 0; slot < data::kMaxEpochs; ++slot)
            ASSERT_TRUE(holdsSentVectors(slot, slot < 30 ? slot + 670 : slot)) << slot;
        int selected = 0;
        auto work = monitor::programEpochWork();
        monitor::startAccumulation(work, 0);
        monitorState.ringWrapped = false;
        for (int slot = 0; slot < data::kMaxEpochs; ++slot) {
            monitor::processEpoch(work, slot, true);
            selected += rec.epochSelected[static_cast<std::size_t>(slot)] ? 1 : 0;
        }
        EXPECT_EQ(runningCount, selected);
        const analysis::SpectralKind& fresh = analysis::spectralSums.kind(2);
        for (int c = 0; c < 4; ++c)
            for (int j = 0; j < analysis::kBins; ++j)
                ASSERT_NEAR(running.power[c][j], fresh.power[c][j], std::abs(fresh.power[c][j]) * 1e-4 + 1e-2) << c << " " << j;
        monitorState.liveSession = true;  // ends the session as the frame would
        endMonitoring(std::tm{});
    }
};

TEST_F(PastTheRing, TheSumsHoldExactlyTheSelectedEpochsOfTheRing)
{
    line.device.input = ringTestSession().bytes;
    beginMonitoring(line.device, 1);
    finishAndCompare();
}

TEST_F(PastTheRing, AReaderSlowerThanTheDisplayLeavesTheSameSums)
{
    holdReaderBack(ringTestSession().bytes);
    beginMonitoring(line.device, 1);
    finishAndCompare();
}

TEST_F(PastTheRing, AnEpochSummedAfterTheReaderOverwroteItsSamplesKeepsTheSamplesShown)
{
    // The display completes epochs 0 to 3 and is held; the epoch thread is held
    // before epoch 3 until the reader has gone round the ring and written
    // epoch 673 where epoch 3 was. The reader gets the epochs past the ring
    // only once the display has shown epoch 3.
    const std::vector<std::uint8_t> all = ringTestSession().bytes;
    constexpr std::size_t kBeforeTheRing = 9 + 8 * 8 + 600 * 256 * 8;
    line.device.input.assign(all.begin(), all.begin() + kBeforeTheRing);
    line.device.beforeRead = [&all](platform::MemorySerialDevice& d) {
        if (d.readPos < d.input.size() || d.input.size() == all.size())
            return;
        EXPECT_TRUE(waitFor([] { return monitorState.playedEpochs >= 4; }, 60));
        d.input.insert(d.input.end(), all.begin() + static_cast<long>(d.input.size()), all.end());
    };
    holdDisplayAfter(4);
    monitorHooks.beforeEpoch = [this](int slot) {
        if (slot == 3) {
            EXPECT_TRUE(waitFor([this] { return line.frameCommand == 458; }, 60));
        }
    };
    beginMonitoring(line.device, 1);
    ASSERT_TRUE(waitFor([&] { return line.frameCommand == 458; }, 120));
    ASSERT_TRUE(waitFor([] { return monitorState.processedEpoch == 4; }, 60));
    ASSERT_TRUE(epochsProcessed());
    // Epoch 3 was summed with the spectra of the samples the display showed.
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_TRUE(holdsSentVectors(slot, slot)) << slot;
    EXPECT_FALSE(holdsSentVectors(3, 673));
    finishAndCompare();
}

TEST_F(MonitorThreads, RejectWhilePausedInsideAnEpochKeepsItOutOfTheSums)
{
    playbackRecording(8);
    data::Recording& rec = data::recordings.primary;
    for (data::SampleRing& ring : rec.rawChannels)
        for (std::uint32_t i = 0; i < 8 * 256; ++i)
            ring.samples[i] = static_cast<std::int16_t>((i * 13) % 50 - 25);
    resetPlayback();
    togglePlayback(5);
    ASSERT_TRUE(waitFor([] { return monitorState.playedEpochs == 1 && monitorState.epochSample > 20; }));
    togglePlayback(5);  // paused inside epoch 2
    ASSERT_FALSE(monitorState.playThreadRunning);
    const int paused = monitorState.currentEpoch;
    ASSERT_TRUE(rejectEpoch());
    EXPECT_TRUE(monitorState.epochRejected);
    // Played on to its end, the epoch stays out of the sums.
    togglePlayback(0);
    ASSERT_TRUE(waitFor([] { return !monitorState.playThreadRunning; }));
    stopDisplay();
    EXPECT_FALSE(rec.epochSelected[static_cast<std::size_t>(paused)]);
    EXPECT_EQ(monitorState.accumulatedEpochCount, 1);
    EXPECT_EQ(monitorState.processedEpochCount, 2);
}

// An epoch paused part-way after its EEG crossed the artifact limit is shaded
// as rejected at once, as a completed one would be.
TEST_F(MonitorThreads, AnEpochPausedAfterAnArtifactIsShadedAsRejected)
{
    playbackRecording(8);
    data::Recording& rec = data::recordings.primary;
    for (data::SampleRing& ring : rec.rawChannels)
        for (std::uint32_t i = 0; i < 8 * 256; ++i)
            ring.samples[i] = static_cast<std::int16_t>((i * 13) % 50 - 25);
    rec.rawChannels[0].samples[256 + 5] = 30000;  // far beyond the limit, early in epoch 2
    monitor::graphPage.layOut(rec);
    // The display pauses itself inside epoch 2, on its own thread, past the artifact.
    monitorHooks.pageChanged = [] {
        if (monitorState.playedEpochs == 1 && monitorState.epochSample > 20)
            monitorState.playThreadRunning = false;
    };
    resetPlayback();
    togglePlayback(5);
    ASSERT_TRUE(waitFor([] { return !monitorState.playThreadRunning; }));
    stopDisplay();
    ASSERT_EQ(monitorState.playedEpochs, 1);
    ASSERT_TRUE(monitorState.epochRejectedByUser);
    EXPECT_TRUE(monitorState.epochRejected);
    const monitor::GraphSnapshot page = monitor::graphPage.snapshot();
    ASSERT_EQ(page.rejectedRegion.size(), 1u);
    EXPECT_EQ(page.rejectedRegion[0].left, page.geometry.graphLeft() + 256);
}
