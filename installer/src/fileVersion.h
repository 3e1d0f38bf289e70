#pragma once

namespace rav {

// 0 equal versions, 1 the first newer, 2 the second newer, 3 a version unreadable.
int compareFileVersions(const wchar_t* first, const wchar_t* second);

}  // namespace rav
