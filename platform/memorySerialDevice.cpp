#include "platform/memorySerialDevice.h"

#include <algorithm>

namespace platform {

long MemorySerialDevice::readSome(std::uint8_t* buf, std::size_t max)
{
    if (beforeRead)
        beforeRead(*this);
    std::size_t n = std::min(max, available());
    std::copy_n(input.begin() + static_cast<long>(readPos), n, buf);
    readPos += n;
    if (n == 0 && goneAtEnd)
        exhausted_ = true;
    return static_cast<long>(n);
}

long MemorySerialDevice::writeSome(const std::uint8_t* buf, std::size_t count)
{
    std::size_t n = writeLimit ? std::min(count, writeLimit) : count;
    output.insert(output.end(), buf, buf + n);
    if (n > 0)
        calls += 'w';
    if (afterWrite)
        afterWrite(*this);
    return static_cast<long>(n);
}

LineStatus MemorySerialDevice::lineStatus()
{
    LineStatus status = pending;
    status.modeError = status.modeError || exhausted_;
    pending = LineStatus{};
    return status;
}

bool MemorySerialDevice::transmitImmediate(std::uint8_t byte)
{
    output.push_back(byte);
    calls += 't';
    return true;
}

void MemorySerialDevice::purge()
{
    readPos = input.size();
    calls += 'p';
}

}  // namespace platform
