#include "data/safeFile.h"

#include <fcntl.h>
#include <sys/file.h>
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

// The file a path finally names: symbolic links are followed (relative ones
// from their own folder), so that replacing the file keeps the link a link.
std::string resolveLinks(std::string path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(path, error);
        if (error)
            return path;
        path = link.is_absolute() ? link.string() : (std::filesystem::path(folderOf(path)) / link).string();
    }
    return path;
}

// Mode, owner and group the finished file gets: the target's own when it
// exists, else what a new file would get.
struct TargetAttributes {
    mode_t mode = 0666;
    uid_t owner = static_cast<uid_t>(-1);
    gid_t group = static_cast<gid_t>(-1);
};

TargetAttributes targetAttributes(const std::string& target)
{
    TargetAttributes a;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        a.mode = st.st_mode & 07777;
        a.owner = st.st_uid;
        a.group = st.st_gid;
        return a;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    a.mode = 0666 & ~mask;
    return a;
}

// Only a regular file that may be written (or a name not yet taken) may be
// replaced: a device, FIFO, socket, folder or read-only file keeps its place.
bool replaceable(const std::string& target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0)
        return errno == ENOENT;
    // A file marked read-only (no write permission for anyone) is left as it is.
    if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    if (S_ISREG(st.st_mode))
        return true;
    errno = S_ISDIR(st.st_mode) ? EISDIR : ENOTSUP;
    return false;
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

SafeFile::SafeFile(std::string target) : target_(resolveLinks(std::move(target)))
{
    if (!replaceable(target_))
        return;
    // Each thread draws its temporary names from a generator of its own, so
    // files can be written on several threads at once.
    thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string stem = std::filesystem::path(target_).filename().string();
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", static_cast<unsigned long long>(random() & 0xFFFFFFFF));
        temporary_ = folderOf(target_) + "/." + stem + suffix;
        file_ = DataFile::open(temporary_, DataFile::Mode::write, 0600, true);
        if (!file_ && errno != EEXIST)
            break;
    }
    if (!file_) {
        temporary_.clear();
        return;
    }
    lockFd_ = ::fcntl(file_->descriptor(), F_DUPFD_CLOEXEC, 0);
    if (lockFd_ >= 0)
        ::flock(lockFd_, LOCK_EX);
}

SafeFile::~SafeFile()
{
    abandon();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool SafeFile::commit()
{
    return finish(true);
}

bool SafeFile::commitNew()
{
    return finish(false);
}

// Renames the temporary file to `to` without replacing an existing file.
static int renameNew(const char* from, const char* to)
{
    if (fileOps.link(from, to) != 0)
        return -1;
    fileOps.unlink(from);
    return 0;
}

bool SafeFile::finish(bool replace)
{
    if (!file_ && temporary_.empty())
        return false;
    if (!file_) {
        // Written and closed before, its name was taken: only the rename is left.
        if ((replace ? fileOps.rename(temporary_.c_str(), target_.c_str()) : renameNew(temporary_.c_str(), target_.c_str())) == 0) {
            temporary_.clear();
            syncFolder(folderOf(target_));
            return true;
        }
        const int error = errno;
        if (replace)
            abandon();
        errno = error;
        return false;
    }
    const TargetAttributes attributes = targetAttributes(target_);
    // Owner and group are kept where the process may set them; a user who may
    // write the file but not own it gets it as their own, as any editor would.
    if (::fchown(file_->descriptor(), attributes.owner, attributes.group) != 0)
        (void)::fchown(file_->descriptor(), static_cast<uid_t>(-1), attributes.group);
    bool ok = file_->sync() && ::fchmod(file_->descriptor(), attributes.mode) == 0;
    ok = file_->close() && ok;
    file_.reset();
    if (!ok) {
        abandon();
        return false;
    }
    return finish(replace);
}

std::string SafeFile::keepTemporary()
{
    file_.reset();
    std::string kept;
    kept.swap(temporary_);
    return kept;
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

bool readWholeFile(const std::string& path, std::string& bytes)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file)
        return false;
    bytes.clear();
    for (int byte = file->getByte(); byte >= 0; byte = file->getByte())
        bytes.push_back(static_cast<char>(byte));
    return !file->readFailed();
}

std::string temporaryNameFor(const std::string& target)
{
    return target + ".partial-" + std::to_string(::getpid());
}

bool finishTemporary(const std::string& temporary, const std::string& target, bool keep)
{
    std::error_code error;
    if (keep)
        std::filesystem::rename(temporary, target, error);
    if (!keep || error)
        std::filesystem::remove(temporary, error);
    return keep && !error;
}

}  // namespace data
