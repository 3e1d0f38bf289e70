#pragma once

#include <array>
#include <cstdint>

namespace state {

// The serial ports by their legacy I/O base addresses, COM1 to COM8.
inline constexpr std::array<std::uint16_t, 8> kPortBases = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x5F8, 0x4F8, 0x5E8, 0x4E8};

// The port number 1 to 8 of a base address; an unknown address counts as COM1.
inline int portNumber(std::uint32_t base)
{
    for (int i = 0; i < 8; ++i)
        if (kPortBases[i] == base)
            return i + 1;
    return 1;
}

inline std::uint16_t portBaseOf(int number) { return kPortBases[(number >= 1 && number <= 8) ? number - 1 : 0]; }

}  // namespace state
