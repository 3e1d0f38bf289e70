#include "data/safeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/fileOps.h"

namespace data {

namespace {

using platform::fileOps;

std::string folderOf(const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

// Permissions the finished file gets: the target's own when it exists.
mode_t targetPermissions(const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void syncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fileOps.fsync(fd);
        ::close(fd);
    }
}

}  // namespace

SafeFile::SafeFile(std::string target) : target_(std::move(target))
{
    static std::random_device seed;
    static std::mt19937_64 random(seed());
    const std::string stem = std::filesystem::path(target_).filename().string();
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", static_cast<unsigned long long>(random() & 0xFFFFFFFF));
        temporary_ = folderOf(target_) + "/." + stem + suffix;
        file_ = DataFile::open(temporary_, DataFile::Mode::write, 0600, true);
        if (!file_ && errno != EEXIST)
            break;
    }
    if (!file_)
        temporary_.clear();
}

SafeFile::~SafeFile()
{
    abandon();
}

bool SafeFile::commit()
{
    if (!file_)
        return false;
    const mode_t permissions = targetPermissions(target_);
    bool ok = file_->sync() && ::fchmod(file_->descriptor(), permissions) == 0;
    ok = file_->close() && ok;
    if (ok && fileOps.rename(temporary_.c_str(), target_.c_str()) == 0) {
        file_.reset();
        temporary_.clear();
        syncFolder(folderOf(target_));
        return true;
    }
    abandon();
    return false;
}

void SafeFile::abandon()
{
    file_.reset();
    if (!temporary_.empty()) {
        fileOps.unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool writeWholeFile(const std::string& path, const void* bytes, std::size_t size)
{
    SafeFile out(path);
    if (!out.file())
        return false;
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    for (std::size_t i = 0; i < size; ++i)
        if (!out.file()->putByte(p[i]))
            return false;
    return out.commit();
}

}  // namespace data
