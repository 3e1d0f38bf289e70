#include "report/imageNames.h"

#include <cstdio>
#include <filesystem>

namespace report {

std::pair<std::uint32_t, std::uint32_t> parsePageRange(const std::string& text, std::uint32_t pages,
                                                       std::pair<std::uint32_t, std::uint32_t> current)
{
    for (const char* pattern : {" %ld - %ld", " %ld %ld", " %ld , %ld"}) {
        long first = -1, last = -1;
        const int read = std::sscanf(text.c_str(), pattern, &first, &last);
        if (read < 1 || first < 0 || first > static_cast<long>(pages))
            continue;
        if (read == 2 || pattern == std::string(" %ld , %ld")) {
            const std::uint32_t start = first == 0 ? 1u : static_cast<std::uint32_t>(first);
            const bool endOk = read == 2 && last >= static_cast<long>(start) && last <= static_cast<long>(pages);
            return {start, endOk ? static_cast<std::uint32_t>(last) : pages};
        }
    }
    return current;
}

std::vector<std::string> imagePaths(const std::string& folder, const std::string& stem, char letter, const std::string& extension,
                                    std::uint32_t first, std::uint32_t last, bool currentView)
{
    std::vector<std::string> paths;
    char suffix[16];
    if (currentView) {
        std::snprintf(suffix, sizeof suffix, "-%c", letter);
        paths.push_back((std::filesystem::path(folder) / (stem + suffix + extension)).string());
        return paths;
    }
    for (std::uint32_t p = std::max(1u, first); p <= last; ++p) {
        std::snprintf(suffix, sizeof suffix, "-%c%03u", letter, p);
        paths.push_back((std::filesystem::path(folder) / (stem + suffix + extension)).string());
    }
    return paths;
}

std::string replaceQuestion(const std::string& folder, const std::vector<std::string>& paths, bool currentView)
{
    std::vector<std::string> existing;
    std::error_code error;
    for (const std::string& path : paths)
        if (std::filesystem::exists(path, error))
            existing.push_back(std::filesystem::path(path).filename().string());
    if (existing.empty())
        return {};
    const std::string question = "Do you want to replace it?";
    if (currentView)
        return "\n" + existing.front() + " exists. " + question;
    std::string text = folder + "\n";
    for (const std::string& name : existing)
        text += name + " exists.\n";
    if (text.size() + question.size() + 1 > 259)
        return existing.size() == 1 ? "File exists.\n" + question : "Files exist.\n" + question;
    return text + "\n" + question;
}

}  // namespace report
