#pragma once

#include <cstdint>

namespace analysis {

// (value + 2^(n-1)) shifted right arithmetically by n: a shift that rounds
// halves upwards. n >= 1. The sum wraps as 32-bit arithmetic does.
constexpr std::int32_t roundShift(std::int32_t value, int n)
{
    std::uint32_t sum = static_cast<std::uint32_t>(value) + (std::uint32_t{1} << (n - 1));
    return static_cast<std::int32_t>(sum) >> n;
}

// The integer nearest to the square root of `value`: the integer square root of
// 4 * value, bit by bit, then rounded down by one bit; kept to 16 bits.
constexpr std::uint16_t roundedSqrt(std::uint32_t value)
{
    std::uint64_t rest = std::uint64_t{value} << 2;
    std::uint64_t root = 0;
    std::uint64_t bit = std::uint64_t{1} << 34;
    while (bit > rest)
        bit >>= 2;
    while (bit != 0) {
        if (rest >= root + bit) {
            rest -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return static_cast<std::uint16_t>(roundShift(static_cast<std::int32_t>(root), 1));
}

}  // namespace analysis
