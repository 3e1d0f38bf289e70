// Writes each fuzz target's seeds into FOLDER/<target>/, as a libFuzzer corpus.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzzSeeds.h"
#include "support/sampleRecording.h"

const char* fuzzTargetName() { return ""; }

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: fuzzSeedWriter FOLDER\n", stderr);
        return 1;
    }
    for (const char* target : {"stream", "wire", "config", "live", "patient"}) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / target;
        std::filesystem::create_directories(folder);
        int n = 0;
        for (const auto& seed : fuzzSeeds(target))
            testing_support::writeBytes((folder / ("seed" + std::to_string(++n))).string(), seed);
    }
    return 0;
}
