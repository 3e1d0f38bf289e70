// corvane-sim: plays the instrument. It writes realistic sample recordings as
// data files, and on a serial line (a new pseudo-terminal whose device path it
// prints first, or a given device) it sends and receives recordings.
#include <cstdio>
#include <string>
#include <vector>

#include "state/programVersion.h"

namespace sim {
int writeRole(const std::vector<std::string>& args);
int sendRole(const std::vector<std::string>& args);
int receiveRole(const std::vector<std::string>& args);
int monitorRole(const std::vector<std::string>& args);
}

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 1 ? 2 : 1), argv + argc);
    const std::string role = argc > 1 ? argv[1] : "";
    if (role == "--version") {
        std::printf("corvane-sim %s\n", state::kProgramVersion);
        return 0;
    }
    if (role == "write")
        return sim::writeRole(args);
    if (role == "send")
        return sim::sendRole(args);
    if (role == "receive")
        return sim::receiveRole(args);
    if (role == "monitor")
        return sim::monitorRole(args);
    std::fputs("usage: corvane-sim write OUT.dat [options]\n"
               "       corvane-sim send FILE [options]       (prints the device to use, then sends)\n"
               "       corvane-sim receive OUT.dat [options] (prints the device to use, then receives)\n"
               "       corvane-sim monitor [DATA-FILE] [options] (prints the device to use, then plays a live session)\n"
               "Each role with an unknown option lists its options.\n"
               "send exits 0 when sent, 10 when the program cancelled; receive exits 0 with a correct\n"
               "check, 3 with a bad one, 4 for a stream of the wrong form, 5 for an incomplete one.\n",
               role == "--help" ? stdout : stderr);
    return role == "--help" ? 0 : 1;
}
