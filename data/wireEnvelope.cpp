#include "data/wireEnvelope.h"

#include "data/byteLayer.h"
#include "data/streamReader.h"
#include "platform/memorySerialDevice.h"

namespace data {

namespace {

// Attaches a memory line to the byte layer for the length of one transfer,
// which starts and leaves the link state as after a reset.
class MemoryLink {
public:
    MemoryLink() : previous_(linkState.device)
    {
        clear();
        linkState.device = &device;
    }
    ~MemoryLink()
    {
        clear();
        linkState.device = previous_;
    }
    static void clear()
    {
        linkState.resetLink();
        linkState.transferStatus = 0;
    }
    platform::MemorySerialDevice device;

private:
    platform::SerialDevice* previous_;
};

}  // namespace

std::vector<std::uint8_t> wrapInEnvelope(const std::vector<std::uint8_t>& stream)
{
    MemoryLink link;
    beginSentStream();
    for (std::uint8_t byte : stream)
        sendByte(byte, false);
    endSentStream();
    return link.device.output;
}

std::size_t streamStart(const std::vector<std::uint8_t>& capture)
{
    int run = 0;
    for (std::size_t i = 0; i < capture.size(); ++i) {
        if (capture[i] == kFiller)
            ++run;
        else if (run >= kPreambleNeeded)
            return i;
        else
            run = 0;
    }
    return capture.size();
}

std::vector<std::uint8_t> unwrapEnvelope(const std::vector<std::uint8_t>& capture)
{
    MemoryLink link;
    link.device.input = capture;
    link.device.goneAtEnd = true;
    // The stream is read only to check it: unwrapping stores nothing.
    checkReceivedForm();
    // Everything the reader took, less the end byte and the two check bytes.
    const std::size_t consumed = link.device.readPos - linkState.linkCount;
    const std::size_t start = streamStart(capture);
    return std::vector<std::uint8_t>(capture.begin() + static_cast<long>(start),
                                     capture.begin() + static_cast<long>(consumed - 3));
}

}  // namespace data
