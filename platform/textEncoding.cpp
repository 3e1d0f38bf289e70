#include "platform/textEncoding.h"

namespace platform {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the range is Latin-1.
const std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::uint32_t windows1252CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

std::string windows1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        const std::uint32_t cp = windows1252CodePoint(c);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace platform

namespace platform {

namespace {

// Decodes one UTF-8 sequence at `i`; -1 when it is not valid UTF-8.
long nextCodePoint(const std::string& text, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0))
        return -1;
    long cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static const long smallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < smallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

// The Windows-1252 byte of a code point; -1 when the code page has none.
int windows1252Byte(long cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHighControls[k] == cp)
            return 0x80 + k;
    return -1;
}

}  // namespace

Utf8Conversion utf8ToWindows1252(const std::string& text)
{
    Utf8Conversion result;
    result.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const long cp = nextCodePoint(text, i);
        if (cp < 0) {
            result.problem = "the text is not valid UTF-8";
            return result;
        }
        const int b = windows1252Byte(cp);
        if (b < 0) {
            result.problem = "\"" + text.substr(start, i - start) + "\" cannot be written in Windows-1252";
            return result;
        }
        result.text += static_cast<char>(b);
    }
    result.ok = true;
    return result;
}

}  // namespace platform

namespace platform {

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace platform
