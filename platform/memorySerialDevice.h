#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/serialDevice.h"

namespace platform {

// A serial line in memory: reads take from `input`, writes go to `output`.
// Hooks let a caller play the other end (answer with control bytes, set a
// stop request) as the transfer goes on. Single-threaded.
class MemorySerialDevice : public SerialDevice {
public:
    std::vector<std::uint8_t> input;
    std::size_t readPos = 0;
    std::vector<std::uint8_t> output;
    // When the input is used up, the line reports that the device is gone.
    bool goneAtEnd = false;
    // At most this many bytes per write (0: no limit), to exercise partial writes.
    std::size_t writeLimit = 0;
    LineStatus pending;
    // The order of the calls that act on the line: 'w' a write that took
    // bytes, 't' a byte ahead of the queue, 'd' a drain, 'p' a purge.
    std::string calls;

    std::function<void(MemorySerialDevice&)> beforeRead;  // called before every read
    std::function<void(MemorySerialDevice&)> afterWrite;  // called after every write

    void feed(std::initializer_list<std::uint8_t> bytes) { input.insert(input.end(), bytes); }
    std::size_t available() const { return input.size() - readPos; }

    long readSome(std::uint8_t* buf, std::size_t max) override;
    long writeSome(const std::uint8_t* buf, std::size_t count) override;
    void waitReadable(int) override {}
    void waitWritable(int) override {}
    LineStatus lineStatus() override;
    bool transmitImmediate(std::uint8_t byte) override;
    void purge() override;
    void drain() override { calls += 'd'; }

private:
    bool exhausted_ = false;
};

}  // namespace platform
