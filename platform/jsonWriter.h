#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Builds JSON text. Texts of the program are Windows-1252 bytes; each byte
// above 0x7F is written as the character it stands for. A pretty writer puts
// each member on a line of its own, indented by two spaces a level.
class JsonWriter {
public:
    explicit JsonWriter(bool pretty = false) : pretty_(pretty) {}
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
    void newLine();
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);
    std::string out_;
    bool pretty_;
    bool needComma_ = false;
    bool afterKey_ = false;
    int depth_ = 0;
};

}  // namespace platform
