// corvane-sim: plays the instrument. Its first role writes realistic sample
// recordings as data files through the program's own stream writer.
#include <cstdio>
#include <string>
#include <vector>

namespace sim {
int writeRole(const std::vector<std::string>& args);
}

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 1 ? 2 : 1), argv + argc);
    const std::string role = argc > 1 ? argv[1] : "";
    if (role == "write")
        return sim::writeRole(args);
    std::fputs("usage: corvane-sim write OUT.dat [options]   (corvane-sim write --help for the options)\n",
               role == "--help" ? stdout : stderr);
    return role == "--help" ? 0 : 1;
}
