// The Graph page model: strip layout, heights, artifact limits and the
// off-screen page of a recording, with values worked out by hand.
#include <gtest/gtest.h>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/monitorState.h"
#include "state/settings.h"
#include "support/sampleRecording.h"
#include "monitor/graphPage.h"

using namespace monitor;

namespace {

class GraphPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::settings.reset();
        monitor::monitorState.reset();
        data::recordings.primary.calibrationFactors.fill(1.0f);
        geometry.avgChar = 6;
        geometry.capsChar = 9;
        geometry.lineHeight = 13;
    }
    void TearDown() override
    {
        state::settings.reset();
        monitor::monitorState.reset();
        testing_support::resetCore();
    }
    void switchOn(int count)
    {
        for (int ch = 0; ch < 4; ++ch)
            state::settings.channelSettings[static_cast<std::size_t>(ch)].on = ch < count;
    }
    // A recording of `samples` per channel, every sample `value`.
    void fill(std::uint32_t samples, std::int16_t value, bool fourChannels = true)
    {
        data::Recording& rec = data::recordings.primary;
        rec.header[data::hw::channelMode] = fourChannels ? 1 : 0;
        rec.header[data::hw::channelModeCopy] = fourChannels ? 1 : 0;
        for (int ch = 0; ch < 4; ++ch)
            for (std::uint32_t i = 0; i < samples; ++i)
                data::channelAppend(rec, ch, value);
    }
    GraphSnapshot laidOut()
    {
        GraphSnapshot page;
        page.geometry = geometry;
        layOutStrips(page, data::recordings.primary);
        return page;
    }
    PageGeometry geometry;
};

}  // namespace

TEST_F(GraphPageTest, GeometryFollowsTheLabelFont)
{
    EXPECT_EQ(geometry.graphLeft(), 42);
    EXPECT_EQ(geometry.graphTop(), 13);
    EXPECT_EQ(geometry.graphWidth(), 42 + 9 + 512);
    EXPECT_EQ(geometry.graphHeight(), 13 + 13 + 400);
}

TEST_F(GraphPageTest, StripsForNoneToFourChannels)
{
    // n, strip height, scale unit, first baseline, half height
    const int expected[5][4] = {{0, 0, 0, 0}, {400, 100, 13 + 200, 199}, {200, 50, 13 + 100, 99},
                                {133, 34, 13 + 66, 65}, {100, 25, 13 + 50, 49}};
    for (int n = 0; n <= 4; ++n) {
        switchOn(n);
        const GraphSnapshot page = laidOut();
        EXPECT_EQ(page.stripHeight, expected[n][0]) << n;
        EXPECT_EQ(page.scaleUnit, expected[n][1]) << n;
        for (int ch = 0; ch < 4; ++ch)
            EXPECT_EQ(page.scales[static_cast<std::size_t>(ch)].on, ch < n) << n;
        if (n == 0)
            continue;
        EXPECT_EQ(page.strips[0].baseline, expected[n][2]) << n;
        EXPECT_EQ(page.strips[0].halfHeight, expected[n][3]) << n;
        // Consecutive strips, in channel order.
        for (int ch = 1; ch < n; ++ch)
            EXPECT_EQ(page.strips[static_cast<std::size_t>(ch)].baseline - page.strips[static_cast<std::size_t>(ch - 1)].baseline,
                      page.stripHeight);
    }
    // A switched-off channel leaves no gap: channel 1 off, channels 0, 2, 3 take three strips.
    switchOn(4);
    state::settings.channelSettings[1].on = false;
    const GraphSnapshot page = laidOut();
    EXPECT_EQ(page.strips[2].baseline, 13 + 133 + 66);
}

TEST_F(GraphPageTest, SampleHeightsWithCalibrationAndScaleAtTheirLimits)
{
    switchOn(1);  // scale unit 100, baseline 213
    data::recordings.primary.calibrationFactors = {1.0f, 1.3f, 0.7f, 1.0f, 1.0f, 1.0f, 1.0f};
    auto& c = state::settings.channelSettings;
    c[0].scale = 10;
    GraphSnapshot page = laidOut();
    EXPECT_EQ(page.sampleY(0, 1000), 213 - 1250);  // 1000 x 0.125 x 100 / 10
    EXPECT_EQ(page.sampleY(0, -8), 213 + 10);
    c[0].scale = 2000;
    page = laidOut();
    EXPECT_EQ(page.sampleY(0, 1000), 213 - 6);  // 6.25 truncated toward zero
    EXPECT_EQ(page.sampleY(0, -1000), 213 + 6);
    // Channel 1 with its factor 1.3: -32767 x 0.125 x 1.3 x 100 / 2000 = -266.2
    c[1].on = true;
    c[0].on = false;
    c[1].scale = 2000;
    page = laidOut();
    EXPECT_EQ(page.sampleY(1, -32767), 213 + 266);
}

TEST_F(GraphPageTest, ArtifactLimitsAndTheEmgAndEcgStrips)
{
    switchOn(4);  // scale unit 25
    fill(0, 0, false);
    auto& c = state::settings.channelSettings;
    c[0].artifact = 1000;
    c[0].scale = 200;
    c[1].artifact = 20;
    c[1].scale = 2000;  // 20 x 25 / 2000 = 0
    GraphSnapshot page = laidOut();
    EXPECT_EQ(page.scales[0].limit, 125);
    EXPECT_EQ(page.scales[1].limit, 0);
    EXPECT_EQ(page.scales[2].limit, 400);  // EMG: no limit
    EXPECT_FALSE(page.scales[2].artifactLines);
    EXPECT_FALSE(page.scales[3].artifactLines);
    EXPECT_EQ(page.strips[2].name, "EMG");
    EXPECT_EQ(page.strips[3].name, "ECG");
    EXPECT_EQ(page.scales[2].scaleLabel, c[2].scale * 10);
    data::recordings.primary.header[data::hw::channelMode] = 1;
    data::recordings.primary.header[data::hw::channelModeCopy] = 1;
    page = laidOut();
    EXPECT_EQ(page.strips[2].name, "EEG3");
    EXPECT_EQ(page.strips[3].name, "EEG4");
    EXPECT_TRUE(page.scales[3].artifactLines);
}

TEST_F(GraphPageTest, APageFromSample256kShowsEpochsKPlusOneAndTwo)
{
    switchOn(4);
    fill(256 * 12, 100);
    for (std::uint32_t k : {0u, 1u, 5u, 9u}) {
        const GraphSnapshot page = renderPage(data::recordings.primary, 256 * k, geometry);
        EXPECT_EQ(page.segments.firstHalf, static_cast<int>(k) + 1) << k;
        EXPECT_EQ(page.segments.secondHalf, static_cast<int>(k) + 2) << k;
        EXPECT_EQ(page.segments.current, static_cast<int>(k) + 2) << k;
    }
    // The last page holds what is left; the columns beyond have no sample.
    const GraphSnapshot last = renderPage(data::recordings.primary, 256 * 11, geometry);
    EXPECT_EQ(last.segments.secondHalf, 0);
    EXPECT_EQ(last.strips[0].samples[255], 100);
    EXPECT_EQ(last.strips[0].samples[256], kNoSample);
    EXPECT_EQ(pageCount(data::recordings.primary), 6u);
}

TEST_F(GraphPageTest, RejectedColumnsByEachRule)
{
    switchOn(2);
    fill(256 * 8, 0);
    data::Recording& rec = data::recordings.primary;
    rec.epochSelected.fill(true);
    rec.epochMarks.fill(true);
    monitor::MonitorState& m = monitor::monitorState;
    const int left = geometry.graphLeft(), top = geometry.graphTop();

    // Before the monitor's current epoch (3): by the selection.
    m.currentEpoch = 3;
    rec.epochSelected[data::epochIndex(rec, 2)] = false;
    rec.epochMarks[data::epochIndex(rec, 2)] = true;
    GraphSnapshot page = renderPage(rec, 512, geometry);  // epochs 2 and 3
    ASSERT_EQ(page.rejectedRegion.size(), 1u);
    EXPECT_EQ(page.rejectedRegion[0], (PlotRect{left, top, left + 256, top + 400}));

    // The current epoch while it is being filled: by the monitor's own state.
    m.playThreadRunning = true;
    m.epochSample = 99;
    m.epochRejected = true;
    rec.epochSelected[data::epochIndex(rec, 2)] = true;
    page = renderPage(rec, 512, geometry);
    ASSERT_EQ(page.rejectedRegion.size(), 1u);
    EXPECT_EQ(page.rejectedRegion[0], (PlotRect{left + 256, top, left + 512, top + 400}));
    m.epochSample = 255;  // complete: the file's flags count, and they keep it
    page = renderPage(rec, 512, geometry);
    EXPECT_TRUE(page.rejectedRegion.empty());

    // Later epochs: by the file's epoch flags.
    m.playThreadRunning = false;
    rec.epochMarks[data::epochIndex(rec, 5)] = false;
    page = renderPage(rec, 1024, geometry);  // epochs 4 and 5
    ASSERT_EQ(page.rejectedRegion.size(), 1u);
    EXPECT_EQ(page.rejectedRegion[0], (PlotRect{left + 256, top, left + 512, top + 400}));
    rec.epochSelected[data::epochIndex(rec, 5)] = false;  // the selection does not count for a later epoch
    rec.epochMarks[data::epochIndex(rec, 5)] = true;
    EXPECT_TRUE(renderPage(rec, 1024, geometry).rejectedRegion.empty());
}

TEST_F(GraphPageTest, MarksComeFromTheFirstConditionSeries)
{
    switchOn(1);
    fill(256 * 4, 0);
    data::Recording& rec = data::recordings.primary;
    rec.conditionData[0][data::epochIndex(rec, 1)] = 7;
    const GraphSnapshot page = renderPage(rec, 0, geometry);
    EXPECT_FALSE(page.epochMarkLine[255]);
    EXPECT_TRUE(page.epochMarkLine[256]);
    EXPECT_TRUE(page.epochMarkLine[511]);
}

TEST_F(GraphPageTest, TheLivePageIsNeverTouchedByAnOffScreenPage)
{
    switchOn(2);
    fill(2048, 55);
    graphPage.layOut(data::recordings.primary);
    graphPage.clear();
    graphPage.setSample(0, 10, 123);
    graphPage.setSegments({4, 3, 4});
    renderPage(data::recordings.primary, 1024, geometry);
    const GraphSnapshot live = graphPage.snapshot();
    EXPECT_EQ(live.strips[0].samples[10], 123);
    EXPECT_EQ(live.strips[0].samples[11], kNoSample);
    EXPECT_EQ(live.segments, (SegmentNumbers{4, 3, 4}));
    EXPECT_FALSE(graphPage.empty());
    graphPage.clear();
    EXPECT_TRUE(graphPage.empty());
}
