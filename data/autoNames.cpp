#include "data/autoNames.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace data {

namespace {

constexpr std::size_t kMaxDayDigits = 8;

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The day number of a file name that matches the prefix and one of the
// extensions, or -1.
long dayNumber(const std::string& name, const std::string& prefix)
{
    if (name.size() < prefix.size() + 4 || !equalsIgnoringCase(name.substr(0, prefix.size()), prefix))
        return -1;
    const std::string extension = name.substr(name.size() - 4);
    if (!equalsIgnoringCase(extension, ".dat") && !equalsIgnoringCase(extension, ".mon"))
        return -1;
    std::string rest = name.substr(prefix.size());
    rest = rest.substr(0, rest.find('.'));
    rest = rest.substr(0, rest.find('_'));
    // A number of more digits than any name the program gives is no day number,
    // so the next number can never wrap round.
    if (rest.size() > kMaxDayDigits ||
        !std::all_of(rest.begin(), rest.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return -1;
    return std::strtol(rest.c_str(), nullptr, 10);
}

std::string printed(const char* pattern, const std::string& a, unsigned n, const std::string& b)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, a.c_str(), n, b.c_str());
    return buffer;
}

}  // namespace

std::string dayPrefix(int month, int day, int year)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02u%02u%02u", static_cast<unsigned>(month) % 100,
                  static_cast<unsigned>(day) % 100, static_cast<unsigned>(year % 100));
    return buffer;
}

unsigned nextDayNumber(const std::string& folder, const std::string& prefix)
{
    long largest = -1;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        largest = std::max(largest, dayNumber(entry.path().filename().string(), prefix));
    return largest < 0 ? 0u : static_cast<unsigned>(largest + 1);
}

std::string arrivingName(const std::string& prefix, unsigned number, const std::string& extension)
{
    return printed("%s%02u.%s", prefix, number, extension);
}

std::string finalName(const std::string& fileName, int hour, int minute, const std::string& extension)
{
    std::string stem = fileName.substr(0, fileName.find('.'));
    stem = stem.substr(0, stem.find('_'));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "_%02u%02u.", static_cast<unsigned>(hour), static_cast<unsigned>(minute));
    return stem + buffer + extension;
}

std::string proposedName(const std::string& prefix, unsigned number)
{
    return printed("%s%02u_.%s", prefix, number, "dat");
}

}  // namespace data
