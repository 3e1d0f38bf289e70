#pragma once

#include <string>

namespace data {

// The day prefix "MMDDYY" of a local date.
std::string dayPrefix(int month, int day, int year);

// One more than the largest day number among the folder's files of that day
// (prefix, digits, then "_" or "." and the extension .dat or .mon); 0 when none.
unsigned nextDayNumber(const std::string& folder, const std::string& prefix);

// "MMDDYYnn.ext": the name a recording is written under while it arrives.
std::string arrivingName(const std::string& prefix, unsigned number, const std::string& extension);

// "MMDDYYnn_hhmm.ext": the final name of a written file, from its name (cut at
// the first "." and the first "_") and the local time.
std::string finalName(const std::string& fileName, int hour, int minute, const std::string& extension);

// "MMDDYYnn_.dat": the name shown while auto-upload waits.
std::string proposedName(const std::string& prefix, unsigned number);

}  // namespace data
