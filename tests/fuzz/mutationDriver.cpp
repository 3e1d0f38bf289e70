// Drives the fuzz target without libFuzzer: small valid streams, mutated at
// random (bit flips, byte changes, insertions, deletions, cuts, splices).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "data/streamReader.h"
#include "support/byteBuilder.h"
#include "support/sampleRecording.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size);

namespace {

std::vector<std::vector<std::uint8_t>> seeds()
{
    testing_support::TempDir dir;
    std::vector<std::vector<std::uint8_t>> out;
    for (int mode : {0, 1}) {
        testing_support::resetCore();
        testing_support::fillPrimary({mode, 300, 2, mode == 0, 7u + static_cast<unsigned>(mode)});
        testing_support::writePrimary(dir.file("seed.dat"));
        out.push_back(testing_support::fileBytes(dir.file("seed.dat")));
    }
    testing_support::resetCore();
    testing_support::ByteBuilder b;
    b.u8(28).textSection(40, "id").textSection(44, "c").u8(52).u16(1).u16(0).u8(56).u16(2).u16(56).u16(3);
    out.push_back(b.bytes);
    return out;
}

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
    const auto corpus = seeds();
    for (long run = 0; run < runs; ++run) {
        std::vector<std::uint8_t> input = corpus[run % corpus.size()];
        mutate(input, random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld inputs, no finding\n", runs);
    return 0;
}
