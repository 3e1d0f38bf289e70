#pragma once

#include <string>
#include <vector>

namespace data {

// A hidden temporary file an interrupted filing left in a folder
// (".NAME.dat.xxxxxxxx.tmp" or ".NAME.mon.xxxxxxxx.tmp") and what became of it.
struct Leftover {
    std::string temporary;  // its path
    std::string filed;      // the path it was filed under; empty when it was left as it is
    std::string problem;    // why it was left as it is
};

// Finds the leftovers of `folder` and files each one that holds a whole,
// readable recording under the next automatic name of the day it was written
// ("MMDDYYnn_hhmm.dat" or ".mon", from its modification time), never over
// another file. Anything else is left as it is, with the reason. A temporary
// file another program is still writing (it holds the file's lock) is not a
// leftover. Reads each candidate into the secondary recording.
std::vector<Leftover> fileLeftovers(const std::string& folder);

// The message that tells the user what became of a leftover.
std::string leftoverMessage(const Leftover& leftover);

}  // namespace data
