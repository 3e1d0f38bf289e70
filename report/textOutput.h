#pragma once

#include <cstddef>
#include <string>

namespace data {
class DataFile;
}

namespace report {

// Writes exported text: each "\n" becomes CR LF, as exported files are on
// every system; a failed write raises the file error exit.
class TextOutput {
public:
    explicit TextOutput(data::DataFile& file) : file_(&file) {}
    // Writes into `text`, to be written out later (a batch prepares its files
    // on several threads and writes them in order).
    explicit TextOutput(std::string& text) : text_(&text) {}
    void write(const std::string& text);
    // Writes `text` as it is: text already written by another TextOutput.
    void writeRaw(const std::string& text);

private:
    void put(const char* bytes, std::size_t count);

    data::DataFile* file_ = nullptr;
    std::string* text_ = nullptr;
};

// A free text between double quotes, a quote inside it doubled.
std::string csvQuoted(const std::string& text);

}  // namespace report
