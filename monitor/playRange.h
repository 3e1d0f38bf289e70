#pragma once

#include <cstdint>
#include <string>

namespace monitor {

struct PlayRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// The Time Set field read as " %u - %u", else " %u %u", else " %u , %u". A
// start from 0 to `lengthSeconds` counts; an end that is missing, above the
// length or not after the start becomes the length. Without a valid start the
// range stays `current`.
PlayRange parsePlayRange(const std::string& text, PlayRange current, std::uint32_t lengthSeconds);

// "%u-%u".
std::string playRangeText(PlayRange range);

}  // namespace monitor
