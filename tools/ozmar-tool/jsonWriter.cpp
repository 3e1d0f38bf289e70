#include "jsonWriter.h"

#include <cmath>
#include <cstdio>

namespace tool {

namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F.
const std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void escape(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        char buffer[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            unsigned code = c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c;
            std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

}  // namespace

void JsonWriter::separate()
{
    if (needComma_)
        out_ += ',';
    needComma_ = true;
}

JsonWriter& JsonWriter::beginObject()
{
    separate();
    out_ += '{';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    out_ += '}';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    separate();
    out_ += '[';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    out_ += ']';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name)
{
    separate();
    escape(out_, name);
    out_ += ':';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text)
{
    separate();
    escape(out_, text);
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number)
{
    separate();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(double number)
{
    separate();
    if (!std::isfinite(number)) {
        out_ += "null";
        return *this;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9g", number);
    out_ += buffer;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    separate();
    out_ += flag ? "true" : "false";
    return *this;
}

}  // namespace tool
