// Feeds arbitrary bytes to the wire-envelope decoder, as a captured transfer:
// a capture is taken or refused with the transfer error exit, never a crash,
// and what it returns lies inside the capture.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/byteLayer.h"
#include "data/linkState.h"
#include "data/wireEnvelope.h"
#include "fuzzSeeds.h"

const char* fuzzTargetName() { return "wire"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::vector<std::uint8_t> capture(bytes, bytes + size);
    if (data::streamStart(capture) > capture.size())
        std::abort();
    try {
        const std::vector<std::uint8_t> stream = data::unwrapEnvelope(capture);
        if (stream.size() + 3 > capture.size())
            std::abort();
    } catch (const data::TransferError&) {
    }
    data::linkState.reset();
    return 0;
}
