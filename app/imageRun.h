#pragma once

namespace app {

// The unattended image modes /graphimages, /fftimages and /reportimages: the
// data file's pages as PNG files in the output folder, with no window shown
// and no question asked. Returns the exit code (0 done, 1 an image could not
// be made, 2 or 3 the data file, 7 nothing to draw).
int runImages(int argc, char** argv);

}  // namespace app
