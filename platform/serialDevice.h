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
//
// Threads: the line has one user at a time, which alone makes every call but
// wakeWaiter(): the transfer thread during a transfer, the monitor's reader
// thread while monitoring, the user-interface thread otherwise. The line
// passes to another user only after the one before has ended (its thread
// joined), which orders their calls. wakeWaiter() may come from any thread.
//
// Errors: no call throws. A line that has gone (the device unplugged, the
// other end of a pseudo-terminal closed, the handle unusable) makes readSome()
// and writeSome() answer -1 and lineStatus() report modeError, from then on.
// Interrupted or would-block calls are not errors: they answer 0. Framing,
// break and overrun conditions are reported by lineStatus() only; the bytes
// around them are still delivered.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Copies up to `max` received bytes into `buf`; 0 when nothing has arrived,
    // -1 when the line has gone.
    virtual long readSome(std::uint8_t* buf, std::size_t max) = 0;
    // Queues up to `count` bytes for sending; returns how many were taken (0 when the
    // queue is full), -1 when the line has gone.
    virtual long writeSome(const std::uint8_t* buf, std::size_t count) = 0;
    // Waits at most `milliseconds` for a received byte, or until another
    // thread calls wakeWaiter(). A hang-up seen here is kept for lineStatus().
    virtual void waitReadable(int milliseconds) = 0;
    // Ends a waitReadable() of another thread at once (a cancel). Any thread.
    virtual void wakeWaiter() {}
    // Waits at most `milliseconds` for room in the output queue.
    virtual void waitWritable(int milliseconds) = 0;
    // Reports and clears the error conditions seen since the last call
    // (modeError stays set once the line has gone).
    virtual LineStatus lineStatus() = 0;
    // Sends one byte ahead of anything queued; false when it could not be
    // queued (the line gone, or its output held for about a second).
    virtual bool transmitImmediate(std::uint8_t byte) = 0;
    // Drops what is queued in both directions (on a pseudo-terminal, what has
    // been received only: what was written has already reached the other end).
    virtual void purge() = 0;
    // Waits until everything queued has been sent, or for as long as the
    // queue could need at 38400 baud when the handshake holds it.
    virtual void drain() = 0;
};

}  // namespace platform
