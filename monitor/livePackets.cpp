#include "monitor/livePackets.h"

#include <algorithm>
#include <cstring>

#include "data/sampleRing.h"

namespace monitor {

namespace {

using data::hw::channelMode;
using data::hw::channelModeCopy;
using data::hw::contentFlags;

// One character from each pair of bytes: low nibble first, then the high one.
void appendText(std::string& text, std::size_t limit, const Packet& p)
{
    for (std::size_t i = 0; i + 1 < p.length && text.size() < limit; i += 2)
        text.push_back(static_cast<char>((p.bytes[i] & 0x0F) | ((p.bytes[i + 1] & 0x0F) << 4)));
}

void calibration(data::Recording& rec, const Packet& p)
{
    for (std::size_t k = 0; k < 4 && (k + 1) * 8 <= p.length; ++k) {
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < 8; ++i)
            bits = (bits << 4) | (p.bytes[k * 8 + i] & 0x0F);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        rec.calibrationFactors[k] = data::calibrationFactorValid(value) ? value : 1.0f;
    }
}

void reportFlags(data::Recording& rec, const Packet& p)
{
    const auto high = static_cast<std::uint16_t>((p.bytes[0] & 0x0F) | ((p.bytes[1] & 0x0F) << 4));
    rec.header[contentFlags] = static_cast<std::uint16_t>((rec.header[contentFlags] & 0x00FF) | (high << 8));
    const std::uint8_t bits = p.bytes[2];
    if (bits & 1)
        rec.header[data::hw::treatmentInterrupted] = 1;
    if (bits & 2)
        rec.header[data::hw::alarmResult] = 1;
    if (bits & 4)
        rec.header[data::hw::alarmTest] = 1;
    if (bits & 8)
        rec.header[data::hw::baselineAvailable] = 1;
}

void channelConfiguration(data::Recording& rec, const Packet& p)
{
    rec.header[channelMode] = rec.header[channelModeCopy] = p.bytes[0] & 1;
    rec.header[contentFlags] |= data::content::monitoring;
}

void conditionFlags(data::Recording& rec, const Packet& p, ConditionCount& c)
{
    for (std::size_t i = 0; i < p.length; ++i, ++c.flags)
        rec.conditionData[0][(c.firstEpoch + c.flags) % data::kMaxEpochs] = p.bytes[i] & 1;
}

}  // namespace

PacketEffect applyPacket(data::Recording& rec, const Packet& p, ConditionCount& conditions)
{
    switch (p.cls) {
    case PacketClass::calibration: calibration(rec, p); break;
    case PacketClass::reportText: appendText(rec.reportText, data::kReportTextMax, p); break;
    case PacketClass::reportTitle: appendText(rec.reportTitle, data::kReportTitleMax, p); break;
    case PacketClass::deviceName: appendText(rec.deviceName, data::kDeviceNameMax, p); break;
    case PacketClass::reportFlags: reportFlags(rec, p); break;
    case PacketClass::channelMarker:
    case PacketClass::channelConfig:
        channelConfiguration(rec, p);
        return PacketEffect::channelConfiguration;
    case PacketClass::treatmentStart:
        channelConfiguration(rec, p);
        return PacketEffect::treatmentStart;
    case PacketClass::conditionFlags:
        if (conditions.started)
            conditionFlags(rec, p, conditions);
        break;
    default: break;
    }
    return PacketEffect::none;
}

void trimToWholeEpochs(data::SampleRing& ring)
{
    constexpr std::uint32_t ringSize = data::kRingSamples;
    const std::uint32_t drop = ring.write % data::kEpochSamples;
    const std::uint32_t write = ring.write - drop;
    // Whether the play cursor is among the dropped samples (counted back from the old write index).
    const std::uint32_t behind = (ring.write + ringSize - ring.playIndex) % ringSize;
    if (behind < drop) {
        ring.playIndex = write;
        ring.playCount -= std::min(ring.playCount, drop - behind);
    }
    ring.count = ring.count >= drop ? (ring.count - drop) / data::kEpochSamples * data::kEpochSamples : 0;
    ring.write = write;
    ring.start = (write + ringSize - ring.count % ringSize) % ringSize;
    ring.newCount = 0;
}

void startTreatment(data::Recording& rec, ConditionCount& conditions)
{
    std::uint32_t before = rec.rawChannels[0].count / data::kEpochSamples;
    if (before > data::kMaxEpochs - 1)
        before -= data::kMaxEpochs;
    conditions = ConditionCount{true, data::epochIndex(rec, before), 0};
    rec.header[contentFlags] |= data::content::report;
    for (data::SampleRing& ring : rec.rawChannels)
        trimToWholeEpochs(ring);
    rec.lengthSeconds = rec.playEndSecond = data::secondsOf(rec.rawChannels[0].count);
}

}  // namespace monitor
