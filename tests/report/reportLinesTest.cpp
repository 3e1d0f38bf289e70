#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "analysis/spectralSums.h"
#include "data/recordingStore.h"
#include "report/reportLines.h"
#include "support/sampleRecording.h"

using namespace data;
using namespace report;

namespace {

class ReportLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        rec.header[hw::contentFlags] = content::report;  // a treatment without report text
    }
    void TearDown() override { testing_support::resetCore(); }

    std::string line(int i, ReportRequest mode = ReportMode::Csv) { return reportLine(source, i, mode); }
    std::string built(int i, ReportRequest mode) { return reportLineBuilders[i](source, mode); }

    Recording& rec = recordings.primary;
    const ReportSource source{rec, analysis::spectralSums.kind(1)};
};

}  // namespace

TEST_F(ReportLines, LineCountFromTextOrBuiltIn)
{
    EXPECT_EQ(reportLineCount(rec), 29);
    rec.reportText = "\"a\"\r\"b\"\r";
    EXPECT_EQ(reportLineCount(rec), 29);  // high byte clear: built-in report
    rec.header[hw::contentFlags] |= 0x0100;
    EXPECT_EQ(reportLineCount(rec), 7);
    EXPECT_EQ(line(2), "\"a\"");
    EXPECT_EQ(line(3), "\"b\"");
    rec.reportText = "\"a\"\r\n\"b\"\r";
    EXPECT_EQ(reportLineCount(rec), 6);  // a control character after a CR ends the text
    EXPECT_EQ(line(2), "\"a\"");
    EXPECT_EQ(rec.reportText, "\"a\"\r\n\"b\"\r");  // counting changes nothing
    rec.reportText = "\"a\"\r\"tail\"";
    EXPECT_EQ(reportLineCount(rec), 6);  // a last fragment without CR is no line
}

TEST_F(ReportLines, ThreeFormsOfAValueLine)
{
    rec.header[hw::energySet] = 100;
    EXPECT_EQ(line(2, ReportMode::Csv), "\"% Energy Set\",100,\" %\"");
    EXPECT_EQ(line(2, ReportMode::Screen), "% Energy Set\t\t\t\t\t100\b %");
    EXPECT_EQ(line(2, ReportMode::Columns), "% Energy Set" + std::string(35, ' ') + "100 %");
    EXPECT_EQ(line(2, ReportMode::Columns).find(" %"), 50u);
}

TEST_F(ReportLines, StimulusValues)
{
    rec.header[hw::frequencyCode] = 0;
    rec.header[hw::pulseWidthCode] = 0;
    rec.header[hw::chargeDelivered] = 2525;
    rec.header[hw::current] = 90;
    rec.header[hw::stimulusDuration] = 35;
    EXPECT_EQ(line(7), "\"Frequency\",10,\" Hz\"");
    EXPECT_EQ(line(8), "\"Pulse Width\",0.25,\" mSec\"");
    EXPECT_EQ(line(4), "\"Charge Delivered\",252.5,\" mC\"");
    EXPECT_EQ(line(5), "\"Current\",0.90,\" A\"");
    EXPECT_EQ(line(6), "\"Stimulus Duration\",3.5,\" Sec\"");
    rec.header[hw::treatmentInterrupted] = 1;
    rec.header[hw::energyDelivered] = 457;
    EXPECT_EQ(line(3), "\"% Energy Delivered\",45.7,\" %\"");
    for (auto [ohm, text] : {std::pair{2999, "2999"}, {3000, ">3000"}, {65535, ">3000"}}) {
        rec.header[hw::staticImpedance] = static_cast<std::uint16_t>(ohm);
        EXPECT_EQ(line(9), std::string("\"Static Impedance\",") + text + ",\" Ohm\"");
    }
    EXPECT_EQ(line(10), "\"Dynamic Impedance\",\"N/A,\"");
    EXPECT_EQ(line(10, ReportMode::Screen), "Dynamic Impedance\t\t\t\t\tN/A\b");
}

TEST_F(ReportLines, EndpointsAndHeartRates)
{
    EXPECT_EQ(line(11), "\"Baseline is not available\"");
    rec.header[hw::baselineAvailable] = 1;
    EXPECT_EQ(line(11), "\"EEG Seizure is not detected\"");
    rec.header[hw::eegSeizureDetected] = 1;
    EXPECT_EQ(line(11), "\"EEG Endpoint is not detected\"");
    rec.header[hw::eegEndpoint] = 10;
    EXPECT_EQ(line(11), "\"EEG Endpoint\",13,\" Sec\"");
    rec.header[hw::eegEndpoint] = 1;
    EXPECT_EQ(line(11), "\"EEG Endpoint\",1,\" Sec\"");
    EXPECT_EQ(line(12), "\"EMG Activity is not detected\"");
    rec.header[hw::emgActivityDetected] = 1;
    EXPECT_EQ(line(12), "\"EMG Endpoint\",\"N/A,\"");
    for (auto [rate, shown] : {std::pair{10, false}, {11, true}, {199, true}, {200, false}}) {
        rec.header[hw::baseHeartRate] = static_cast<std::uint16_t>(rate);
        EXPECT_EQ(line(14), shown ? "\"Base Heart Rate\"," + std::to_string(rate) + ",\" b/m\""
                                  : std::string("\"Base Heart Rate\",\"N/A,\""));
    }
    rec.header[hw::channelModeCopy] = 1;
    EXPECT_EQ(line(13), "");
    EXPECT_EQ(line(14), "");
}

TEST_F(ReportLines, SeizureIndices)
{
    rec.header[hw::baselineAvailable] = 1;
    rec.header[hw::eegEndpoint] = 10;
    rec.header[hw::ecgEndpoint] = 10;
    EXPECT_EQ(line(18), "\"Seizure Generalization Index\",100,\" %\"");
    rec.header[hw::ecgEndpoint] = 0;
    EXPECT_EQ(line(18), "\"Seizure Generalization Index\",\"N/A,\"");
    rec.header[hw::channelMode] = 1;
    EXPECT_EQ(line(18), "");

    rec.header[hw::eegSeizureDetected] = 1;
    rec.resultValue[3] = 25.0f;
    rec.resultValue[1] = 100.0f;
    EXPECT_EQ(line(17), "\"Postictal Suppression Index\",50.0,\" %\"");
    rec.resultValue[3] = -4.0f;  // no value: never the root of a negative number
    EXPECT_EQ(line(17), "\"Postictal Suppression Index\",\"N/A,\"");
}

TEST_F(ReportLines, PowerAndAmplitudeUnitsAreSingleBytes)
{
    rec.resultValue[1] = 1200.0f;
    rec.calibrationFactors[0] = 1.0f;
    EXPECT_EQ(line(19), "\"Maximum Sustained Power\",6.2,\" \xB5V\xB2\"");
    rec.resultValue[1] = 4.0e7f;  // 4e7 / 2 * 62500 * 2.5e-7 / 1.5 = 208333.33
    EXPECT_EQ(line(19), "\"Maximum Sustained Power\",208333.3,\" \xB5V\xB2\"");
    rec.resultValue[4] = 10000.0f;  // sqrt 100 * 250 * 0.0005 / 1.2247449 = 10.206
    EXPECT_EQ(line(23), "\"Early Ictal Amplitude\",10.2,\" \xB5V\"");
    rec.resultValue[5] = 0.0f;
    EXPECT_EQ(line(25), "\"Post-Ictal Amplitude\",\"N/A,\"");
}

TEST_F(ReportLines, TitleDateAndClosingLines)
{
    rec.deviceName = "Corvane";
    EXPECT_EQ(line(0), "\"Corvane\"");
    EXPECT_EQ(line(0, ReportMode::Screen), "Corvane");
    rec.header[hw::month] = 6;
    rec.header[hw::day] = 26;
    rec.header[hw::year] = 95;
    rec.header[hw::hour] = 9;
    rec.header[hw::minute] = 5;
    rec.header[hw::second] = 7;
    EXPECT_EQ(line(1, ReportMode::Screen), "Treatment at  06/26/2095   09:05:07");
    rec.header[hw::year] = 96;
    EXPECT_EQ(line(1), "\"Treatment at  06/26/1996   09:05:07\"");
    rec.header[hw::programIndex] = 9;
    EXPECT_EQ(line(26, ReportMode::Screen), "Program Selected:   USER SET");
    EXPECT_EQ(rec.header[hw::programIndex], 5);
    rec.header[hw::alarmResult] = 1;
    EXPECT_EQ(line(28), "\"(Alarm Signal)\"");
    rec.header[hw::alarmTest] = 1;
    EXPECT_EQ(line(28, ReportMode::Screen), "(Alarm Test Passed)");
}

TEST_F(ReportLines, MonitoringRecordingHasNoStimulusLines)
{
    rec.header[hw::contentFlags] = content::monitoring;
    for (int i = 2; i <= 25; ++i)
        EXPECT_EQ(line(i), "") << i;
    EXPECT_EQ(line(26), "");
    rec.reportTitle = "MONITOR";
    EXPECT_EQ(line(26), "\"Program Selected:   MONITOR\"");
}

TEST_F(ReportLines, LongTextLinesAreCutExceptInCsv)
{
    rec.header[hw::contentFlags] |= 0x0100;
    const std::string longLine = "\"" + std::string(150, 'L') + "\",5,\" u\"";
    rec.reportText = longLine + "\r";
    EXPECT_EQ(line(2, ReportMode::Screen).size(), 99u);
    EXPECT_EQ(line(2, ReportMode::Csv), longLine);
}

TEST_F(ReportLines, AnyHeaderAndResultValuesStayWithinLimits)
{
    const float specials[] = {-1.0f, 0.0f, 1e30f, std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (std::uint16_t fill : {std::uint16_t{0}, std::uint16_t{65535}}) {
        for (float v : specials) {
            rec.header.fill(fill);
            rec.resultValue.fill(v);
            rec.calibrationFactors[0] = 1.3f;
            for (ReportRequest mode : {ReportMode::Screen, ReportMode::Csv, ReportMode::Columns})
                for (int i = 0; i < reportLineCount(rec); ++i)
                    ASSERT_LE(line(i, mode).size(), i == 26 ? 199u : 99u) << i;
        }
    }
}

TEST_F(ReportLines, IndexFormsWithInstrumentReportText)
{
    rec.header[hw::contentFlags] |= 0x0100;
    rec.reportText = "\"x\"\r";
    rec.header[hw::baselineAvailable] = 1;
    rec.header[hw::eegSeizureDetected] = 1;
    rec.header[hw::seizureEpochs] = 4;
    rec.calibrationFactors[0] = 1.0f;
    for (int j = 0; j < 32; ++j)
        analysis::spectralSums.kind(1).power[0][j] = 4000.0f;  // s = 32 x 1000
    // 32000 / 2 * 62500 * 2.5e-7 / 1.5 = 166.666...
    EXPECT_EQ(built(16, ReportMode::Csv), "\"Average Seizure Energy Index\",166.7,\" \xB5V\xB2\"");
    rec.header[hw::seizureEpochs] = 0;
    EXPECT_EQ(built(16, ReportMode::Csv), "\"Average Seizure Energy Index\",\"N/A,\"");
    rec.resultValue[6] = 400.0f;
    rec.resultValue[7] = 100.0f;
    EXPECT_EQ(built(17, ReportMode::Csv), "\"Postictal Suppression Index\",50.0,\" %\"");
    rec.resultValue[6] = 0.0f;
    EXPECT_EQ(built(17, ReportMode::Csv), "\"Postictal Suppression Index\",\"N/A,\"");

    rec.header[hw::contentFlags] &= 0x00FF;  // the built-in form
    rec.header[hw::eegSeizureDetected] = 1;
    rec.resultValue[0] = 1.0e9f;  // 1e9 / 2 * 1.28 * 62500 * 2.5e-7 / 1.5 / 1e6 = 6.666..
    EXPECT_EQ(built(16, ReportMode::Csv), "\"Seizure Energy Index\",6.667,\" mV\xB2\"");
    EXPECT_EQ(built(16, ReportMode::Screen), "Seizure Energy Index\t\t\t\t\t6.667\b mV\xB2");
    EXPECT_EQ(built(16, ReportMode::Columns),
              "Seizure Energy Index" + std::string(25, ' ') + "6.667 mV\xB2");
}

TEST_F(ReportLines, FlagWithoutTextGivesTheAverageIndexInEveryForm)
{
    // The text flag is set but the instrument sent no text: the built-in report
    // (29 lines) in which line 16 takes its report-text form.
    rec.header[hw::contentFlags] = 0x0101;
    rec.reportText.clear();
    rec.header[hw::baselineAvailable] = 1;
    rec.header[hw::eegSeizureDetected] = 1;
    rec.header[hw::seizureEpochs] = 4;
    rec.calibrationFactors[0] = 1.0f;
    for (int j = 0; j < 32; ++j)
        analysis::spectralSums.kind(1).power[0][j] = 4000.0f;
    ASSERT_EQ(reportLineCount(rec), 29);
    EXPECT_EQ(line(16, ReportMode::Csv), "\"Average Seizure Energy Index\",166.7,\" \xB5V\xB2\"");
    EXPECT_EQ(line(16, ReportMode::Screen), "Average Seizure Energy Index\t\t\t\t\t166.7\b \xB5V\xB2");
    EXPECT_EQ(line(16, ReportMode::Columns), "Average Seizure Energy Index                 166.7 \xB5V\xB2");
}

TEST_F(ReportLines, TitleIsTheWholeDeviceName)
{
    const std::string name = "Corvane EEG Monitor, Room 4, Department of Psychiatry, Saint Elsewhere Hosp. #80";
    ASSERT_EQ(name.size(), 80u);
    rec.deviceName = name;
    EXPECT_EQ(line(0, ReportMode::Screen), name);
    EXPECT_EQ(line(0, ReportMode::Columns), name);
    EXPECT_EQ(line(0, ReportMode::Csv), "\"" + name + "\"");
}

TEST_F(ReportLines, AReportOfItsOwnRecordingAndSumsLeavesTheProgramsAlone)
{
    // A report-text recording whose Average Seizure Energy Index reads the sums
    // given with it, and whose program index is limited on the way.
    auto own = std::make_unique<Recording>();
    own->header[hw::contentFlags] = content::report | 0x0100;
    own->reportText = "\"x\"\r";
    own->header[hw::baselineAvailable] = 1;
    own->header[hw::eegSeizureDetected] = 1;
    own->header[hw::seizureEpochs] = 4;
    own->header[hw::programIndex] = 9;
    own->calibrationFactors[0] = 1.0f;
    analysis::SpectralKind sums{};
    for (int j = 0; j < 32; ++j)
        sums.power[0][j] = 4000.0f;
    const ReportSource ownSource{*own, sums};
    const auto programHeader = rec.header;
    const analysis::SpectralSums programSums = analysis::spectralSums;
    ASSERT_EQ(reportLineCount(*own), 6);
    EXPECT_EQ(reportLine(ownSource, 2, ReportMode::Csv), "\"x\"");
    EXPECT_EQ(reportLine(ownSource, 3, ReportMode::Csv), "\"Program Selected:   USER SET\"");
    EXPECT_EQ(reportLineBuilders[16](ownSource, ReportMode::Csv), "\"Average Seizure Energy Index\",166.7,\" \xB5V\xB2\"");
    EXPECT_EQ(own->header[hw::programIndex], 5);
    EXPECT_EQ(rec.header, programHeader);
    EXPECT_EQ(std::memcmp(&programSums, &analysis::spectralSums, sizeof programSums), 0);
    // The program's recording, with no seizure sums, still has none.
    rec.header = own->header;
    rec.reportText = own->reportText;
    EXPECT_EQ(built(16, ReportMode::Csv), "\"Average Seizure Energy Index\",0.0,\" \xB5V\xB2\"");
}
