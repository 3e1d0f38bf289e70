#pragma once

#include <cstdint>
#include <vector>

namespace data {

// Wraps a stream in the wire envelope through the byte layer: 32 fillers, the
// stream, the end byte and the check, high byte first.
std::vector<std::uint8_t> wrapInEnvelope(const std::vector<std::uint8_t>& stream);

// Reads a captured transfer through the stream reader, checking its form and
// its check value and storing nothing, and returns the stream's bytes as they
// were sent. Failures raise the transfer error exit.
std::vector<std::uint8_t> unwrapEnvelope(const std::vector<std::uint8_t>& capture);

// Where the stream begins in a capture: the first byte that follows a run of
// at least eight fillers; the capture's size when there is none.
std::size_t streamStart(const std::vector<std::uint8_t>& capture);

}  // namespace data
