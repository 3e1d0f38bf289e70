#pragma once

#include <cstdint>
#include <string>

namespace tool {

// Builds JSON text. Texts of the program are Windows-1252 bytes; each byte
// above 0x7F is written as the character it stands for.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    const std::string& text() const { return out_; }

private:
    void separate();
    std::string out_;
    bool needComma_ = false;
};

}  // namespace tool
