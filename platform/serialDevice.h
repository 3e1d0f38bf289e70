#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Error conditions the line reports since it was last asked.
struct LineStatus {
    bool modeError = false;     // the device handle is no longer usable
    bool framingError = false;
    bool breakError = false;
    bool overrun = false;       // receive-queue overflow or hardware overrun
};

// One serial line. Reads and writes never block for long: a read returns at
// once with what has arrived, a write accepts what fits in the output queue.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Copies up to `max` received bytes into `buf`; 0 when nothing has arrived, -1 on failure.
    virtual long readSome(std::uint8_t* buf, std::size_t max) = 0;
    // Queues up to `count` bytes for sending; returns how many were taken (0 when the
    // queue is full), -1 on failure.
    virtual long writeSome(const std::uint8_t* buf, std::size_t count) = 0;
    // Waits at most `milliseconds` for a received byte, or until another
    // thread calls wakeWaiter().
    virtual void waitReadable(int milliseconds) = 0;
    // Ends a waitReadable() of another thread at once (a cancel). Thread-safe.
    virtual void wakeWaiter() {}
    // Waits at most `milliseconds` for room in the output queue.
    virtual void waitWritable(int milliseconds) = 0;
    // Reports and clears the error conditions seen since the last call.
    virtual LineStatus lineStatus() = 0;
    // Sends one byte ahead of anything queued.
    virtual bool transmitImmediate(std::uint8_t byte) = 0;
    // Drops everything queued in both directions.
    virtual void purge() = 0;
    // Waits until everything queued has been sent.
    virtual void drain() = 0;
};

}  // namespace platform
