#pragma once

namespace state {

// The program's version, as --version, the About box and exported files name it.
constexpr char kProgramVersion[] = "6.81";

}  // namespace state
