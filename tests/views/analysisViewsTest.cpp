// The core of the Bands, Spectrum and FFT views: the SetBands text forms, the
// saved window state, the FFT bars and page count, the epoch count line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "analysis/spectralSums.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorState.h"
#include "state/settings.h"
#include "support/sampleRecording.h"
#include "views/fftPage.h"
#include "views/tableLines.h"
#include "views/tableState.h"

using namespace views;

TEST(SetBands, TheThreeNumberFormsAndTheValidityRule)
{
    for (const char* text : {"3.5-8", "3.5 8", "3.5,8", "3.5 , 8", "  3.5 -  8.0", "3.5  -8.0"}) {
        const auto limits = parseBandLimits(text);
        ASSERT_TRUE(limits.has_value()) << text;
        EXPECT_EQ(limits->first, 3.5f) << text;
        EXPECT_EQ(limits->second, 8.0f) << text;
    }
    for (const char* text : {"8-3.5", "0.5-4", "4-25.5", "3.5", "", "abc", "3.5-3.5"})
        EXPECT_FALSE(parseBandLimits(text).has_value()) << text;
    // The ends of the range are allowed.
    EXPECT_TRUE(parseBandLimits("0.7-25").has_value());
    EXPECT_EQ(bandMenuText({0, "Theta", 3.5f, 8.0f}), "&Theta...    3.5  -   8.0");
    EXPECT_EQ(bandEditText(3.5f, 8.0f), "3.5  -8.0");
    EXPECT_EQ(bandDefaultText(3.5f, 8.0f), "   3.5  -   8.0");
}

TEST(TableWindowState, SavedBlocksReadBackAndBadValuesBecomeDefaults)
{
    TableWindowSettings s;
    s.pair = 3;
    s.currentSegment = true;
    for (int i = 0; i < 7; ++i)
        s.limits[static_cast<std::size_t>(i)] = {analysis::bandSets[0][static_cast<std::size_t>(i)].low,
                                                 analysis::bandSets[0][static_cast<std::size_t>(i)].high};
    s.limits[2] = {3.5f, 9.0f};
    s.fontFamily = "Liberation Mono";
    s.fontPointSize = 11;
    s.fontBold = false;
    s.fontItalic = true;
    const auto bands = encodeTableState(s, true);
    ASSERT_EQ(bands.size(), 504u);
    EXPECT_EQ(bands[180], 3);
    EXPECT_EQ(bands[184], 0);  // EEG1&4: channels 0 and 3
    EXPECT_EQ(bands[188], 3);
    EXPECT_EQ(bands[192], 1);
    const TableWindowSettings back = decodeTableState(bands, true);
    EXPECT_EQ(back.pair, 3u);
    EXPECT_TRUE(back.currentSegment);
    EXPECT_EQ(back.limits[2], (std::pair<float, float>{3.5f, 9.0f}));
    EXPECT_EQ(back.fontFamily, "Liberation Mono");
    EXPECT_EQ(back.fontPointSize, 11);
    EXPECT_FALSE(back.fontBold);
    EXPECT_TRUE(back.fontItalic);
    EXPECT_EQ(decodeTableState(encodeTableState(s, false), false).fontPointSize, 11);  // Spectrum blocks keep it too
    EXPECT_EQ(encodeTableState(s, false).size(), 196u);

    // A damaged block: a pair of 9, a mode of 7, reversed and out-of-range limits.
    auto damaged = bands;
    damaged[180] = 9;
    damaged[192] = 7;
    const float reversed[2] = {8.0f, 3.5f}, outside[2] = {0.5f, 4.0f};
    std::memcpy(&damaged[196 + 40 * 2 + 8], reversed, 8);
    std::memcpy(&damaged[196 + 40 * 1 + 8], outside, 8);
    damaged[52] = 0;  // a font of no size is the default font
    damaged[53] = damaged[54] = damaged[55] = 0;
    const TableWindowSettings fixed = decodeTableState(damaged, true);
    EXPECT_TRUE(fixed.fontFamily.empty());
    EXPECT_EQ(fixed.pair, 0u);
    EXPECT_TRUE(fixed.currentSegment);  // any nonzero value counts as 1
    EXPECT_EQ(fixed.limits[2], (std::pair<float, float>{3.5f, 8.0f}));  // the default Theta
    EXPECT_EQ(fixed.limits[1], (std::pair<float, float>{0.7f, 3.5f}));  // the default Delta
    // A short block keeps the defaults.
    EXPECT_EQ(decodeTableState({1, 2, 3}, true).pair, 0u);
}

namespace {

class FftPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::settings.reset();
        monitor::monitorState.reset();
        monitor::epochData.reset();
        for (auto& c : state::settings.channelSettings)
            c.scale = 100;
        data::Recording& rec = data::recordings.primary;
        rec.calibrationFactors.fill(1.0f);
        rec.header[data::hw::channelMode] = rec.header[data::hw::channelModeCopy] = 1;
        rec.header[data::hw::contentFlags] = data::content::rawEeg;
        rec.epochSelected.fill(true);
        rec.epochMarks.fill(true);
        geometry.lineHeight = 13;
    }
    void TearDown() override
    {
        state::settings.reset();
        monitor::monitorState.reset();
        testing_support::resetCore();
    }
    // Four channels of `epochs` epochs: a sine at bin `bin` (of the 100 Hz
    // half-rate spectrum), louder in epochs at or after `loudFrom`.
    void sine(int bin, int epochs, int loudFrom = 1000)
    {
        data::Recording& rec = data::recordings.primary;
        for (int ch = 0; ch < 4; ++ch)
            for (int i = 0; i < epochs * 256; ++i) {
                const double amplitude = i / 256 >= loudFrom ? 6000 : 1500;
                data::channelAppend(rec, ch, static_cast<std::int16_t>(amplitude * std::sin(2 * M_PI * bin * (i / 2) / 128.0)));
            }
    }
    static int tallest(const FftStrip& strip)
    {
        return static_cast<int>(std::min_element(strip.barTop.begin(), strip.barTop.end()) - strip.barTop.begin()) + 1;
    }
    monitor::PageGeometry geometry;
};

}  // namespace

TEST_F(FftPageTest, StripsForTheEegChannelsOnly)
{
    sine(5, 2);
    data::recordings.primary.header[data::hw::channelMode] = 0;  // two channels: EEG1 and EEG2 only
    FftSnapshot page = fftPage(data::recordings.primary, geometry);
    EXPECT_EQ(page.stripHeight, 200);
    EXPECT_EQ(page.unit, 66);
    EXPECT_FALSE(page.strips[2].on);
    EXPECT_EQ(page.strips[0].bottom, 13 + 199);
    EXPECT_EQ(page.strips[1].bottom, 13 + 399);
    data::recordings.primary.header[data::hw::channelMode] = 1;
    page = fftPage(data::recordings.primary, geometry);
    EXPECT_EQ(page.stripHeight, 100);
    EXPECT_EQ(page.unit, 33);
    EXPECT_FALSE(page.hasData);
    EXPECT_EQ(page.segmentLabel, "Segment:");
}

TEST_F(FftPageTest, ASineAtBinKHasItsTallestBarAtK)
{
    for (int bin : {3, 10, 24}) {
        SetUp();
        sine(bin, 4);
        for (bool current : {false, true}) {
            state::settings.spectrumCurrentSegment = current;
            const FftSnapshot page = renderFftPage(data::recordings.primary, 3, geometry);
            ASSERT_TRUE(page.hasData);
            for (int ch = 0; ch < 4; ++ch)
                EXPECT_EQ(tallest(page.strips[static_cast<std::size_t>(ch)]), bin) << bin << " " << ch;
            EXPECT_EQ(page.segmentLabel, current ? "Segment: 4 (current)" : "Segment: 4 (accumulated)");
        }
    }
    // The live analysis state is what it was.
    EXPECT_EQ(monitor::monitorState.processedEpochCount, 0);
    EXPECT_EQ(analysis::spectralSums.kind(2).power[0][2], 0.0f);
}

TEST_F(FftPageTest, CurrentAndAverageDifferAsTheModesSay)
{
    sine(8, 4, 3);  // the last epoch four times as loud
    state::settings.spectrumCurrentSegment = true;
    const FftSnapshot current = renderFftPage(data::recordings.primary, 3, geometry);
    state::settings.spectrumCurrentSegment = false;
    const FftSnapshot average = renderFftPage(data::recordings.primary, 3, geometry);
    const int base = current.strips[0].bottom - 1;
    const int currentHeight = base - current.strips[0].barTop[7], averageHeight = base - average.strips[0].barTop[7];
    EXPECT_GT(currentHeight, averageHeight);
    // Amplitudes: 4 in the last epoch, 1 in three others; the average power is (16 + 3) / 4 of one quiet epoch.
    EXPECT_NEAR(static_cast<double>(averageHeight) / currentHeight, std::sqrt(19.0 / 4) / 4, 0.05);
    // A rejected last epoch shades the background by the mode.
    data::recordings.primary.epochMarks[3] = false;
    EXPECT_EQ(renderFftPage(data::recordings.primary, 3, geometry).shade, FftSnapshot::Shade::rejectedAccumulated);
    state::settings.spectrumCurrentSegment = true;
    EXPECT_EQ(renderFftPage(data::recordings.primary, 3, geometry).shade, FftSnapshot::Shade::rejectedCurrent);
}

TEST_F(FftPageTest, AmplitudesNeverOverflowAndPagesStayInTheRecording)
{
    // Loud EEG summed over 670 epochs passes 2^31: the average is divided first.
    EXPECT_EQ(binAmplitude(4.0e9), 63246u);
    EXPECT_EQ(binAmplitude(1.0e12), 65535u);  // held at the 32-bit range
    EXPECT_EQ(binAmplitude(-5), 0u);
    EXPECT_EQ(binAmplitude(100), 10u);
    data::Recording& rec = data::recordings.primary;
    rec.header[data::hw::contentFlags] = data::content::fftData;
    rec.header[data::hw::epochCount] = 700;  // a file that claims more than a recording holds
    EXPECT_EQ(fftPageCount(rec), 670u);
    rec.header[data::hw::contentFlags] = data::content::rawEeg;
    sine(2, 3);
    EXPECT_EQ(fftPageCount(rec), 3u);
}

TEST_F(FftPageTest, TheEpochCountLineCountsWhatHasArrivedWhileMonitoring)
{
    sine(2, 5);
    data::Recording& rec = data::recordings.primary;
    rec.header[data::hw::contentFlags] = data::content::rawEeg | data::content::monitoring;
    rec.header[data::hw::epochCount] = 0;
    monitor::monitorState.liveSession = true;
    EXPECT_EQ(epochCountLine(analysis::LineFormat::Fixed, false), "Segments:     Collected- 5      Computed- 0");
    monitor::monitorState.liveSession = false;
    EXPECT_EQ(epochCountLine(analysis::LineFormat::Csv, true), "\"Segments:\",\"Collected-\",0,\"Current-\",0");
}
