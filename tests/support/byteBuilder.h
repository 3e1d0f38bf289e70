#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Builds stream bytes by hand, in the stream's byte orders.
struct ByteBuilder {
    std::vector<std::uint8_t> bytes;

    ByteBuilder& u8(unsigned v)
    {
        bytes.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    ByteBuilder& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    ByteBuilder& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    ByteBuilder& floatBE(float f)
    {
        std::uint32_t v = std::bit_cast<std::uint32_t>(f);
        return u8(v >> 24).u8((v >> 16) & 0xFF).u8((v >> 8) & 0xFF).u8(v & 0xFF);
    }
    ByteBuilder& text(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    // A section with a 16-bit count followed by text bytes.
    ByteBuilder& textSection(unsigned tag, const std::string& s) { return u8(tag).u16(static_cast<unsigned>(s.size())).text(s); }
};

}  // namespace testing_support
