#pragma once

#include <string>

namespace report {

// Lays out a tab- and backspace-marked line in character cells the way the
// report window's text drawer places it: a run ended by a backspace ends at the
// pen, tabs advance the pen by `tabWidth` cells. Each backspace shows as "|".
std::string markedTextInColumns(const std::string& text, std::size_t tabWidth = 8);

}  // namespace report
