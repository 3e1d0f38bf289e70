#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace data {

// The instrument's report text as far as it counts: a control character
// right after a CR ends the text there (the CR stays).
std::string_view reportTextInEffect(const std::string& text);

// The CR-terminated lines of the report text in effect, without their CRs; a
// last fragment without a CR is no line.
std::vector<std::string> reportTextLines(const std::string& text);

}  // namespace data
