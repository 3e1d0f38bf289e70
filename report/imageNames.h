#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace report {

// The page range typed in the image dialog ("from-to", "from to", "from , to"):
// a start of 0 to `pages` is taken (0 becomes 1); an end beyond `pages`,
// below the start or missing becomes `pages`. Text that gives no start
// keeps `current`.
std::pair<std::uint32_t, std::uint32_t> parsePageRange(const std::string& text, std::uint32_t pages,
                                                       std::pair<std::uint32_t, std::uint32_t> current);

// The files an image command writes: "<stem>-<letter>NNN<ext>" for pages first
// to last, or "<stem>-<letter><ext>" for the current view, in `folder`.
std::vector<std::string> imagePaths(const std::string& folder, const std::string& stem, char letter, const std::string& extension,
                                    std::uint32_t first, std::uint32_t last, bool currentView);

// The existing-files question for those paths, or an empty text when none
// exists: a first line with the folder, one line per existing file
// ("<name> exists."), then the question; a list too long for 259 characters
// becomes "File exists." or "Files exist.".
std::string replaceQuestion(const std::string& folder, const std::vector<std::string>& paths, bool currentView);

}  // namespace report
