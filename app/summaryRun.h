#pragma once

#include <string>

namespace app {

// The unattended /summary run: opens the data file, lays out the Report page
// with the command line's options and saves it as text (or CSV, by the output's
// extension). Returns the exit code.
int runSummary();

// Where the summary goes: the output named on the command line, or the data
// file's name with ".txt" in the current folder.
std::string summaryOutputPath();

}  // namespace app
