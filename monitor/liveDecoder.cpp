#include "monitor/liveDecoder.h"

#include <algorithm>

namespace monitor {

PacketClass classOf(std::uint8_t byte)
{
    switch (byte >> 4) {
    case 0x8: return PacketClass::calibration;
    case 0x9: return PacketClass::reportText;
    case 0xA: return PacketClass::reportTitle;
    case 0xB: return PacketClass::deviceName;
    case 0xC: return PacketClass::reportFlags;
    case 0xF: break;
    default: return PacketClass::none;
    }
    switch (byte) {
    case 0xF0: case 0xF1: return PacketClass::channelMarker;
    case 0xF2: case 0xF3: return PacketClass::treatmentStart;
    case 0xF4: return PacketClass::preamble;
    case 0xF5: return PacketClass::end;
    case 0xF6: case 0xF7: return PacketClass::channelConfig;
    case 0xFA: case 0xFB: return PacketClass::conditionFlags;
    default: return PacketClass::none;
    }
}

int nearestLineValue(int value)
{
    const int v = std::clamp(value, -4096, 4095);
    if ((v & 0x80) == 0)
        return v;
    const int down = (v & ~0xFF) | 0x7F, up = (v | 0xFF) + 1;
    return (v - down <= up - v || up > 4095) ? down : up;
}

FeedResult LiveDecoder::feed(const std::uint8_t* bytes, std::size_t count, LiveSink& sink)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        const PacketClass cls = byte < 0x80 ? PacketClass::none : classOf(byte);
        if (runLength_ > 0 && (byte < 0x80 || cls != runClass_)) {
            // The run ends here; after a preamble this byte is the first of the upload.
            if (const StreamStop stop = endRun(sink); stop == StreamStop::preamble) {
                flushHeld(sink);
                return {i, stop};
            }
        }
        if (byte < 0x80) {
            sampleByte(byte, sink);
            continue;
        }
        StreamStop stop = StreamStop::none;
        packetByte(byte, cls, sink, stop);
        if (stop != StreamStop::none) {
            flushHeld(sink);
            return {i + 1, stop};
        }
    }
    return {count, StreamStop::none};
}

void LiveDecoder::packetByte(std::uint8_t byte, PacketClass cls, LiveSink& sink, StreamStop& stop)
{
    if (halfPair_) {
        // A packet byte broke a sample pair: the line is disturbed.
        halfPair_ = false;
        settle_ = kSettleAfterPacket;
        frameFill_ = -1;
        heldCount_ = 0;
    }
    if (cls == PacketClass::none) {
        runLength_ = 0;
        return;
    }
    if (static_cast<std::size_t>(runLength_) < kPacketMax)
        run_[static_cast<std::size_t>(runLength_)] = byte;
    runClass_ = cls;
    ++runLength_;
    // The end packet carries nothing: it counts once it is long enough, so an
    // instrument that falls silent after it is still heard.
    if (cls == PacketClass::end && runLength_ == kMinPacket)
        stop = StreamStop::end;
}

StreamStop LiveDecoder::endRun(LiveSink& sink)
{
    const int length = runLength_;
    runLength_ = 0;
    if (length < kMinPacket)
        return StreamStop::none;
    switch (runClass_) {
    case PacketClass::preamble: return StreamStop::preamble;
    case PacketClass::end: return StreamStop::none;  // acted on at its eighth byte
    default: break;
    }
    // The frames before the packet come before it: a treatment start trims them too.
    flushHeld(sink);
    sink.packet({runClass_, run_.data(), std::min<std::size_t>(static_cast<std::size_t>(length), kPacketMax)});
    return StreamStop::none;
}

void LiveDecoder::sampleByte(std::uint8_t byte, LiveSink& sink)
{
    if (!halfPair_) {
        low_ = byte;
        halfPair_ = true;
        return;
    }
    halfPair_ = false;
    const int channel = (byte >> 5) & 3;
    int value = ((byte << 8) + low_) & 0x1FFF;
    if (value > 0x0FFF)
        value -= 0x2000;  // 13-bit two's complement
    if (!sample(channel, static_cast<std::int16_t>(value), sink)) {
        // Out of order: a lost byte may have shifted the pairs, so this byte
        // is tried as the first of the next pair. On a line that only lost a
        // whole pair the next disorder shifts back; a wrong pairing is caught
        // within a pair or two, long before 16 samples have settled.
        low_ = byte;
        halfPair_ = true;
    }
}

bool LiveDecoder::sample(int channel, std::int16_t value, LiveSink& sink)
{
    if (!inStep_) {
        // The first pair after a disorder only sets the order the next must follow.
        inStep_ = true;
        expected_ = (channel + 1) & 3;
        frameFill_ = -1;
        if (settle_ > 0)
            --settle_;
        return true;
    }
    if (channel != expected_) {
        settle_ = kSettleAfterDisorder;
        frameFill_ = -1;
        heldCount_ = 0;  // the disorder may have begun inside them
        inStep_ = false;
        return false;
    }
    expected_ = (channel + 1) & 3;
    if (settle_ > 0) {
        --settle_;
        frameFill_ = -1;
        return true;
    }
    if (frameFill_ < 0) {
        if (channel != 0)
            return true;  // appending resumes with a whole frame
        frameFill_ = 0;
    }
    frame_[static_cast<std::size_t>(channel)] = value;
    frameFill_ = channel + 1;
    if (frameFill_ == 4) {
        frameComplete(sink);
        frameFill_ = 0;
    }
    return true;
}

void LiveDecoder::frameComplete(LiveSink& sink)
{
    if (heldCount_ == static_cast<int>(held_.size())) {
        sink.frame(held_[0]);
        held_[0] = held_[1];
        --heldCount_;
    }
    held_[static_cast<std::size_t>(heldCount_++)] = frame_;
}

void LiveDecoder::flushHeld(LiveSink& sink)
{
    for (int i = 0; i < heldCount_; ++i)
        sink.frame(held_[static_cast<std::size_t>(i)]);
    heldCount_ = 0;
}

}  // namespace monitor
