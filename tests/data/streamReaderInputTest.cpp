#include <gtest/gtest.h>

#include "analysis/spectralSums.h"
#include "data/byteLayer.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "data/streamReader.h"
#include "support/byteBuilder.h"
#include "support/sampleRecording.h"

using namespace data;
using namespace testing_support;

namespace {

class StreamReaderInput : public ::testing::Test {
protected:
    void SetUp() override { resetCore(); }
    void TearDown() override { resetCore(); }

    // Reads the bytes as a data file; returns the file status bits (0 on success).
    std::uint32_t read(const ByteBuilder& b)
    {
        writeBytes(dir.file("in.dat"), b.bytes);
        try {
            readPrimary(dir.file("in.dat"));
        } catch (const FileError& e) {
            return e.bits;
        }
        return 0;
    }

    TempDir dir;
    Recording& rec = recordings.primary;
};

ByteBuilder everySection()
{
    ByteBuilder b;
    b.u8(0xF4).u8(28);
    b.u8(36).u8(5).text(std::string("Dev\0X", 5));
    b.u8(4).u8(200);
    for (unsigned w = 0; w < 200; ++w)
        b.u16(w == 0 ? 0x0117 : w == 17 ? 0 : 1000 + w);
    b.textSection(48, "TITLE").textSection(49, "line one").textSection(49, "line two");
    for (unsigned set = 16; set <= 17; ++set) {
        b.u8(set).u8(128);
        for (int i = 0; i < 128; ++i)
            b.floatBE(static_cast<float>(set * 1000 + i));
    }
    b.u8(20).u8(14);
    for (int i = 0; i < 14; ++i)
        b.floatBE(static_cast<float>(i) + 0.5f);
    b.u8(8).u32(3).u16(1).u16(0xFFFF).u16(3);
    b.u8(11).u32(1).u16(44);
    b.u8(12).u16(2).u16(5).u16(6).u8(15).u16(1).u16(99);
    b.u8(24).u32(2).u16(7).u16(8);
    b.u8(32).u8(3).text("New");
    b.textSection(40, std::string(81, 'x'));  // one too long: not stored
    b.textSection(41, "Name").textSection(42, "42").textSection(43, "105").textSection(44, "Comment");
    for (unsigned t : {45u, 46u, 47u, 50u, 51u})
        b.textSection(t, "skip me");
    b.u8(52).u16(3).u16(1).u16(0).u16(1);
    b.u8(56).u16(2).u16(56).u16(9).u8(56).u16(2).u16(57).u16(4).u8(56).u16(3).u16(56).u16(1).u16(1);
    for (unsigned t : {53u, 54u, 55u, 57u, 58u, 59u})
        b.u8(t).u16(2).u16(1).u16(2);
    b.u8(60).u16(1).u32(0xDEADBEEF);
    b.u8(0xF4);
    return b;
}

}  // namespace

TEST_F(StreamReaderInput, EverySectionTypeIsReadAsDescribed)
{
    ASSERT_EQ(read(everySection()), 0u);
    EXPECT_EQ(rec.deviceName, "New");
    EXPECT_EQ(rec.header[0], 0x0117);
    EXPECT_EQ(rec.header[159], 1159);  // words 160..199 were skipped
    EXPECT_EQ(rec.reportTitle, "TITLE");
    EXPECT_EQ(rec.reportText, "line one\rline two\r");
    EXPECT_EQ(analysis::spectralSums.kind(0).power[0][0], 16000.0f);
    EXPECT_EQ(analysis::spectralSums.kind(0).crossIm[0][31], 16127.0f);
    EXPECT_EQ(analysis::spectralSums.kind(1).power[1][1], 17005.0f);
    EXPECT_EQ(rec.additionalParams[11], 11.5f);
    EXPECT_EQ(rec.rawChannels[0].count, 3u);
    EXPECT_EQ(channelSampleAt(rec, 0, 1), -1);
    EXPECT_EQ(channelSampleAt(rec, 3, 0), 44);
    EXPECT_EQ(rec.conditionData[0][1], 6);
    EXPECT_EQ(rec.fftData[0][1], 8);
    EXPECT_EQ(rec.patient.text[patientId], "");
    EXPECT_EQ(rec.patient.text[patientName], "Name");
    EXPECT_EQ(rec.patient.patientAge, 42);
    EXPECT_EQ(rec.patient.patientSex, kSexFemale);
    EXPECT_EQ(rec.patient.text[patientComments], "Comment");
    EXPECT_FALSE(rec.epochMarks[1]);
    EXPECT_FALSE(rec.epochSelected[1]);
    EXPECT_TRUE(rec.epochMarks[2]);
    EXPECT_EQ(rec.marker56, 9);
    EXPECT_EQ(rec.marker57, 4);
}

TEST_F(StreamReaderInput, DeviceNameStopsAtZeroByteAndEightyCharacters)
{
    ByteBuilder b;
    b.u8(36).u8(100).text(std::string(100, 'n'));
    ASSERT_EQ(read(b), 0u);
    EXPECT_EQ(rec.deviceName.size(), 80u);
}

TEST_F(StreamReaderInput, EmptyFileGivesAResetRecording)
{
    fillPrimary({});
    rec.header[hw::channelMode] = 1;
    ASSERT_EQ(read(ByteBuilder{}), 0u);
    EXPECT_EQ(rec.rawChannels[0].count, 0u);
    EXPECT_EQ(rec.header[hw::channelMode], 1);
    EXPECT_EQ(rec.header[hw::energySet], 0);
    EXPECT_TRUE(rec.patient.text[patientName].empty());
}

TEST_F(StreamReaderInput, FormatErrorsLeaveTheRecordingUntouched)
{
    fillPrimary({});
    const auto header = rec.header;
    ByteBuilder sumCount;
    sumCount.u8(16).u8(127);
    for (const ByteBuilder& bad : {ByteBuilder{}.u8(28).u8(1), ByteBuilder{}.u8(99), ByteBuilder{}.u8(252), sumCount,
                                   everySection().u8(7)}) {
        EXPECT_EQ(read(bad), filestatus::formatError);
        EXPECT_EQ(rec.header, header);
        EXPECT_EQ(rec.patient.text[patientName], "Jane Doe");
    }
    EXPECT_EQ(read(ByteBuilder{}.u8(4)), filestatus::fileIoError);
    EXPECT_EQ(read(ByteBuilder{}.u8(8).u32(100000)), filestatus::fileIoError);
    EXPECT_EQ(rec.header, header);
}

TEST_F(StreamReaderInput, OverlongRawSectionIsAFormatErrorEvenWithItsData)
{
    // One sample more than a ring, all of them present: still no recording.
    ByteBuilder b;
    b.u8(9).u32(kRingSamples + 1);
    for (std::uint32_t i = 0; i <= kRingSamples; ++i)
        b.u16(i & 0x7FFF);
    ASSERT_EQ(read(b), filestatus::formatError);
    EXPECT_EQ(rec.rawChannels[1].count, 0u);
}

TEST_F(StreamReaderInput, SecondaryModeStoresOnlyItsMembers)
{
    streamState.readSecondary = true;
    recordings.primary.deviceName = "primary";
    ASSERT_EQ(read(everySection()), 0u);
    const Recording& sec = recordings.secondary;
    EXPECT_EQ(sec.deviceName, "New");
    EXPECT_EQ(sec.reportText, "line one\rline two\r");
    EXPECT_EQ(sec.conditionData[0][0], 5);
    EXPECT_EQ(sec.additionalParams[0], 0.0f);
    EXPECT_EQ(sec.fftData[0][0], 0);
    EXPECT_EQ(sec.marker56, -1);
    EXPECT_EQ(sec.patient.text[patientName], "Name");
    EXPECT_EQ(analysis::spectralSums.kind(4).power[0][0], 16000.0f);
    EXPECT_EQ(analysis::spectralSums.kind(0).power[0][0], 0.0f);
    EXPECT_EQ(recordings.primary.deviceName, "primary");
}

TEST_F(StreamReaderInput, PatientOnlyModeRecordsTagsAndOffsets)
{
    streamState.patientOnly = true;
    ByteBuilder b;
    b.u8(28).textSection(40, "A").u8(28).textSection(41, "B").textSection(42, "7").textSection(43, "104").textSection(44, "");
    ASSERT_EQ(read(b), 0u);
    EXPECT_EQ(streamState.patientFieldOffset[0], 1);
    EXPECT_EQ(streamState.patientFieldOffset[1], 6);
    EXPECT_EQ(streamState.patientFieldOffset[4], 20);
    std::vector<int> tags(streamState.lastTags.begin(), streamState.lastTags.end());
    std::sort(tags.begin(), tags.end());
    EXPECT_EQ(tags, (std::vector<int>{28, 41, 42, 43, 44}));
    EXPECT_EQ(recordings.secondary.patient.text[patientId], "A");
    EXPECT_EQ(recordings.secondary.patient.patientAge, 7);
    EXPECT_TRUE(recordings.primary.patient.text[patientId].empty());
}

TEST_F(StreamReaderInput, SectionsLongerThanTheFormatAllowsAreRefusedAtOnce)
{
    // A raw channel holds at most the ring's 171,520 samples, the FFT data
    // 85,760 values: a longer count is a format error before its data are read.
    for (const auto& [tagByte, count] : {std::pair{8, 0xFFFFFFFFu}, std::pair{9, kRingSamples + 1}, std::pair{24, 0xFFFFFFFFu},
                                          std::pair{25, kFftValues + 1}}) {
        ByteBuilder b;
        b.u8(static_cast<std::uint8_t>(tagByte)).u32(count);
        for (int i = 0; i < 1000; ++i)
            b.u16(0);
        EXPECT_EQ(read(b) & filestatus::formatError, filestatus::formatError) << tagByte << " " << count;
        EXPECT_EQ(rec.rawChannels[0].count, 0u);
    }
    // The longest raw section the format allows is read whole.
    ByteBuilder full;
    full.u8(8).u32(kRingSamples);
    for (std::uint32_t i = 0; i < kRingSamples; ++i)
        full.u16(static_cast<std::uint16_t>(i % 1000));
    EXPECT_EQ(read(full), 0u);
    EXPECT_EQ(rec.rawChannels[0].count, kRingSamples);
}
