// Feeds arbitrary bytes to the live decoder in reads of varying size, applying
// what it finds to the primary recording as the live reader does. Nothing may
// crash or step outside a buffer, and the four channels always hold the same
// number of samples.
#include <cstdint>
#include <cstdlib>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "fuzzSeeds.h"
#include "monitor/liveDecoder.h"
#include "monitor/livePackets.h"

const char* fuzzTargetName() { return "live"; }

namespace {

class Applier : public monitor::LiveSink {
public:
    void frame(const std::array<std::int16_t, 4>& samples) override
    {
        for (int ch = 0; ch < 4; ++ch)
            data::channelAppend(data::recordings.primary, ch, samples[static_cast<std::size_t>(ch)], data::recordings);
    }
    void packet(const monitor::Packet& packet) override
    {
        data::Recording& rec = data::recordings.primary;
        if (monitor::applyPacket(rec, packet, conditions) == monitor::PacketEffect::treatmentStart)
            monitor::startTreatment(rec, conditions);
    }
    monitor::ConditionCount conditions;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    data::Recording& rec = data::recordings.primary;
    data::recordings.ringMode = true;
    for (int ch = 0; ch < 4; ++ch)
        data::channelClear(rec, ch);
    rec.reportText.clear();
    rec.reportTitle.clear();
    rec.deviceName.clear();
    monitor::LiveDecoder decoder;
    Applier applier;
    // The first byte sets the read size, as a line delivers bytes in pieces.
    const std::size_t chunk = size > 0 ? 1 + bytes[0] % 64 : 1;
    std::size_t at = size > 0 ? 1 : 0;
    while (at < size) {
        const std::size_t n = std::min(chunk, size - at);
        const monitor::FeedResult r = decoder.feed(bytes + at, n, applier);
        if (r.consumed > n)
            std::abort();
        at += r.stop == monitor::StreamStop::none ? n : r.consumed;
        if (r.stop == monitor::StreamStop::preamble)
            break;
        if (n == 1 && at % 7 == 0)
            decoder.idle();
    }
    for (int ch = 1; ch < 4; ++ch)
        if (rec.rawChannels[static_cast<std::size_t>(ch)].count != rec.rawChannels[0].count)
            std::abort();
    if (rec.reportText.size() > data::kReportTextMax || rec.reportTitle.size() > data::kReportTitleMax ||
        rec.deviceName.size() > data::kDeviceNameMax)
        std::abort();
    return 0;
}
