#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace monitor {

// The classes of the live byte stream: a byte below 0x80 is half a sample,
// every other byte belongs to a packet class (or to none).
enum class PacketClass : std::uint8_t {
    none,            // 0xD0 to 0xEF, 0xF8, 0xF9, 0xFC to 0xFF: ends a packet
    calibration,     // 0x80 to 0x8F
    reportText,      // 0x90 to 0x9F
    reportTitle,     // 0xA0 to 0xAF
    deviceName,      // 0xB0 to 0xBF
    reportFlags,     // 0xC0 to 0xCF
    channelMarker,   // 0xF0, 0xF1: channel configuration that also sets the marker
    channelConfig,   // 0xF6, 0xF7
    treatmentStart,  // 0xF2, 0xF3
    conditionFlags,  // 0xFA, 0xFB
    preamble,        // 0xF4
    end,             // 0xF5
};

PacketClass classOf(std::uint8_t byte);

// The nearest value a sample pair can carry: bit 7 of the 13-bit value has no
// place in it, so a value with bit 7 set goes down to ...0x7F or up to the
// next multiple of 256 (what an instrument sends for `value`).
int nearestLineValue(int value);

constexpr int kMinPacket = 8;          // a shorter run of one class is noise
constexpr std::size_t kPacketMax = 256;  // bytes of a packet that are kept
constexpr int kSettleAfterPacket = 32;
constexpr int kSettleAfterDisorder = 16;

// A complete packet: its class and its first (up to 256) bytes.
struct Packet {
    PacketClass cls = PacketClass::none;
    const std::uint8_t* bytes = nullptr;
    std::size_t length = 0;
};

// What the decoder finds, in byte order.
class LiveSink {
public:
    virtual ~LiveSink() = default;
    // One sample of each channel, in channel order 0 to 3.
    virtual void frame(const std::array<std::int16_t, 4>& samples) = 0;
    virtual void packet(const Packet& packet) = 0;
};

// Why a feed stopped before the end of its bytes.
enum class StreamStop { none, preamble, end };

struct FeedResult {
    std::size_t consumed = 0;  // bytes decoded; after a preamble the next byte is the first stream byte
    StreamStop stop = StreamStop::none;
};

// The decoder of the live byte stream. It decodes each read in one pass in
// byte order, packets and samples alike, and carries its state (a half pair,
// a packet run, the settling counter, the frame being assembled) from one read
// to the next. It stops at the end of a preamble run (the byte after it begins
// an upload) and at an end packet. Samples reach the sink only as whole frames
// of the four channels, so the channels always hold the same number of
// samples; after a disturbance the settling counter drops samples and
// appending resumes with the next channel 0. A frame reaches the sink once
// the two frames after it have come in order (10 ms at 200 frames a second);
// a packet (of any class) hands over the held frames first. A channel out of order also
// shifts the pairing by one byte, so a single lost byte does not leave every
// later pair split across two samples.
class LiveDecoder {
public:
    FeedResult feed(const std::uint8_t* bytes, std::size_t count, LiveSink& sink);
    // An empty read: the line may have lost bytes.
    void idle() { settle_ = kSettleAfterPacket; }
    void reset() { *this = LiveDecoder{}; }
    int settle() const { return settle_; }

private:
    void sampleByte(std::uint8_t byte, LiveSink& sink);
    // False when the channel came out of order.
    bool sample(int channel, std::int16_t value, LiveSink& sink);
    // Ends the current run; true when it was a preamble or end packet.
    StreamStop endRun(LiveSink& sink);
    void packetByte(std::uint8_t byte, PacketClass cls, LiveSink& sink, StreamStop& stop);

    bool halfPair_ = false;
    std::uint8_t low_ = 0;
    int settle_ = kSettleAfterPacket;
    int expected_ = 0;       // the channel that should come next
    bool inStep_ = true;     // the order is known (the session starts with channel 0)
    int frameFill_ = -1;     // channels of the frame assembled so far; -1 waits for channel 0
    std::array<std::int16_t, 4> frame_{};
    // Complete frames held back until two more have come in order: a lost byte
    // that happens to leave a pair or two in channel order cannot slip a
    // garbled frame through, since the pairs after it come out of order.
    std::array<std::array<std::int16_t, 4>, 2> held_{};
    int heldCount_ = 0;
    void frameComplete(LiveSink& sink);
    void flushHeld(LiveSink& sink);
    PacketClass runClass_ = PacketClass::none;
    int runLength_ = 0;
    std::array<std::uint8_t, kPacketMax> run_{};
};

}  // namespace monitor
