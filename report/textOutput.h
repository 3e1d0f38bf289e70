#pragma once

#include <string>

namespace data {
class DataFile;
}

namespace report {

// Writes exported text: each "\n" becomes CR LF, as exported files are on
// every system; a failed write raises the file error exit.
class TextOutput {
public:
    explicit TextOutput(data::DataFile& file) : file_(file) {}
    void write(const std::string& text);

private:
    data::DataFile& file_;
};

// A free text between double quotes, a quote inside it doubled.
std::string csvQuoted(const std::string& text);

}  // namespace report
