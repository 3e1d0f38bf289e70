#pragma once

#include <string>

namespace app {

// The unattended /summary run: opens the data file, lays out the Report page
// with the command line's options and saves it as text (or CSV, by the output's
// extension). Returns the exit code.
int runSummary();

// Where an unattended run's output goes: the output named on the command
// line, or the data file's name with `extension` in the current folder.
std::string summaryOutputPath(const char* extension = ".txt");

// Whether that output's folder exists and can be written (else exit code 4).
bool summaryFolderWritable();

}  // namespace app
