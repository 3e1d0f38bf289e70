#include <gtest/gtest.h>

#include "analysis/bandAnalysis.h"
#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/spectralModes.h"
#include "support/sampleRecording.h"

using namespace analysis;
using data::recordings;
namespace hw = data::hw;

namespace {

class BandAnalysis : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        recordings.primary.header[hw::totalEpochs] = 1;
        for (int c = 0; c < 2; ++c)
            for (int j = 0; j < kBins; ++j)
                spectralSums.kind(0).power[c][j] = 1920.0f * (c + 1);  // 10 and 20 uV^2 a bin
        for (int j = 0; j < kBins; ++j)
            spectralSums.kind(0).crossRe[0][j] = 1920.0f;
        divisor = monitor::computeSpectralTable(Recorded);
        bands = bandSets[0];
        for (auto& b : bands)
            computeBand(b, spectralTables, Recorded, divisor, gains());
    }
    void TearDown() override { testing_support::resetCore(); }

    static const float* gains() { return recordings.primary.calibrationFactors.data(); }

    std::string line(int n, std::uint16_t format, unsigned pair = 0, const data::Recording& rec = recordings.primary)
    {
        const BandArray array = bandArrayOf(bands);
        return formatSpectralLine(spectralTables, monitor::tableSubjectOf(rec), n, &array, Recorded, pair, format);
    }

    std::uint32_t divisor = 0;
    BandGroup bands;
};

}  // namespace

TEST_F(BandAnalysis, TotalBandCopiesTheTotals)
{
    EXPECT_EQ(bands[0].relativeA, 1.0f);
    EXPECT_EQ(bands[0].powerA, 1920.0f * 32);
    EXPECT_EQ(bands[0].asymmetry, spectralTables.spectralTable[Recorded][kTotalRow][col::asymmetry]);
    EXPECT_EQ(line(4, LineFormat::Csv), "\"Total 0.7-25.0\",   320.0,   640.0,100.0,100.0, 66.7, 50.0");
    EXPECT_EQ(line(4, LineFormat::Tabbed),
              "Total\t\t 0.7-25.0  \b\t   320.0\b\t   640.0\b\t100.0\b\t100.0\b\t 66.7\b\t 50.0\b");
    EXPECT_EQ(line(4, LineFormat::Fixed),
              "Total  0.7-25.0" + std::string(6, ' ') + "320.0      640.0   100.0   100.0    66.7    50.0");
}

TEST_F(BandAnalysis, BandSumsItsBinRows)
{
    // Delta 0.7 to 3.5 Hz: rows 0 to 3.
    EXPECT_EQ(bands[1].powerA, 4 * 1920.0f);
    EXPECT_FLOAT_EQ(bands[1].relativeA, 4.0f / 32.0f);
    EXPECT_FLOAT_EQ(bands[1].coherence, 4 * 1920.0f * 1920 / (4 * 1920.0f * 3840));
    EXPECT_EQ(line(5, LineFormat::Csv), "\"Delta 0.7- 3.5\",    40.0,    80.0, 12.5, 12.5, 66.7, 50.0");
    BandRecord empty = bands[1];
    empty.low = 3.6f;
    empty.high = 3.7f;
    computeBand(empty, spectralTables, Recorded, divisor, gains());
    EXPECT_EQ(empty.powerA, 0.0f);
    EXPECT_EQ(empty.relativeA, 0.0f);
    EXPECT_EQ(empty.asymmetry, -1.0f);
    EXPECT_EQ(empty.coherence, -1.0f);
}

TEST_F(BandAnalysis, BandPowersOfExactlyNineHundredSixtyShowNotAvailable)
{
    testing_support::resetCore();
    recordings.primary.header[hw::totalEpochs] = 1;
    for (int c = 0; c < 2; ++c)
        for (int j = 0; j < 4; ++j)
            spectralSums.kind(0).power[c][j] = 240.0f;
    const std::uint32_t d = monitor::computeSpectralTable(Recorded);
    BandRecord delta = bandSets[0][1];
    computeBand(delta, spectralTables, Recorded, d, gains());
    EXPECT_EQ(delta.powerA, 960.0f);
    EXPECT_EQ(delta.asymmetry, -1.0f);
    EXPECT_EQ(delta.coherence, -1.0f);
    BandRecord none = bandSets[0][1];
    computeBand(none, spectralTables, Recorded, 0, gains());
    EXPECT_EQ(none.powerA, 0.0f);
    EXPECT_EQ(none.relativeA, -1.0f);
}

TEST_F(BandAnalysis, PairWithAnUncomputedChannelShowsZeroAndNotAvailable)
{
    for (auto& b : bands) {
        b.pair = 2;  // EEG1 and EEG3 in a two-channel recording
        computeBand(b, spectralTables, Recorded, divisor, gains());
    }
    EXPECT_EQ(line(4, LineFormat::Csv, 2), "\"Total 0.7-25.0\",   320.0,     0.0,100.0,100.0,\"N/A\",\"N/A\"");
    EXPECT_EQ(line(5, LineFormat::Csv, 2), "\"Delta 0.7- 3.5\",    40.0,     0.0, 12.5,\"N/A\",\"N/A\",\"N/A\"");
    EXPECT_EQ(line(3, LineFormat::Csv, 2), "\"\",\"EEG1\",\"EEG3\",\"EEG1\",\"EEG3\"");
}

TEST_F(BandAnalysis, FixedLinesAndHeadings)
{
    EXPECT_EQ(line(0, LineFormat::Csv), "\"\"");
    EXPECT_EQ(line(0, LineFormat::Tabbed), " ");
    EXPECT_EQ(line(0, LineFormat::Fixed), " ");
    EXPECT_EQ(line(44, LineFormat::Csv), "");
    EXPECT_EQ(line(1, LineFormat::Tabbed), "Total Power Spectral Analysis for EEG1 and EEG2:");
    recordings.primary.header[hw::eegSeizureDetected] = 1;
    EXPECT_EQ(line(1, LineFormat::Csv), "\"Seizure Power Spectral Analysis for EEG1 and EEG2:\"");
    EXPECT_EQ(line(1, LineFormat::Tabbed, 0, recordings.secondary), "Total Power Spectral Analysis for EEG1 and EEG2:");
    EXPECT_EQ(line(2, LineFormat::Csv), "\"Frequency Hz\",\"Absolute \xB5V\xB2\",\" \",\"Relative %\",\" \",\"Asym %\",\"Coh %\"");
    EXPECT_EQ(line(2, LineFormat::Tabbed), "Frequency Hz\t\t\t\tAbsolute \xB5V\xB2\b\t\tRelative %\b\tAsym %\b\tCoh %\b");
    EXPECT_EQ(line(2, LineFormat::Fixed), "Frequency Hz" + std::string(12, ' ') + "Absolute \xB5V\xB2" +
                                              std::string(6, ' ') + "Relative %" + std::string(4, ' ') + "Asym %" +
                                              std::string(3, ' ') + "Coh %");
    EXPECT_EQ(line(3, LineFormat::Tabbed, 1), "\t\t\tEEG3\b\tEEG4\b\tEEG3\b\tEEG4\b");
    const std::string heads = line(3, LineFormat::Fixed);
    EXPECT_EQ(heads, std::string(22, ' ') + "EEG1" + std::string(7, ' ') + "EEG2" + "    EEG1    EEG2");
    EXPECT_EQ(line(11, LineFormat::Csv), " 0.78,    10.0,    20.0,  3.1,  3.1, 66.7, 50.0");
    EXPECT_EQ(line(42, LineFormat::Fixed), "      25.00" + std::string(11, ' ') + "10.0       20.0     3.1     3.1    66.7    50.0");
    EXPECT_EQ(line(11, LineFormat::Tabbed), "\t 0.78\b\t\t    10.0\b\t    20.0\b\t  3.1\b\t  3.1\b\t 66.7\b\t 50.0\b");
    EXPECT_EQ(line(43, LineFormat::Csv), "\"Mean Frequencies Hz:\",12.89,12.89");
    EXPECT_EQ(line(43, LineFormat::Fixed), "Mean Frequencies Hz: 12.89      12.89");
}
