#include "data/leftoverFiling.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <regex>

#include "data/autoFiling.h"
#include "data/autoNames.h"
#include "data/dataFiles.h"
#include "data/loadedRecording.h"
#include "platform/fileOps.h"

namespace data {

namespace {

namespace fs = std::filesystem;

// ".NAME.EXT.xxxxxxxx.tmp" with EXT dat or mon: the extension, or empty.
std::string leftoverExtension(const std::string& fileName)
{
    static const std::regex pattern(R"(^\..+\.(dat|mon)\.[0-9a-f]{8}\.tmp$)", std::regex::icase);
    std::smatch match;
    if (!std::regex_match(fileName, match, pattern))
        return std::string();
    std::string extension = match[1];
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// An open descriptor that holds the file's lock, or -1 when another program
// holds it (the file is being written) or it cannot be opened.
int lockLeftover(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Gives the leftover the next automatic name of the day it was written, by a
// link that never replaces a file; a name taken meanwhile gives the next number.
// The path it was filed under; empty, with `error` the reason, when it could not be.
std::string fileUnderAutomaticName(const std::string& folder, const std::string& path, const std::string& extension,
                                   std::time_t written, int& error)
{
    error = EEXIST;
    std::tm local{};
    ::localtime_r(&written, &local);
    const std::string prefix = dayPrefixOf(local);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string arriving = arrivingName(prefix, nextDayNumber(folder, prefix), extension);
        const std::string target = (fs::path(folder) / finalName(arriving, local.tm_hour, local.tm_min, extension)).string();
        if (platform::fileOps.link(path.c_str(), target.c_str()) == 0) {
            platform::fileOps.unlink(path.c_str());
            return target;
        }
        error = errno;
        if (error != EEXIST)
            break;
    }
    return std::string();
}

// Whether the file reads whole as a recording, read into one of its own so that
// the program's recordings stay as they are.
bool holdsWholeRecording(const std::string& path)
{
    auto own = std::make_unique<LoadedRecording>();
    return loadRecording(path, *own, ReadScope::beside) == LoadResult::loaded;
}

Leftover fileLeftover(const std::string& folder, const std::string& path, const std::string& extension)
{
    Leftover result{path, {}, {}};
    const int lock = lockLeftover(path);
    if (lock < 0)
        return result;  // being written by another program, or gone
    struct stat st {};
    int error = 0;
    if (::fstat(lock, &st) != 0 || !S_ISREG(st.st_mode))
        result.problem = "it is not a regular file";
    else if (!holdsWholeRecording(path))
        result.problem = "it does not hold a whole recording";
    else if ((result.filed = fileUnderAutomaticName(folder, path, extension, st.st_mtime, error)).empty())
        result.problem = std::string("it could not be given an automatic name: ") + std::strerror(error);
    ::close(lock);
    return result;
}

}  // namespace

std::vector<Leftover> fileLeftovers(const std::string& folder)
{
    std::vector<Leftover> found;
    std::error_code error;
    std::vector<fs::path> candidates;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (!leftoverExtension(it->path().filename().string()).empty())
            candidates.push_back(it->path());
    std::sort(candidates.begin(), candidates.end());
    for (const fs::path& path : candidates) {
        Leftover leftover = fileLeftover(folder, path.string(), leftoverExtension(path.filename().string()));
        if (!leftover.filed.empty() || !leftover.problem.empty())
            found.push_back(std::move(leftover));
    }
    return found;
}

std::string leftoverMessage(const Leftover& leftover)
{
    if (!leftover.filed.empty())
        return "A recording an earlier session left unfiled (" + leftover.temporary + ") was filed as " + leftover.filed;
    return "The temporary file " + leftover.temporary + " that an earlier session left was kept as it is: " + leftover.problem;
}

}  // namespace data
