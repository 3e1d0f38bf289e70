#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include <cstdint>

namespace sim {

// Options of the form --name VALUE (repeatable) and flags.
struct Options {
    std::multimap<std::string, long> values;
    std::vector<std::string> flags;
    std::vector<std::string> words;
    long get(const std::string& name, long fallback) const
    {
        auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
    bool has(const std::string& flag) const { return std::find(flags.begin(), flags.end(), flag) != flags.end(); }
    std::string device;
};

// Takes the known options only: a mistyped one is refused, never ignored.
bool parse(const std::vector<std::string>& args, const std::vector<std::string>& valued,
           const std::vector<std::string>& known, Options& o);

// The whole file; false when it cannot be read.
bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace sim
