#include <gtest/gtest.h>

#include "analysis/spectralSums.h"
#include "data/byteLayer.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "data/streamFormat.h"
#include "data/streamReader.h"
#include "support/sampleRecording.h"

using namespace data;
using namespace testing_support;

namespace {

struct Snapshot {
    Recording rec;
    analysis::SpectralSums sums;
    static Snapshot take() { return {recordings.primary, analysis::spectralSums}; }
};

void expectSameSamples(const Recording& a, const Recording& b, int ch)
{
    ASSERT_EQ(a.rawChannels[ch].count, b.rawChannels[ch].count) << ch;
    for (std::uint32_t i = 0; i < a.rawChannels[ch].count; ++i)
        ASSERT_EQ(channelSampleAt(a, ch, i), channelSampleAt(b, ch, i)) << ch << ":" << i;
}

// Compares everything the stream carries for the recording's channel mode.
void expectRoundTrip(const Snapshot& before, const Recording& after)
{
    const Recording& a = before.rec;
    const bool four = a.header[hw::channelMode] == 1;
    EXPECT_EQ(a.header, after.header);
    EXPECT_EQ(a.resultValue, after.resultValue);
    EXPECT_EQ(a.calibrationFactors, after.calibrationFactors);
    EXPECT_EQ(a.deviceName, after.deviceName);
    EXPECT_EQ(a.reportTitle, after.reportTitle);
    EXPECT_EQ(a.reportText, after.reportText);
    EXPECT_EQ(a.additionalParams, after.additionalParams);
    for (int ch = 0; ch < kChannels; ++ch)
        expectSameSamples(a, after, ch);
    for (int s = 0; s < (four ? 1 : 3); ++s)
        EXPECT_EQ(a.conditionData[s], after.conditionData[s]) << s;
    for (int c = 0; c < (four ? 4 : 2); ++c)
        EXPECT_EQ(a.fftData[c], after.fftData[c]) << c;
    for (int k = 0; k < 2; ++k) {
        const auto& x = before.sums.kind(k);
        const auto& y = analysis::spectralSums.kind(k);
        for (int pair = 0; pair < (four ? 2 : 1); ++pair)
            for (int j = 0; j < analysis::kBins; ++j) {
                ASSERT_EQ(x.power[2 * pair][j], y.power[2 * pair][j]);
                ASSERT_EQ(x.power[2 * pair + 1][j], y.power[2 * pair + 1][j]);
                ASSERT_EQ(x.crossRe[pair][j], y.crossRe[pair][j]);
                ASSERT_EQ(x.crossIm[pair][j], y.crossIm[pair][j]);
            }
    }
    for (std::uint32_t e = 0; e < a.epochCount(0); ++e)
        EXPECT_EQ(a.epochSelected[e], after.epochMarks[e]) << e;
    EXPECT_EQ(a.marker56, after.marker56);
    EXPECT_EQ(a.marker57, after.marker57);
    EXPECT_EQ(a.patient.text[patientId], after.patient.text[patientId]);
    EXPECT_EQ(a.patient.text[patientComments], after.patient.text[patientComments]);
    EXPECT_EQ(after.patient.patientAge, 57);
    EXPECT_EQ(after.patient.patientSex, kSexFemale);
}

class StreamRoundTrip : public ::testing::TestWithParam<SampleOptions> {
protected:
    void SetUp() override { resetCore(); }
    void TearDown() override { resetCore(); }
    TempDir dir;
};

}  // namespace

TEST_P(StreamRoundTrip, WrittenStreamReadsBackAndRewritesIdentically)
{
    fillPrimary(GetParam());
    const Snapshot before = Snapshot::take();
    writePrimary(dir.file("a.dat"));
    resetCore();
    readPrimary(dir.file("a.dat"));
    expectRoundTrip(before, recordings.primary);

    // Open then Save As writes back exactly what was read, rejections included.
    writePrimary(dir.file("b.dat"));
    EXPECT_EQ(fileBytes(dir.file("a.dat")), fileBytes(dir.file("b.dat")));
}

INSTANTIATE_TEST_SUITE_P(ChannelModes, StreamRoundTrip,
                         ::testing::Values(SampleOptions{0, 2560, 10, true, 1}, SampleOptions{1, 2560, 10, false, 2},
                                           SampleOptions{0, 0, 12, true, 3}, SampleOptions{1, 7001, 28, true, 4}));

TEST(StreamWriter, SectionsFollowTheChannelMode)
{
    resetCore();
    TempDir dir;
    for (int mode : {0, 1}) {
        fillPrimary({mode, 512, 2, false, 9});
        std::vector<int> tags;
        writePrimary(dir.file("m.dat"));
        streamState.sectionSeen = [&](const SectionInfo& s) { tags.push_back(s.tag); };
        readPrimary(dir.file("m.dat"));
        streamState.sectionSeen = nullptr;
        const std::vector<int> expected =
            mode == 0 ? std::vector<int>{36, 4, 48, 16, 17, 20, 8, 9, 10, 11, 12, 13, 14, 24, 25, 52, 56, 56, 40, 41, 42, 43, 44}
                      : std::vector<int>{36, 4, 48, 16, 17, 18, 19, 20, 8, 9, 10, 11, 12, 24, 25, 26, 27, 52, 56, 56, 40, 41, 42, 43, 44};
        EXPECT_EQ(tags, expected) << mode;
    }
    resetCore();
}

TEST(StreamWriter, AReportTextIsWrittenUpToItsEndAndLeftAsItWasInMemory)
{
    resetCore();
    TempDir dir;
    fillPrimary({0, 512, 2, true, 9});
    // A control character right after a CR ends the text.
    const std::string text = "\"a\",1\r\"b\",2\r\n\"after the end\"\r";
    recordings.primary.reportText = text;
    writePrimary(dir.file("r.dat"));
    EXPECT_EQ(recordings.primary.reportText, text);
    resetCore();
    readPrimary(dir.file("r.dat"));
    EXPECT_EQ(recordings.primary.reportText, "\"a\",1\r\"b\",2\r");
    resetCore();
}

TEST(StreamWriter, FftCountNeverExceedsTheChannelArray)
{
    resetCore();
    TempDir dir;
    fillPrimary({0, 0, 10, false, 5});
    recordings.primary.header[hw::epochCount] = 60000;
    writePrimary(dir.file("big.dat"));
    std::vector<SectionInfo> sections;
    streamState.sectionSeen = [&](const SectionInfo& s) { sections.push_back(s); };
    readPrimary(dir.file("big.dat"));
    streamState.sectionSeen = nullptr;
    bool fftSeen = false;
    for (const auto& s : sections) {
        if (s.tag == tag::fftFirst) {
            fftSeen = true;
            EXPECT_EQ(s.count, kFftValues);
            EXPECT_EQ(s.length, 5u + 2u * kFftValues);
        }
        if (s.tag == tag::epochFlags) {
            EXPECT_EQ(s.count, 60000u);  // the condition series still carries the header's count
        }
    }
    EXPECT_TRUE(fftSeen);
    resetCore();
}

TEST(StreamReader, EveryTruncationInsideASectionIsRejectedAndChangesNothing)
{
    resetCore();
    TempDir dir;
    fillPrimary({0, 300, 2, true, 11});
    writePrimary(dir.file("full.dat"));
    const auto bytes = fileBytes(dir.file("full.dat"));
    std::vector<std::uint64_t> boundaries;
    streamState.sectionSeen = [&](const SectionInfo& s) { boundaries.push_back(s.offset); };
    readPrimary(dir.file("full.dat"));
    streamState.sectionSeen = nullptr;
    boundaries.push_back(bytes.size());

    fillPrimary({1, 100, 1, false, 12});
    const Snapshot before = Snapshot::take();
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        if (std::find(boundaries.begin(), boundaries.end(), cut) != boundaries.end())
            continue;
        writeBytes(dir.file("cut.dat"), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
        try {
            readPrimary(dir.file("cut.dat"));
            FAIL() << "cut at " << cut << " was accepted";
        } catch (const FileError& e) {
            ASSERT_EQ(e.bits, filestatus::fileIoError) << cut;
        }
        ASSERT_EQ(recordings.primary.header, before.rec.header) << cut;
        ASSERT_EQ(recordings.primary.rawChannels[0].count, before.rec.rawChannels[0].count) << cut;
        ASSERT_EQ(recordings.primary.patient.text, before.rec.patient.text) << cut;
    }
    resetCore();
}
