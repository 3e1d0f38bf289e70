#pragma once

namespace app {

// Runs the desktop program after start-up: the frame with its saved layout,
// the data file named on the command line, then the event loop. Returns the
// exit code.
int runDesktop(int argc, char** argv);

}  // namespace app
