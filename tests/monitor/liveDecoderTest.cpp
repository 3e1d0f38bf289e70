// The live byte stream: sample pairs, the settling counter, packets, and the
// stops at a preamble and an end packet; then what packets do to a recording.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "data/recording.h"
#include "monitor/liveDecoder.h"
#include "monitor/livePackets.h"
#include "support/liveBytes.h"

using namespace monitor;
using testing_support::LiveBytes;

namespace {

struct Collected : LiveSink {
    std::vector<std::array<std::int16_t, 4>> frames;
    std::vector<std::pair<PacketClass, std::vector<std::uint8_t>>> packets;
    void frame(const std::array<std::int16_t, 4>& s) override { frames.push_back(s); }
    void packet(const Packet& p) override { packets.push_back({p.cls, {p.bytes, p.bytes + p.length}}); }
};

// Eight frames that only settle the decoder.
LiveBytes settled()
{
    LiveBytes b;
    b.frames(8, [](int, int) { return 0; });
    return b;
}

FeedResult feedAll(LiveDecoder& d, const LiveBytes& b, Collected& sink) { return d.feed(b.bytes.data(), b.bytes.size(), sink); }

// Two more frames, which let the decoder hand over the frames it holds back.
LiveBytes& twoMore(LiveBytes& b)
{
    return b.frames(2, [](int, int) { return 0; });
}

}  // namespace

TEST(LiveDecoder, PairsDecodeChannelAndThirteenBitValue)
{
    LiveDecoder d;
    Collected sink;
    LiveBytes b = settled();
    b.raw({0x7F, 0x1F, 0x05, 0x21}).sample(2, 4095).sample(3, -4096);
    twoMore(b);
    const FeedResult r = feedAll(d, b, sink);
    EXPECT_EQ(r.consumed, b.bytes.size());
    EXPECT_EQ(r.stop, StreamStop::none);
    ASSERT_EQ(sink.frames.size(), 1u);  // the settling frames are dropped
    EXPECT_EQ(sink.frames[0][0], -129);
    EXPECT_EQ(sink.frames[0][1], 0x0105);
    EXPECT_EQ(sink.frames[0][2], testing_support::onTheLine(4095));
    EXPECT_EQ(sink.frames[0][3], -4096);
}

TEST(LiveDecoder, StateCarriesOverFromOneReadToTheNext)
{
    LiveBytes b = settled();
    b.frames(3, [](int k, int c) { return k * 10 + c; });
    b.run(0xB5, 10);
    b.frames(1, [](int, int c) { return c; });
    LiveDecoder whole, split;
    Collected a, s;
    feedAll(whole, b, a);
    // One byte a read: half pairs and packet runs cross every boundary.
    for (std::uint8_t byte : b.bytes)
        split.feed(&byte, 1, s);
    EXPECT_EQ(a.frames, s.frames);
    EXPECT_EQ(a.packets, s.packets);
    EXPECT_EQ(a.frames.size(), 3u);  // the packet handed over the three before it; the last is held back
    ASSERT_EQ(s.packets.size(), 1u);
    EXPECT_EQ(s.packets[0].second.size(), 10u);
}

TEST(LiveDecoder, SevenPacketBytesAreNoiseEightArePacket)
{
    LiveDecoder d;
    Collected sink;
    LiveBytes b;
    b.run(0x95, 7, false).raw({0x01}).run(0x95, 8, false).raw({0x01});
    feedAll(d, b, sink);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0].first, PacketClass::reportText);
    EXPECT_EQ(sink.packets[0].second.size(), 8u);
    // Only the first 256 bytes of a long packet are kept.
    LiveBytes longRun;
    longRun.run(0xA1, 600);
    Collected big;
    feedAll(d, longRun, big);
    ASSERT_EQ(big.packets.size(), 1u);
    EXPECT_EQ(big.packets[0].second.size(), kPacketMax);
}

TEST(LiveDecoder, SettlingAfterDisorderAndBrokenPairsKeepsChannelsAligned)
{
    LiveDecoder d;
    Collected sink;
    LiveBytes b = settled();
    b.frames(2, [](int k, int c) { return 100 + k; });
    // Channel 1 lost: channel 2 comes out of order.
    b.sample(0, 7).sample(2, 7).sample(3, 7);
    b.frames(5, [](int k, int c) { return 20 + k; });  // 16 samples dropped from the disorder on
    b.frames(2, [](int k, int c) { return 60 + k; });
    twoMore(b);
    feedAll(d, b, sink);
    // The frames held back when the disorder came go too: a lost byte could
    // have garbled them. Whole frames follow once 16 samples have settled.
    ASSERT_EQ(sink.frames.size(), 3u);
    EXPECT_EQ(sink.frames[0], (std::array<std::int16_t, 4>{24, 24, 24, 24}));
    EXPECT_EQ(sink.frames[1], (std::array<std::int16_t, 4>{60, 60, 60, 60}));
    EXPECT_EQ(sink.frames[2], (std::array<std::int16_t, 4>{61, 61, 61, 61}));

    // A packet byte in the middle of a pair: 32 samples dropped.
    LiveDecoder p;
    Collected broken;
    LiveBytes c = settled();
    c.raw({0x10, 0x90});
    c.frames(8, [](int, int) { return 1; });
    c.frames(1, [](int, int) { return 2; });
    twoMore(c);
    feedAll(p, c, broken);
    ASSERT_EQ(broken.frames.size(), 1u);
    EXPECT_EQ(broken.frames[0][0], 2);
}

TEST(LiveDecoder, ALostByteCostsAFewFramesAndNeverCorruptsOne)
{
    // Frames with values that vary by channel and frame; one byte lost every
    // 40 frames, at every position of a frame in turn.
    constexpr int kFrames = 20000;
    const auto value = [](int k, int c) { return ((k * 7 + c * 1013) * 2654435761u >> 19) % 4000 - 2000; };
    LiveBytes whole;
    whole.frames(kFrames, value);
    whole.run(0xF5);  // the end packet hands over the last frames
    std::vector<std::uint8_t> lossy;
    for (std::size_t i = 0; i < whole.bytes.size(); ++i)
        if (i % 320 != (i / 320) % 8 + 40)
            lossy.push_back(whole.bytes[i]);
    LiveDecoder d;
    Collected sink;
    d.feed(lossy.data(), lossy.size(), sink);
    // Each of the 500 lost bytes costs a few frames, never the rest of the session.
    EXPECT_GT(sink.frames.size(), static_cast<std::size_t>(kFrames) * 3 / 4);
    std::size_t k = 0;
    for (const auto& f : sink.frames) {
        while (k < kFrames && testing_support::onTheLine(value(static_cast<int>(k), 0)) != f[0])
            ++k;
        ASSERT_LT(k, static_cast<std::size_t>(kFrames)) << "a garbled frame";
        for (int c = 0; c < 4; ++c)
            ASSERT_EQ(f[static_cast<std::size_t>(c)], testing_support::onTheLine(value(static_cast<int>(k), c))) << k;
        ++k;
    }
}

TEST(LiveDecoder, PreambleStopsOnTheFirstStreamByteEvenAcrossReads)
{
    LiveDecoder d;
    Collected sink;
    LiveBytes b = settled();
    b.frames(1, [](int, int c) { return c; });
    b.run(0xF4, 32, false).raw({0x24, 0x00, 0x05});
    FeedResult r = feedAll(d, b, sink);
    EXPECT_EQ(r.stop, StreamStop::preamble);
    EXPECT_EQ(b.bytes[r.consumed], 0x24);
    EXPECT_EQ(sink.frames.size(), 1u);  // handed over at the preamble

    // The run ends a read: the stream's first byte is the first of the next read.
    LiveDecoder e;
    LiveBytes first;
    first.run(0xF4, 9, false);
    EXPECT_EQ(feedAll(e, first, sink).stop, StreamStop::none);
    const std::uint8_t next[] = {0x24, 0x01};
    r = e.feed(next, 2, sink);
    EXPECT_EQ(r.stop, StreamStop::preamble);
    EXPECT_EQ(r.consumed, 0u);
}

TEST(LiveDecoder, EndPacketCountsAtItsEighthByte)
{
    LiveDecoder d;
    Collected sink;
    LiveBytes b;
    b.run(0xF5, 7, false).raw({0x00}).run(0xF5, 12, false);
    const FeedResult r = feedAll(d, b, sink);
    EXPECT_EQ(r.stop, StreamStop::end);
    EXPECT_EQ(r.consumed, 8u + 8u);
    // Fed on, the rest of the run does not end the session twice.
    const FeedResult rest = d.feed(b.bytes.data() + r.consumed, b.bytes.size() - r.consumed, sink);
    EXPECT_EQ(rest.stop, StreamStop::none);
}

TEST(LivePackets, CalibrationTextFlagsAndChannelConfiguration)
{
    data::Recording rec;
    ConditionCount conditions;
    const auto floatPacket = [](std::initializer_list<float> values) {
        std::vector<std::uint8_t> bytes;
        for (float f : values) {
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            for (int i = 7; i >= 0; --i)
                bytes.push_back(static_cast<std::uint8_t>(0x80 | ((bits >> (4 * i)) & 0xF)));
        }
        return bytes;
    };
    const std::vector<std::uint8_t> cal = floatPacket({1.5f, 1.1f, std::nanf(""), 0.7f, 1.2f});
    applyPacket(rec, {PacketClass::calibration, cal.data(), cal.size()}, conditions);
    EXPECT_EQ(rec.calibrationFactors[0], 1.0f);
    EXPECT_EQ(rec.calibrationFactors[1], 1.1f);
    EXPECT_EQ(rec.calibrationFactors[2], 1.0f);
    EXPECT_EQ(rec.calibrationFactors[3], 0.7f);
    EXPECT_EQ(rec.calibrationFactors[4], 1.0f);  // at most four factors

    LiveBytes title;
    title.text(0xA0, std::string(60, 'x'));
    for (int i = 0; i < 2; ++i)
        applyPacket(rec, {PacketClass::reportTitle, title.bytes.data(), title.bytes.size() - 1}, conditions);
    EXPECT_EQ(rec.reportTitle, std::string(80, 'x'));  // appended while shorter than 80

    const std::vector<std::uint8_t> flags = {0xC1, 0xC2, 0xCF, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0};
    applyPacket(rec, {PacketClass::reportFlags, flags.data(), flags.size()}, conditions);
    EXPECT_EQ(rec.header[data::hw::contentFlags] >> 8, 0x21);
    EXPECT_EQ(rec.header[data::hw::treatmentInterrupted], 1);
    EXPECT_EQ(rec.header[data::hw::baselineAvailable], 1);

    const std::vector<std::uint8_t> four(8, 0xF1);
    EXPECT_EQ(applyPacket(rec, {PacketClass::channelMarker, four.data(), four.size()}, conditions),
              PacketEffect::channelConfiguration);
    EXPECT_EQ(rec.header[data::hw::channelMode], 1);
    EXPECT_EQ(rec.header[data::hw::channelModeCopy], 1);
    EXPECT_TRUE(rec.header[data::hw::contentFlags] & data::content::monitoring);
}

TEST(LivePackets, TreatmentStartTrimsToWholeEpochsAndConditionFlagsFollowIt)
{
    data::Recording rec;
    ConditionCount conditions;
    const std::vector<std::uint8_t> flags = {0xFB, 0xFA, 0xFB, 0xFB, 0xFA, 0xFA, 0xFA, 0xFB};
    applyPacket(rec, {PacketClass::conditionFlags, flags.data(), flags.size()}, conditions);
    EXPECT_EQ(rec.conditionData[0][0], 0);  // no treatment yet: ignored

    for (data::SampleRing& ring : rec.rawChannels) {
        ring.count = ring.write = 1000;
        ring.playIndex = 900;  // among the samples the trim drops
        ring.playCount = 900;
    }
    rec.rawChannels[1].playIndex = rec.rawChannels[1].playCount = 500;
    startTreatment(rec, conditions);
    EXPECT_EQ(rec.rawChannels[0].count, 768u);
    EXPECT_EQ(rec.rawChannels[0].write, 768u);
    EXPECT_EQ(rec.rawChannels[0].playIndex, 768u);
    EXPECT_EQ(rec.rawChannels[1].playIndex, 500u);
    EXPECT_TRUE(rec.header[data::hw::contentFlags] & data::content::report);

    applyPacket(rec, {PacketClass::conditionFlags, flags.data(), flags.size()}, conditions);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(rec.conditionData[0][static_cast<std::size_t>(3 + k)], flags[static_cast<std::size_t>(k)] & 1) << k;

    // After a wrap the oldest kept sample follows the write index.
    data::SampleRing ring;
    ring.count = data::kRingSamples;
    ring.write = ring.start = 5000;
    trimToWholeEpochs(ring);
    EXPECT_EQ(ring.write, 4864u);
    EXPECT_EQ(ring.count % 256, 0u);
    EXPECT_EQ((ring.start + ring.count) % data::kRingSamples, ring.write);
}
