#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Builds what the instrument sends while monitoring, as a test needs it.
struct LiveBytes {
    std::vector<std::uint8_t> bytes;

    // One sample pair: the low 7 bits, then the channel and bits 8 to 12.
    LiveBytes& sample(int channel, int value)
    {
        const int v = value & 0x1FFF;
        bytes.push_back(static_cast<std::uint8_t>(v & 0x7F));
        bytes.push_back(static_cast<std::uint8_t>(((v >> 8) & 0x1F) | (channel << 5)));
        return *this;
    }
    // `count` frames of the four channels, channel c of frame k holding value(k, c).
    template <class F>
    LiveBytes& frames(int count, F value)
    {
        for (int k = 0; k < count; ++k)
            for (int c = 0; c < 4; ++c)
                sample(c, value(k, c));
        return *this;
    }
    // A run of one byte, then a byte of no class that ends it.
    LiveBytes& run(std::uint8_t byte, int count = 8, bool terminate = true)
    {
        bytes.insert(bytes.end(), static_cast<std::size_t>(count), byte);
        if (terminate)
            bytes.push_back(0xFF);
        return *this;
    }
    LiveBytes& text(std::uint8_t classBase, const std::string& t)
    {
        for (unsigned char c : t) {
            bytes.push_back(static_cast<std::uint8_t>(classBase | (c & 0x0F)));
            bytes.push_back(static_cast<std::uint8_t>(classBase | (c >> 4)));
        }
        bytes.push_back(0xFF);
        return *this;
    }
    LiveBytes& raw(std::initializer_list<std::uint8_t> b)
    {
        bytes.insert(bytes.end(), b);
        return *this;
    }
};

// What a 13-bit sample turns into on the line (bit 7 has no place in a pair).
inline int onTheLine(int value)
{
    int v = (value & 0x1F7F);
    return v > 0x0FFF ? v - 0x2000 : v;
}

}  // namespace testing_support
