#include "report/secondsRange.h"

#include <cstdio>

namespace report {

namespace {

// A pair is valid when 0 <= from <= length, to >= 0 and to > from.
bool validPair(long long from, long long to, std::uint32_t length)
{
    return from >= 0 && from <= length && to >= 0 && to > from;
}

}  // namespace

bool parseSecondsRange(std::string text, std::uint32_t length, std::uint32_t& from, std::uint32_t& to)
{
    for (char stop : {'\r', '\n'})
        if (const auto at = text.find(stop); at != std::string::npos)
            text.erase(at, 1);
    for (const char* pattern : {" %lld - %lld", " %lld %lld", " %lld , %lld"}) {
        long long a = -1, b = -1;
        if (std::sscanf(text.c_str(), pattern, &a, &b) == 2 && validPair(a, b, length)) {
            from = static_cast<std::uint32_t>(a);
            to = b > length ? length : static_cast<std::uint32_t>(b);
            return true;
        }
    }
    return false;
}

std::string formatSecondsRange(std::uint32_t from, std::uint32_t to)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u-%u", from, to);
    return text;
}

}  // namespace report
