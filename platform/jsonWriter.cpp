#include "platform/jsonWriter.h"

#include <cmath>
#include <cstdio>

#include "platform/textEncoding.h"

namespace platform {

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
    if (pretty_ && !afterKey_ && depth_ > 0)
        newLine();
    needComma_ = true;
    afterKey_ = false;
}

void JsonWriter::newLine()
{
    out_ += '\n';
    out_.append(static_cast<std::size_t>(depth_) * 2, ' ');
}

JsonWriter& JsonWriter::open(char bracket)
{
    separate();
    out_ += bracket;
    ++depth_;
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    --depth_;
    if (pretty_ && needComma_)
        newLine();
    out_ += bracket;
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::beginObject() { return open('{'); }
JsonWriter& JsonWriter::endObject() { return close('}'); }
JsonWriter& JsonWriter::beginArray() { return open('['); }
JsonWriter& JsonWriter::endArray() { return close(']'); }

JsonWriter& JsonWriter::key(const std::string& name)
{
    separate();
    escape(out_, name);
    out_ += pretty_ ? ": " : ":";
    needComma_ = false;
    afterKey_ = true;
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

}  // namespace platform
