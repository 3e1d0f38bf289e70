#include "simOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace sim {

bool parse(const std::vector<std::string>& args, const std::vector<std::string>& valued,
           const std::vector<std::string>& known, Options& o)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--device" && i + 1 < args.size()) {
            o.device = args[++i];
        } else if (std::find(valued.begin(), valued.end(), a) != valued.end() && i + 1 < args.size()) {
            char* end = nullptr;
            const long v = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0')
                return false;
            o.values.emplace(a, v);
        } else if (std::find(known.begin(), known.end(), a) != known.end()) {
            o.flags.push_back(a);
        } else if (a.rfind("--", 0) == 0 || a.rfind("-", 0) == 0) {
            std::fprintf(stderr, "corvane-sim: unknown option %s\n", a.c_str());
            return false;
        } else {
            o.words.push_back(a);
        }
    }
    return true;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::uint8_t buffer[65536];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, f))
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return true;
}

}  // namespace sim
