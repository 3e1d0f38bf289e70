#pragma once

#include <string>
#include <vector>

namespace app {

// Splits a command line: tab, line feed, carriage return and space separate
// arguments; a double quote switches quoted mode, in which everything up to
// the next quote is taken literally; a quote at an argument boundary starts an
// argument even if it stays empty.
std::vector<std::string> splitCommandLine(const std::string& line);

// Applies the arguments (without the program name) to the start-up state, left
// to right, then the rules that follow them. `isPath` decides whether an
// argument that begins with "/" and is no option names a path.
void parseCommandLine(const std::vector<std::string>& arguments);

// An argument beginning with "/" that matches no option is a path when it holds
// a second "/" or names something that exists.
bool looksLikePath(const std::string& argument);

}  // namespace app
