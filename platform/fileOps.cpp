#include "platform/fileOps.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace platform {

static int systemOpen(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags | O_CLOEXEC, mode);
}

FileOps fileOps = {systemOpen, ::read, ::write, ::fsync, ::close, ::rename, ::link, ::unlink};

void FileOps::reset()
{
    *this = FileOps{systemOpen, ::read, ::write, ::fsync, ::close, ::rename, ::link, ::unlink};
}

}  // namespace platform
