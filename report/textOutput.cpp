#include "report/textOutput.h"

#include "data/byteLayer.h"
#include "data/dataFile.h"

namespace report {

void TextOutput::write(const std::string& text)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        put(text.data() + begin, end - begin);
        if (newline == std::string::npos)
            break;
        put("\r\n", 2);
        begin = newline + 1;
    }
}

void TextOutput::writeRaw(const std::string& text)
{
    put(text.data(), text.size());
}

void TextOutput::put(const char* bytes, std::size_t count)
{
    if (text_)
        text_->append(bytes, count);
    else
        data::putBytes(reinterpret_cast<const std::uint8_t*>(bytes), count, file_);
}

std::string csvQuoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace report
