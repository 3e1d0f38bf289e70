#pragma once

#include <ctime>
#include <string>

#include "data/recording.h"

namespace data {

// The date and time words of the header from a local time.
void stampDateTime(Recording& rec, const std::tm& local);

// The day prefix "MMDDYY" of a local time.
std::string dayPrefixOf(const std::tm& local);

// Files the primary recording, a monitored one, in `folder` under its
// automatic name "MMDDYYnn_hhmm.mon" (or "MMDDYYnn.mon" when that name is
// taken) through the crash-safe save, never replacing a file: a name taken
// meanwhile gives the next number. The path written, or empty when the save
// failed (its message shown to `owner`).
std::string fileMonitoredRecording(const void* owner, const std::string& folder, const std::tm& local);

// The name an upload arriving now is written under in `folder`.
std::string arrivingUploadName(const std::string& folder, const std::tm& local);

}  // namespace data
