#include "data/autoFiling.h"

#include <cerrno>
#include <filesystem>

#include "data/autoNames.h"
#include "data/dataFiles.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"

namespace data {

void stampDateTime(Recording& rec, const std::tm& t)
{
    rec.header[hw::month] = static_cast<std::uint16_t>(t.tm_mon + 1);
    rec.header[hw::day] = static_cast<std::uint16_t>(t.tm_mday);
    rec.header[hw::year] = static_cast<std::uint16_t>(t.tm_year % 100);
    rec.header[hw::hour] = static_cast<std::uint16_t>(t.tm_hour);
    rec.header[hw::minute] = static_cast<std::uint16_t>(t.tm_min);
    rec.header[hw::second] = static_cast<std::uint16_t>(t.tm_sec);
}

std::string dayPrefixOf(const std::tm& t) { return dayPrefix(t.tm_mon + 1, t.tm_mday, t.tm_year + 1900); }

namespace {

// The monitored recording's automatic name in `folder` now: "MMDDYYnn_hhmm.mon",
// or "MMDDYYnn.mon" when that is taken.
std::string monitoredName(const std::string& folder, const std::tm& t)
{
    namespace fs = std::filesystem;
    const std::string prefix = dayPrefixOf(t);
    const std::string arriving = arrivingName(prefix, nextDayNumber(folder, prefix), "mon");
    const std::string final = finalName(arriving, t.tm_hour, t.tm_min, "mon");
    std::error_code error;
    return (fs::path(folder) / (fs::exists(fs::path(folder) / final, error) ? arriving : final)).string();
}


}  // namespace

std::string fileMonitoredRecording(const void* owner, const std::string& folder, const std::tm& t)
{
    std::string path = monitoredName(folder, t);
    SafeFile out(path);
    if (!out.file()) {
        tellFileProblem(owner, "Could not open file \"%s\" to write", path);
        return std::string();
    }
    if (!writeDataFile(out)) {
        tellFileProblem(owner, "Cannot write file %s", path);
        return std::string();
    }
    // Never over an existing file: a name another program took meanwhile gives
    // way to the day's next number.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (out.commitNew())
            return path;
        if (out.temporaryPath().empty() || errno != EEXIST)
            break;
        path = monitoredName(folder, t);
        out.retarget(path);
    }
    out.abandon();
    tellFileProblem(owner, "Cannot write file %s", path);
    return std::string();
}

std::string arrivingUploadName(const std::string& folder, const std::tm& t)
{
    const std::string prefix = dayPrefixOf(t);
    return arrivingName(prefix, nextDayNumber(folder, prefix), "dat");
}

}  // namespace data
