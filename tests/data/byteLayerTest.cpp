#include <gtest/gtest.h>

#include <string>

#include "data/byteLayer.h"
#include "data/crc.h"
#include "data/recordingReset.h"
#include "data/progressSink.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "data/streamWriter.h"
#include "data/wireEnvelope.h"
#include "platform/memorySerialDevice.h"
#include "support/sampleRecording.h"

using namespace data;
using platform::MemorySerialDevice;

namespace {

std::uint16_t bitwiseCrc(const std::string& s)
{
    std::uint16_t crc = kCrcInitial;
    for (unsigned char c : s)
        crc = crcStepBitwise(crc, c);
    return crc;
}

class ByteLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        linkState.device = &device;
    }
    void TearDown() override { testing_support::resetCore(); }

    // Sends a stream of `count` bytes with the envelope; returns the status bits
    // it ended with (0 when it completed).
    std::uint32_t sendStream(std::size_t count)
    {
        try {
            beginSentStream();
            for (std::size_t i = 0; i < count; ++i)
                sendByte(static_cast<std::uint8_t>(i * 7), false);
            endSentStream();
        } catch (const TransferError& e) {
            return e.bits;
        }
        return 0;
    }

    MemorySerialDevice device;
};

}  // namespace

TEST(Crc, KnownValuesAndTableMatchesBitwiseForm)
{
    EXPECT_EQ(bitwiseCrc("abc"), 0x514A);
    EXPECT_EQ(bitwiseCrc("123456789"), 0x29B1);
    const std::string check = "123456789";
    EXPECT_EQ(crcOf(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0x29B1);
    for (int reg = 0; reg < 0x10000; reg += 251)
        for (int b = 0; b < 256; ++b)
            ASSERT_EQ(crcStep(static_cast<std::uint16_t>(reg), static_cast<std::uint8_t>(b)),
                      crcStepBitwise(static_cast<std::uint16_t>(reg), static_cast<std::uint8_t>(b)));
}

TEST_F(ByteLayerTest, EnvelopeCheckLeavesZeroAndEveryBitFlipIsDetected)
{
    const std::vector<std::uint8_t> stream = {28, 0xF4, 36, 3, 'a', 'b', 'c', 28};
    const std::vector<std::uint8_t> envelope = wrapInEnvelope(stream);
    ASSERT_EQ(envelope.size(), 32 + stream.size() + 3);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(envelope[i], 0xF4);
    EXPECT_EQ(envelope[32 + stream.size()], 0xFC);
    EXPECT_EQ(crcOf(envelope.data() + 32, envelope.size() - 32), 0);

    // Every single-bit flip of the stream or the end byte leaves a nonzero register.
    for (std::size_t i = 32; i < envelope.size() - 2; ++i)
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<std::uint8_t> damaged = envelope;
            damaged[i] ^= static_cast<std::uint8_t>(1 << bit);
            ASSERT_NE(crcOf(damaged.data() + 32, damaged.size() - 32), 0) << i << ":" << bit;
        }
}

TEST_F(ByteLayerTest, SevenFillersDoNotSynchroniseEightDo)
{
    device.feed({0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0x41, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4,
                 0x42, 0x43});
    EXPECT_EQ(receiveByte(), 0x42);
    EXPECT_EQ(receiveByte(), 0x43);
    EXPECT_EQ(linkState.linkCrc, crcOf(std::vector<std::uint8_t>{0x42, 0x43}.data(), 2));
}

TEST_F(ByteLayerTest, PreambleSplitAcrossReadsStillSynchronises)
{
    std::vector<std::uint8_t> longer(200, 0xF4);
    longer.push_back(0x66);
    device.input = longer;  // 200 fillers arrive over three reads of 80
    EXPECT_EQ(receiveByte(), 0x66);
}

TEST_F(ByteLayerTest, ReceivedStreamWithGoodCheckIsAccepted)
{
    testing_support::fillPrimary({});
    testing_support::TempDir dir;
    testing_support::writePrimary(dir.file("a.dat"));
    const auto stream = testing_support::fileBytes(dir.file("a.dat"));
    device.input = wrapInEnvelope(stream);
    linkState.device = &device;
    recordings.primary = Recording();
    readStream(nullptr, nullptr);
    EXPECT_EQ(linkState.linkCrc, 0);
    EXPECT_EQ(recordings.primary.patient.text[patientName], "Jane Doe");
    EXPECT_EQ(unwrapEnvelope(wrapInEnvelope(stream)), stream);
}

TEST_F(ByteLayerTest, DamagedCheckRaisesCrcError)
{
    std::vector<std::uint8_t> env = wrapInEnvelope({28, 28});
    env.back() ^= 1;
    device.input = env;
    linkState.device = &device;
    try {
        readStream(nullptr, nullptr);
        FAIL() << "no error";
    } catch (const TransferError& e) {
        EXPECT_EQ(e.bits & transfer::crcError, transfer::crcError);
    }
}

TEST_F(ByteLayerTest, FormatErrorOnTheWireIsDeviceCancel)
{
    std::vector<std::uint8_t> env = wrapInEnvelope({28, 99, 28});
    device.input = env;
    try {
        readStream(nullptr, nullptr);
        FAIL() << "no error";
    } catch (const TransferError& e) {
        EXPECT_EQ(e.bits, transfer::deviceCancel);
    }
}

TEST_F(ByteLayerTest, InstrumentCancelAndBadCheckWhileSending)
{
    device.afterWrite = [](MemorySerialDevice& d) {
        if (d.output.size() >= 300 && d.available() == 0)
            d.feed({0xF8});
    };
    EXPECT_EQ(sendStream(2000) & transfer::errorBits, transfer::deviceCancel);

    testing_support::resetCore();
    MemorySerialDevice other;
    linkState.device = &other;
    other.afterWrite = [](MemorySerialDevice& d) {
        if (d.output.size() >= 600 && d.available() == 0)
            d.feed({0x12});
    };
    std::uint32_t bits = 0;
    try {
        beginSentStream();
        for (int i = 0; i < 2000; ++i)
            sendByte(1, false);
    } catch (const TransferError& e) {
        bits = e.bits;
    }
    EXPECT_EQ(bits & transfer::errorBits, transfer::crcError);
}

TEST_F(ByteLayerTest, XoffPausesSendingUntilXon)
{
    std::size_t writtenAtXoff = 0;
    int readsWhilePaused = 0;
    device.afterWrite = [&](MemorySerialDevice& d) {
        if (writtenAtXoff == 0 && d.output.size() >= 512) {
            writtenAtXoff = d.output.size();
            d.feed({0x13});
        }
    };
    device.beforeRead = [&](MemorySerialDevice& d) {
        if (writtenAtXoff != 0 && !linkState.peerReady) {
            EXPECT_EQ(d.output.size(), writtenAtXoff);  // nothing leaves while paused
            if (++readsWhilePaused == 5)
                d.feed({0x11});
        }
    };
    EXPECT_EQ(sendStream(3000), 0u);
    EXPECT_EQ(readsWhilePaused, 5);
    EXPECT_EQ(device.output.size(), 32u + 3000u + 3u);
    EXPECT_EQ(crcOf(device.output.data() + 32, device.output.size() - 32), 0);
}

TEST_F(ByteLayerTest, CancelStillWorksWhilePaused)
{
    device.afterWrite = [](MemorySerialDevice& d) {
        if (d.output.size() >= 256 && d.readPos == 0 && d.available() == 0)
            d.feed({0x13});
    };
    int pausedReads = 0;
    device.beforeRead = [&](MemorySerialDevice&) {
        if (!linkState.peerReady && ++pausedReads == 3)
            linkState.stopRequested = true;
    };
    EXPECT_EQ(sendStream(5000) & transfer::errorBits, transfer::userCancel);
}

TEST_F(ByteLayerTest, LineStatusAndFailedWritesRaiseTheirBits)
{
    device.pending.framingError = true;
    EXPECT_EQ(sendStream(10) & transfer::errorBits, transfer::framingError);
    testing_support::resetCore();
    MemorySerialDevice other;
    linkState.device = &other;
    other.pending.breakError = true;
    other.pending.overrun = true;
    try {
        checkLine();
        FAIL();
    } catch (const TransferError& e) {
        EXPECT_EQ(e.bits, transfer::breakError);  // tested in order: break before overrun
    }
}

TEST_F(ByteLayerTest, PartialWritesArriveWhole)
{
    device.writeLimit = 7;
    EXPECT_EQ(sendStream(1000), 0u);
    EXPECT_EQ(device.output.size(), 32u + 1000u + 3u);
}

namespace {
struct RecordingSink : ProgressSink {
    std::vector<std::string> stages;
    std::vector<std::string> percents;
    int steps = 0;
    void setStage(const std::string& t) override { stages.push_back(t); }
    void setPercentText(const std::string& t) override { percents.push_back(t); }
    void setBarPosition(int) override {}
    void stepBar() override { ++steps; }
};
}  // namespace

TEST_F(ByteLayerTest, ProgressCountsToOneHundredPercentPerSection)
{
    RecordingSink sink;
    linkState.progress = &sink;
    setProgressSection("Header...", 200);
    for (int i = 0; i < 200; ++i)
        sendByte(0, false);
    EXPECT_EQ(sink.stages, std::vector<std::string>{"Header..."});
    EXPECT_EQ(sink.steps, 100);
    EXPECT_EQ(sink.percents.front(), " ");
    EXPECT_EQ(sink.percents.back(), "100%");
}

TEST_F(ByteLayerTest, PacingSendsTheFirstEightBytesOneByOne)
{
    std::vector<std::size_t> writes;
    device.afterWrite = [&](MemorySerialDevice& d) { writes.push_back(d.output.size()); };
    armPacing();
    for (int i = 0; i < 20; ++i)
        sendByte(static_cast<std::uint8_t>(i), false);
    EXPECT_EQ(writes, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(linkState.pacingDone);
    armPacing();  // once per stream
    EXPECT_EQ(linkState.pacingLeft, 0u);
}

TEST_F(ByteLayerTest, SerialWriteAndReadShowTheirStages)
{
    testing_support::fillPrimary({0, 300, 2, true, 5});
    RecordingSink sent;
    std::vector<std::size_t> writes;
    device.afterWrite = [&](MemorySerialDevice& d) { writes.push_back(d.output.size()); };
    beginSentStream();
    writeStream(&sent, nullptr, true);
    endSentStream();
    EXPECT_EQ(sent.stages, (std::vector<std::string>{"Header...", "Report Text...", "Report Text...",
                                                     "Sets of float numbers...", "Additional parameters",
                                                     "RAW data of channel #1", "RAW data of channel #2",
                                                     "RAW data of channel #3", "RAW data of channel #4",
                                                     "Condition data #1", "Condition data #2", "Condition data #3",
                                                     "FFT data of channel #1", "FFT data of channel #2",
                                                     "Patient Info..."}));
    // The header's stage starts the pacing: the buffered preamble and device name
    // leave with the first paced byte, the next seven one by one, then full buffers.
    ASSERT_GE(writes.size(), 10u);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(writes[i] - writes[i - 1], 1u) << i;
    EXPECT_EQ(writes[8] - writes[7], 256u);
    EXPECT_EQ(sent.percents.back(), "100%");

    MemorySerialDevice in;
    in.input = device.output;
    linkState.resetLink();
    linkState.device = &in;
    resetPrimary();
    RecordingSink received;
    readStream(&received, nullptr);
    EXPECT_EQ(received.stages.front(), "Name of device...");
    EXPECT_EQ(received.stages[1], "Header...");
    EXPECT_NE(std::find(received.stages.begin(), received.stages.end(), "Set of float numbers #1"), received.stages.end());
    EXPECT_NE(std::find(received.stages.begin(), received.stages.end(), "RAW data of channel #4"), received.stages.end());
    EXPECT_EQ(recordings.primary.rawChannels[3].count, 300u);
}
