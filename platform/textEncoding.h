#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The Unicode code point of a Windows-1252 byte.
std::uint32_t windows1252CodePoint(unsigned char byte);

// Windows-1252 text as UTF-8.
std::string windows1252ToUtf8(const std::string& text);

}  // namespace platform
