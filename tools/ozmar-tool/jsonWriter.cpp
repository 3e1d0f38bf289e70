#include "jsonWriter.h"

#include <cmath>
#include <cstdio>

#include "platform/textEncoding.h"

namespace tool {

namespace {

void escape(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        char buffer[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            const unsigned code = platform::windows1252CodePoint(c);
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
