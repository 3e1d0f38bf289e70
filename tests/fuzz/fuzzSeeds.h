#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Real inputs of each fuzz target, made by the program's own writers: data
// files ("stream"), captured transfers ("wire"), configuration files ("config"),
// live monitoring bytes ("live").
std::vector<std::vector<std::uint8_t>> fuzzSeeds(const std::string& target);

// The name of the target linked into this program.
const char* fuzzTargetName();
