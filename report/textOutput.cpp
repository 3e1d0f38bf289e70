#include "report/textOutput.h"

#include "data/byteLayer.h"
#include "data/dataFile.h"

namespace report {

void TextOutput::write(const std::string& text)
{
    for (char c : text) {
        if (c == '\n' && !file_.putByte('\r'))
            data::raiseFileError(data::filestatus::fileIoError);
        if (!file_.putByte(static_cast<std::uint8_t>(c)))
            data::raiseFileError(data::filestatus::fileIoError);
    }
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
