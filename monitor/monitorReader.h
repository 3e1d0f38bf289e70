#pragma once

namespace platform {
class SerialDevice;
}

namespace monitor {

// How the live reader ended.
enum class ReaderEnd {
    stopped,    // monitoring was stopped
    preamble,   // the instrument began a stream transfer; the link holds its first bytes
    endPacket,  // the instrument ended the session
    readFailed, // the line failed
};

// The live reader: decodes what the instrument sends into the primary
// recording while `liveSession` lasts, and tells the frame (through the
// monitor hooks) what the end of the session asks for. `portNumber` names the
// port in the message for an unusable port.
ReaderEnd runMonitorReader(platform::SerialDevice& device, int portNumber);

}  // namespace monitor
