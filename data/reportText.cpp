#include "data/reportText.h"

namespace data {

std::string_view reportTextInEffect(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && static_cast<unsigned char>(text[i + 1]) < 0x20)
            return std::string_view(text).substr(0, i + 1);
    return text;
}

std::vector<std::string> reportTextLines(const std::string& text)
{
    const std::string_view inEffect = reportTextInEffect(text);
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t cr = inEffect.find('\r'); cr != std::string_view::npos; cr = inEffect.find('\r', begin)) {
        lines.emplace_back(inEffect.substr(begin, cr - begin));
        begin = cr + 1;
    }
    return lines;
}

}  // namespace data
