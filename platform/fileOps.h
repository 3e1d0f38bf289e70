#pragma once

#include <sys/types.h>

#include <cstddef>

namespace platform {

// The file-system calls that data files go through. Tests replace entries to
// make a chosen call fail; everything else uses the system's calls.
struct FileOps {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void* buf, std::size_t count);
    ssize_t (*write)(int fd, const void* buf, std::size_t count);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*link)(const char* from, const char* to);
    int (*unlink)(const char* path);

    // Restores the system's calls.
    void reset();
};

extern FileOps fileOps;

}  // namespace platform
