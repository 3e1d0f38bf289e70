#pragma once

#include <string>
#include <vector>

namespace app {

// The start-up steps that need no window: the command line and its rules, the
// defaults, the folders and start time, and the configuration file (unless
// /noserial). Afterwards `startup.quitRequested` says whether the run ends
// at once with `startup.exitCode`.
void startUp(const std::vector<std::string>& arguments);

// The configuration file's path: in the start-up folder.
std::string configurationPath();

}  // namespace app
