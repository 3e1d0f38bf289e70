#pragma once

#include <memory>
#include <string>

#include "platform/serialDevice.h"

namespace platform {

// A serial line on a POSIX terminal device (a real port or a pseudo-terminal).
// Opened exclusively and non-blocking; modem-line calls that a pseudo-terminal
// refuses are ignored.
class PosixSerialDevice : public SerialDevice {
public:
    // Opens the device; nullptr with errno set when it cannot be opened or is
    // not a terminal (ENOTTY).
    static std::unique_ptr<PosixSerialDevice> open(const std::string& path);
    ~PosixSerialDevice() override;

    // 38400 baud, 8 data bits, no parity, one stop bit, raw; XON/XOFF sent by
    // the driver as its input queue fills (input flow control), none on output;
    // CTS flow control and RTS as asked.
    bool configure(bool ctsFlowControl, bool rtsOn);

    long readSome(std::uint8_t* buf, std::size_t max) override;
    long writeSome(const std::uint8_t* buf, std::size_t count) override;
    void waitReadable(int milliseconds) override;
    void wakeWaiter() override;
    void waitWritable(int milliseconds) override;
    LineStatus lineStatus() override;
    bool transmitImmediate(std::uint8_t byte) override;
    void purge() override;
    void drain() override;

    const std::string& path() const { return path_; }
    int descriptor() const { return fd_; }

private:
    PosixSerialDevice(int fd, std::string path);
    void noteFailure(int error);
    void updateCounters();
    void waitFor(short events, int milliseconds);

    int fd_;
    int wake_ = -1;  // an eventfd that wakeWaiter() signals
    std::string path_;
    bool gone_ = false;
    bool pseudoTerminal_ = false;
    bool countersKnown_ = false;
    bool countersSupported_ = true;
    LineStatus pending_;
    int frame_ = 0, brk_ = 0, overrun_ = 0, bufferOverrun_ = 0;
};

}  // namespace platform
