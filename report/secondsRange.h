#pragma once

#include <cstdint>
#include <string>

namespace report {

// Reads a seconds range typed as "from - to", "from to" or "from , to" (the
// first CR and the first LF removed). The first form that gives a valid pair
// (0 <= from <= length, to > from) is taken, with a to beyond the length
// brought back to the length. Otherwise both values stay as they are.
// Returns whether the range was taken.
bool parseSecondsRange(std::string text, std::uint32_t length, std::uint32_t& from, std::uint32_t& to);

// "%u-%u".
std::string formatSecondsRange(std::uint32_t from, std::uint32_t to);

}  // namespace report
