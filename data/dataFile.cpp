#include "data/dataFile.h"

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fileOps.h"

namespace data {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
using platform::fileOps;
}  // namespace

std::unique_ptr<DataFile> DataFile::open(const std::string& path, Mode mode, unsigned permissions, bool exclusive)
{
    // Non-blocking so that a FIFO cannot hold the open; cleared again below.
    int flags = O_RDONLY | O_NONBLOCK;
    if (mode == Mode::write)
        flags = O_WRONLY | O_CREAT | (exclusive ? O_EXCL : O_TRUNC);
    else if (mode == Mode::append)
        flags = O_RDWR | O_APPEND;
    int fd = fileOps.open(path.c_str(), flags, static_cast<mode_t>(permissions));
    if (fd < 0)
        return nullptr;
    if (mode == Mode::read) {
        struct stat st {};
        int error = 0;
        if (::fstat(fd, &st) != 0)
            error = errno;
        else if (!S_ISREG(st.st_mode))
            error = S_ISDIR(st.st_mode) ? EISDIR : ENOTSUP;
        else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
            error = errno;
        if (error != 0) {
            fileOps.close(fd);
            errno = error;
            return nullptr;
        }
    }
    return std::unique_ptr<DataFile>(new DataFile(fd, path, mode));
}

std::int64_t DataFile::size() const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

DataFile::DataFile(int fd, std::string path, Mode mode)
    : fd_(fd), path_(std::move(path)), mode_(mode), buffer_(kBufferSize)
{
}

DataFile::~DataFile()
{
    if (fd_ >= 0)
        fileOps.close(fd_);
}

bool DataFile::refill()
{
    if (fd_ < 0 || mode_ != Mode::read)
        return false;
    bufferStart_ += len_;
    pos_ = 0;
    len_ = 0;
    for (;;) {
        ssize_t got = fileOps.read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            readFailed_ = true;
        if (got <= 0)
            return false;
        len_ = static_cast<std::size_t>(got);
        return true;
    }
}

std::size_t DataFile::getBytes(std::uint8_t* dest, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        if (pos_ == len_ && !refill())
            break;
        const std::size_t step = std::min(count - done, len_ - pos_);
        std::memcpy(dest + done, buffer_.data() + pos_, step);
        pos_ += step;
        done += step;
    }
    return done;
}

bool DataFile::putBytes(const std::uint8_t* bytes, std::size_t count)
{
    while (count > 0) {
        if (len_ == buffer_.size() && !flushBuffer())
            return false;
        const std::size_t step = std::min(count, buffer_.size() - len_);
        std::memcpy(buffer_.data() + len_, bytes, step);
        len_ += step;
        bytes += step;
        count -= step;
    }
    return true;
}

bool DataFile::skip(std::uint64_t count)
{
    while (count > 0) {
        if (pos_ == len_ && !refill())
            return false;
        std::uint64_t step = std::min<std::uint64_t>(count, len_ - pos_);
        pos_ += static_cast<std::size_t>(step);
        count -= step;
    }
    return true;
}

bool DataFile::rewind()
{
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0)
        return false;
    bufferStart_ = 0;
    pos_ = 0;
    len_ = 0;
    return true;
}

bool DataFile::flushBuffer()
{
    if (failed_ || fd_ < 0)
        return false;
    std::size_t done = 0;
    while (done < len_) {
        ssize_t wrote = fileOps.write(fd_, buffer_.data() + done, len_ - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            failed_ = true;
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    bufferStart_ += len_;
    len_ = 0;
    return true;
}

bool DataFile::sync()
{
    return flushBuffer() && fileOps.fsync(fd_) == 0;
}

bool DataFile::close()
{
    if (fd_ < 0)
        return !failed_;
    bool ok = mode_ == Mode::read || flushBuffer();
    if (fileOps.close(fd_) != 0)
        ok = false;
    fd_ = -1;
    return ok;
}

}  // namespace data
