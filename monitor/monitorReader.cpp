#include "monitor/monitorReader.h"
#include "platform/commandIds.h"

#include <algorithm>
#include <cstring>

#include "data/linkState.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/livePackets.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "platform/serialDevice.h"

namespace monitor {

namespace {

constexpr std::size_t kReadSize = 256;
constexpr int kIdleWaitMs = 10;
constexpr int kReadPauseMs = 20;
constexpr std::uint8_t kCancel = 0xF8;

// Applies what the decoder finds to the primary recording; called with lock B held.
class RecordingSink : public LiveSink {
public:
    explicit RecordingSink(bool append) : append_(append) {}

    void frame(const std::array<std::int16_t, 4>& samples) override
    {
        if (!append_)
            return;
        data::Recording& rec = data::recordings.primary;
        for (int ch = 0; ch < 4; ++ch)
            data::channelAppend(rec, ch, samples[static_cast<std::size_t>(ch)], data::recordings);
    }

    void packet(const Packet& packet) override
    {
        data::Recording& rec = data::recordings.primary;
        switch (applyPacket(rec, packet, conditions_)) {
        case PacketEffect::channelConfiguration:
            if (packet.cls == PacketClass::channelMarker && rec.marker56 < 0)
                rec.marker56 = static_cast<std::int16_t>(monitorState.processedEpoch.load());
            monitorHooks.channelConfiguration();
            break;
        case PacketEffect::treatmentStart: treatmentStart(rec); break;
        case PacketEffect::none: break;
        }
    }

    bool treatmentSeen() const { return conditions_.started; }

private:
    void treatmentStart(data::Recording& rec)
    {
        MonitorState& m = monitorState;
        m.treatmentStarted = true;
        data::recordings.limitedMode = true;
        startTreatment(rec, conditions_);
        // The display goes on from its cursor, which the trim kept on a whole
        // epoch's samples: its epoch is the cursor's epoch.
        const std::uint32_t cursor = rec.rawChannels[0].playIndex;
        m.currentEpoch = static_cast<std::int32_t>(cursor / data::kEpochSamples);
        m.epochSample = static_cast<std::int32_t>(cursor % data::kEpochSamples) - 1;
        m.epochRejectedByUser = false;
        m.epochRejected = !rec.epochMarks[static_cast<std::size_t>(m.currentEpoch.load())];
        monitorHooks.channelConfiguration();
    }

    bool append_;
    ConditionCount conditions_;
};

// Leaves the bytes after a preamble run in the link buffer, the link synchronised on them.
void handOverToUpload(const std::uint8_t* bytes, std::size_t count)
{
    data::LinkState& L = data::linkState;
    count = std::min<std::size_t>(count, data::kLinkBufferSize);
    std::memcpy(L.linkBuffer, bytes, count);
    L.linkPos = 0;
    L.linkCount = static_cast<std::uint32_t>(count);
    L.linkSynced = true;
}

std::string portInvalidMessage(int portNumber)
{
    return "Port COM" + std::string(1, static_cast<char>('0' + portNumber)) + " is invalid.";
}

// The line failed: the port's own message, and whether the port went away.
void readFailed(bool lineGone, int portNumber)
{
    monitorHooks.readFailed(lineGone ? portInvalidMessage(portNumber) : "Transmission error", lineGone);
    monitorHooks.postToFrame(monitorState.autoUploadActive ? 40005 : 458);
}

// Decodes one read under lock B; the end of the session when one was seen.
ReaderEnd decodeRead(LiveDecoder& decoder, RecordingSink& sink, platform::SerialDevice& device,
                     const std::uint8_t* bytes, std::size_t count)
{
    MonitorState& m = monitorState;
    platform::SectionGuard lockB(m.lockB);
    std::size_t at = 0;
    while (at < count) {
        const FeedResult r = decoder.feed(bytes + at, count - at, sink);
        at += r.consumed;
        if (r.stop == StreamStop::preamble) {
            handOverToUpload(bytes + at, count - at);
            if (!m.autoUploadActive) {
                device.transmitImmediate(kCancel);
                monitorHooks.postToFrame(cmd::monitorLive);
            }
            return ReaderEnd::preamble;
        }
        if (r.stop == StreamStop::end && !m.autoUploadActive) {
            device.transmitImmediate(kCancel);
            if (m.liveSession)
                monitorHooks.postToFrame(cmd::monitorLive);
            return ReaderEnd::endPacket;
        }
    }
    return ReaderEnd::stopped;
}

void finishSession(const RecordingSink& sink)
{
    if (!sink.treatmentSeen())
        return;
    platform::SectionGuard lockB(monitorState.lockB);
    data::Recording& rec = data::recordings.primary;
    const std::uint32_t all = rec.rawChannels[0].count, since = rec.rawChannels[0].newCount;
    rec.marker57 = static_cast<std::int16_t>((all - std::min(all, since)) / data::kEpochSamples);
}

}  // namespace

ReaderEnd runMonitorReader(platform::SerialDevice& device, int portNumber)
{
    MonitorState& m = monitorState;
    device.lineStatus();
    LiveDecoder decoder;
    RecordingSink sink(monitorHooks.appendSamples());
    ReaderEnd end = ReaderEnd::stopped;
    std::uint8_t buffer[kReadSize];
    bool catchingUp = false;  // the read before filled the buffer
    while (m.liveSession && end == ReaderEnd::stopped) {
        const long got = device.readSome(buffer, sizeof buffer);
        if (got < 0) {
            readFailed(device.lineStatus().modeError, portNumber);
            end = ReaderEnd::readFailed;
            break;
        }
        if (got == 0) {
            // A line that went away may read as empty: its status tells.
            if (device.lineStatus().modeError) {
                readFailed(true, portNumber);
                end = ReaderEnd::readFailed;
                break;
            }
            // Reading on at once after a full read and finding nothing only
            // means the reader has caught up; a line quiet for a whole pause is
            // idle. The pause ends early when a byte or a cancel comes.
            if (catchingUp)
                device.waitReadable(kReadPauseMs);
            else
                decoder.idle();
            catchingUp = false;
            device.waitReadable(kIdleWaitMs);
            continue;
        }
        m.lineHeard = true;
        end = decodeRead(decoder, sink, device, buffer, static_cast<std::size_t>(got));
        // A full read means the line is ahead of us: read again at once.
        catchingUp = static_cast<std::size_t>(got) == sizeof buffer;
        if (end == ReaderEnd::stopped && !catchingUp)
            device.waitReadable(kReadPauseMs);
    }
    finishSession(sink);
    if (end == ReaderEnd::preamble && m.autoUploadActive)
        monitorHooks.postToFrame(cmd::uploadBegins);
    return end;
}

}  // namespace monitor
