#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The Unicode code point of a Windows-1252 byte.
std::uint32_t windows1252CodePoint(unsigned char byte);

// Windows-1252 text as UTF-8.
std::string windows1252ToUtf8(const std::string& text);

// The text with its ASCII letters in lower case (file extensions, names).
std::string lowerAscii(std::string text);

// UTF-8 text as Windows-1252, one byte a character. Text that is not valid
// UTF-8, or holds a character the code page lacks, is refused with the reason.
struct Utf8Conversion {
    bool ok = false;
    std::string text;
    std::string problem;
};
Utf8Conversion utf8ToWindows1252(const std::string& text);

}  // namespace platform
