#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace data {

// CRC-16/CCITT-FALSE (polynomial 0x1021, initial 0xFFFF, most significant bit
// first, no reflection, no final XOR), one byte at a time.
constexpr std::uint16_t crcStepBitwise(std::uint16_t crc, std::uint8_t byte)
{
    std::uint16_t value = static_cast<std::uint16_t>(byte << 8);
    for (int i = 0; i < 8; ++i) {
        if ((value ^ crc) & 0x8000)
            crc = static_cast<std::uint16_t>(((crc ^ 0x0810) << 1) | 1);
        else
            crc = static_cast<std::uint16_t>(crc << 1);
        value = static_cast<std::uint16_t>(value << 1);
    }
    return crc;
}

namespace detail {
constexpr std::array<std::uint16_t, 256> makeCrcTable()
{
    std::array<std::uint16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = crcStepBitwise(0, static_cast<std::uint8_t>(b));
    return table;
}
inline constexpr std::array<std::uint16_t, 256> kCrcTable = makeCrcTable();
}  // namespace detail

// The same step through a table: the register's high byte and the data byte
// select the table entry, which is the bitwise step applied to a zero register.
constexpr std::uint16_t crcStep(std::uint16_t crc, std::uint8_t byte)
{
    return static_cast<std::uint16_t>((crc << 8) ^ detail::kCrcTable[(crc >> 8) ^ byte]);
}

constexpr std::uint16_t kCrcInitial = 0xFFFF;

inline std::uint16_t crcOf(const std::uint8_t* bytes, std::size_t count, std::uint16_t crc = kCrcInitial)
{
    for (std::size_t i = 0; i < count; ++i)
        crc = crcStep(crc, bytes[i]);
    return crc;
}

}  // namespace data
