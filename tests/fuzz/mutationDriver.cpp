// Drives a fuzz target without libFuzzer: the target's seeds, mutated at
// random (bit flips, byte changes, insertions, deletions, cuts).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "fuzzSeeds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size);

namespace {

void mutate(std::vector<std::uint8_t>& v, std::mt19937& r)
{
    const int edits = 1 + static_cast<int>(r() % 4);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = v.empty() ? 0 : r() % v.size();
        switch (r() % 6) {
        case 0: if (!v.empty()) v[at] ^= static_cast<std::uint8_t>(1u << (r() % 8)); break;
        case 1: if (!v.empty()) v[at] = static_cast<std::uint8_t>(r()); break;
        case 2: v.insert(v.begin() + static_cast<long>(at), static_cast<std::uint8_t>(r())); break;
        case 3: if (!v.empty()) v.erase(v.begin() + static_cast<long>(at)); break;
        case 4: v.resize(at); break;
        case 5: if (!v.empty()) v[at] = static_cast<std::uint8_t>(r() % 64); break;  // another tag
        }
    }
}

long option(int argc, char** argv, const char* name, long fallback)
{
    const std::size_t n = std::strlen(name);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], name, n) == 0)
            return std::strtol(argv[i] + n, nullptr, 10);
    return fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    const long runs = option(argc, argv, "-runs=", 100000);
    std::mt19937 random(static_cast<unsigned>(option(argc, argv, "-seed=", 1)));
    const auto corpus = fuzzSeeds(fuzzTargetName());
    for (long run = 0; run < runs; ++run) {
        std::vector<std::uint8_t> input = corpus[run % corpus.size()];
        mutate(input, random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld inputs, no finding\n", runs);
    return 0;
}
