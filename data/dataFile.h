#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace data {

// An open data file with its own read or write buffer. Reads and writes go
// through the platform's file operations so that failures can be injected.
class DataFile {
public:
    enum class Mode { read, write, append };

    // Opens `path`; nullptr (errno set) when it cannot be opened. Read mode
    // takes regular files only (a directory, device or FIFO gives nullptr with
    // EISDIR or ENOTSUP, and a FIFO never blocks the open). Write mode creates
    // or truncates the file with `permissions`; `exclusive` refuses an
    // existing file.
    static std::unique_ptr<DataFile> open(const std::string& path, Mode mode, unsigned permissions = 0666,
                                          bool exclusive = false);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // The next byte, or -1 at the end of the file or on a read failure;
    // readFailed() tells the two apart.
    int getByte()
    {
        if (pos_ < len_)
            return buffer_[pos_++];
        return refill() ? buffer_[pos_++] : -1;
    }
    // Copies up to `count` next bytes into `dest`, straight from the buffer;
    // fewer only at the end of the file or on a read failure.
    std::size_t getBytes(std::uint8_t* dest, std::size_t count);
    // Moves `count` bytes on; false when the file ends first.
    bool skip(std::uint64_t count);
    // True once a read from the file has failed (not merely ended).
    bool readFailed() const { return readFailed_; }
    // The file's size from the file system; -1 when it cannot be asked.
    std::int64_t size() const;
    // Offset of the next byte to be read.
    std::uint64_t offset() const { return bufferStart_ + pos_; }
    // Goes back to the start of the file for reading again.
    bool rewind();

    // Buffers one byte for writing; false when a write to the file failed.
    bool putByte(std::uint8_t byte)
    {
        if (len_ == buffer_.size() && !flushBuffer())
            return false;
        buffer_[len_++] = byte;
        return true;
    }
    // Buffers `count` bytes for writing; false when a write to the file failed.
    bool putBytes(const std::uint8_t* bytes, std::size_t count);
    // Writes out everything buffered; false on failure.
    bool flushBuffer();
    // Flushes to the disk; false on failure.
    bool sync();
    // Closes the file, flushing first in write mode; false on failure.
    bool close();

    int descriptor() const { return fd_; }
    const std::string& path() const { return path_; }

private:
    DataFile(int fd, std::string path, Mode mode);
    bool refill();

    int fd_;
    std::string path_;
    Mode mode_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::uint64_t bufferStart_ = 0;
    bool failed_ = false;
    bool readFailed_ = false;
};

}  // namespace data
