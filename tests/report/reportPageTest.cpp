#include <gtest/gtest.h>

#include "analysis/spectralSums.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "report/patientBlock.h"
#include "report/reportPage.h"
#include "report/secondsRange.h"
#include "support/sampleRecording.h"

using namespace report;
using data::recordings;
namespace hw = data::hw;

namespace {

class ReportPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::settings.reset();
        state::startup.reset();
        state::startup.startingUp = false;
    }
    void TearDown() override { SetUp(); }

    void fourChannelsWithSums()
    {
        auto& r = recordings.primary;
        r.header[hw::contentFlags] = data::content::report | data::content::summary;
        r.header[hw::channelMode] = 1;
        r.header[hw::totalEpochs] = 1;
        for (int c = 0; c < 4; ++c)
            for (int j = 0; j < 32; ++j)
                analysis::spectralSums.kind(0).power[c][j] = 500;
    }
};

}  // namespace

TEST_F(ReportPageTest, LineCountsWithAndWithoutReportText)
{
    ReportPage page;
    recordings.primary.header[hw::contentFlags] = data::content::report;
    page.layout();
    EXPECT_EQ(page.reportLineCount(), 29);
    EXPECT_EQ(page.totalLineCount(), 29);  // no spectral sums: no analysis lines
    recordings.primary.header[hw::contentFlags] |= 0x0100;
    for (int i = 0; i < 10; ++i)
        recordings.primary.reportText += "\"line\"\r";
    page.layout();
    EXPECT_EQ(page.reportLineCount(), 15);
}

TEST_F(ReportPageTest, BandsWithoutSpectrumShowTheirAnalysisLines)
{
    fourChannelsWithSums();
    ReportPage page;
    page.showBands = true;
    page.showSpectrum = false;
    page.layout();
    ASSERT_EQ(page.totalLineCount(), 29 + 88);
    std::vector<int> shown;
    for (int k = 0; k < 88; ++k)
        if (page.isShown(29 + k))
            shown.push_back(k);
    std::vector<int> expected;
    for (int k = 0; k <= 10; ++k)
        expected.push_back(k);
    for (int k = 43; k <= 54; ++k)
        expected.push_back(k);
    expected.push_back(87);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(page.line(29 + 44 + 1, ReportMode::Columns), "Total Power Spectral Analysis for EEG3 and EEG4:");
    page.showBands = false;
    page.showSpectrum = true;
    page.layout();
    EXPECT_TRUE(page.isShown(29 + 3));
    EXPECT_FALSE(page.isShown(29 + 4));
    EXPECT_FALSE(page.isShown(29 + 54));
    EXPECT_TRUE(page.isShown(29 + 55));  // the second pair's 0.78 Hz row, as the first pair's is shown
    EXPECT_EQ(page.line(29 + 55, ReportMode::Columns).substr(0, 11), "       0.78");
}

TEST_F(ReportPageTest, GraphRowsAndTimeScale)
{
    auto& r = recordings.primary;
    r.header[hw::contentFlags] = data::content::rawEeg;
    for (int i = 0; i < 13 * 200; ++i)
        data::channelAppend(r, 0, 1);
    ReportPage page;
    page.showGraph = true;
    page.layout(true);
    EXPECT_EQ(page.graphTo, 13u);
    EXPECT_EQ(page.graphSecondsPerRow(), 6);
    EXPECT_EQ(page.graphRows(), 3);
    EXPECT_EQ(page.graphLinesPerRow(), 17);
    EXPECT_FALSE(page.timeScaleUp() && page.timeScaleUp() && page.timeScaleUp() && page.timeScaleUp() && page.timeScaleUp());
    EXPECT_EQ(page.timeScaleIndex, 8);
    EXPECT_EQ(state::settings.reportTimeScale, 8);
    page.timeScaleIndex = 0;
    EXPECT_FALSE(page.timeScaleDown());
    for (auto& channel : state::settings.channelSettings)
        channel.on = false;
    page.layout();
    EXPECT_EQ(page.graphRows(), 0);  // every channel off: no strip
}

TEST_F(ReportPageTest, GraphRangeDialogText)
{
    recordings.primary.lengthSeconds = 120;
    ReportPage page;
    page.graphTo = 120;
    for (const char* text : {"10 - 20", "10 20", "10 , 20", " 10-20\r\n"}) {
        page.graphFrom = 0;
        page.graphTo = 120;
        EXPECT_TRUE(page.setGraphRange(text)) << text;
        EXPECT_EQ(page.graphFrom, 10u);
        EXPECT_EQ(page.graphTo, 20u);
    }
    EXPECT_FALSE(page.setGraphRange("30-10"));
    EXPECT_EQ(page.graphFrom, 10u);
    EXPECT_TRUE(page.setGraphRange("10-9999"));
    EXPECT_EQ(page.graphTo, 120u);
    EXPECT_FALSE(page.setGraphRange("abc"));
    std::uint32_t from = 5, to = 6;
    EXPECT_FALSE(parseSecondsRange("121-130", 120, from, to));
    EXPECT_EQ(formatSecondsRange(from, to), "5-6");
}

TEST_F(ReportPageTest, PatientBlockRules)
{
    data::PatientSet p;
    p.text = {"A1", "", "", "", "  \r\n \r\n"};
    for (int age : {0, 200}) {
        p.patientAge = age;
        EXPECT_EQ(makePatientBlock(p).idLine, "ID: A1   Sex: M") << age;
    }
    EXPECT_TRUE(makePatientBlock(p).comments.empty());
    p.text[data::patientComments] = "\r\nfirst\r\n\r\nthird\r\n\r\n";
    EXPECT_EQ(makePatientBlock(p).comments, (std::vector<std::string>{"first", "", "third"}));
    EXPECT_EQ(wrapComments(std::string(70, 'x')), (std::vector<std::string>{std::string(64, 'x'), std::string(6, 'x')}));
    EXPECT_EQ(wrapComments("aaaa bbbb cccc", 10), (std::vector<std::string>{"aaaa bbbb ", "cccc"}));
}

TEST_F(ReportPageTest, OptionsAtCreation)
{
    state::startup.startingUp = true;
    state::startup.reportNoInfo = true;
    state::startup.reportBandsOpt = true;
    ReportPage startPage;
    EXPECT_FALSE(startPage.showPatientInfo);
    EXPECT_TRUE(startPage.showBands);
    ReportPage secondary(true);
    EXPECT_TRUE(secondary.showPatientInfo && secondary.showBands);
    EXPECT_FALSE(secondary.showSpectrum || secondary.showGraph);
    state::startup.reportImages = true;
    ReportPage images;
    EXPECT_FALSE(images.showReport || images.showPatientInfo);
    EXPECT_TRUE(images.showGraph && images.showGraphColor);
}
