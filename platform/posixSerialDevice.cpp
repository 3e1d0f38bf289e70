#include "platform/posixSerialDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <chrono>

namespace platform {

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (!::isatty(fd)) {
        // A regular file or another device named as the port is no line: writing
        // to it would destroy it and reading from it would never end.
        ::close(fd);
        errno = ENOTTY;
        return nullptr;
    }
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    // TIOCEXCL does not stop a process run as root: an advisory lock on the
    // device does, between programs that take it as this one does.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    std::unique_ptr<PosixSerialDevice> device(new PosixSerialDevice(fd, path));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode)) {
        const unsigned kind = major(st.st_rdev);
        device->pseudoTerminal_ = (kind >= 136 && kind <= 143) || kind == 3;  // Unix 98 and legacy slaves
    }
    device->updateCounters();  // starts the error counters from their present values
    return device;
}

PosixSerialDevice::PosixSerialDevice(int fd, std::string path)
    : fd_(fd), wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), path_(std::move(path))
{
}

PosixSerialDevice::~PosixSerialDevice()
{
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }
    if (wake_ >= 0)
        ::close(wake_);
}

bool PosixSerialDevice::configure(bool ctsFlowControl, bool rtsOn)
{
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | CS8;
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSTOPB);
    if (ctsFlowControl)
        t.c_cflag |= CRTSCTS;
    else
        t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    t.c_iflag |= IXOFF;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXANY);
    t.c_cc[VSTART] = 0x11;
    t.c_cc[VSTOP] = 0x13;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B38400);
    ::cfsetospeed(&t, B38400);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        return false;
    int rts = TIOCM_RTS;
    ::ioctl(fd_, rtsOn ? TIOCMBIS : TIOCMBIC, &rts);  // a pseudo-terminal refuses this: no matter
    return true;
}

void PosixSerialDevice::noteFailure(int error)
{
    if (error == EIO || error == ENXIO || error == ENODEV || error == EBADF)
        gone_ = true;
}

long PosixSerialDevice::readSome(std::uint8_t* buf, std::size_t max)
{
    const ssize_t got = ::read(fd_, buf, max);
    if (got > 0) {
        updateCounters();
        return got;
    }
    if (got == 0) {
        // Nothing has arrived (a raw line with no minimum answers 0), unless
        // the other end has hung up.
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & POLLHUP)) {
            gone_ = true;
            return -1;
        }
        return 0;
    }
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    noteFailure(errno);
    return -1;
}

long PosixSerialDevice::writeSome(const std::uint8_t* buf, std::size_t count)
{
    const ssize_t wrote = ::write(fd_, buf, count);
    if (wrote >= 0)
        return wrote;
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    noteFailure(errno);
    return -1;
}

void PosixSerialDevice::waitFor(short events, int milliseconds)
{
    pollfd p{fd_, events, 0};
    if (::poll(&p, 1, milliseconds) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN))
        gone_ = true;
}

void PosixSerialDevice::waitReadable(int milliseconds)
{
    pollfd p[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
    if (::poll(p, wake_ >= 0 ? 2 : 1, milliseconds) <= 0)
        return;
    if ((p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p[0].revents & POLLIN))
        gone_ = true;
    if (p[1].revents & POLLIN) {
        std::uint64_t count = 0;
        (void)!::read(wake_, &count, sizeof count);
    }
}

void PosixSerialDevice::wakeWaiter()
{
    const std::uint64_t one = 1;
    if (wake_ >= 0)
        (void)!::write(wake_, &one, sizeof one);
}

void PosixSerialDevice::waitWritable(int milliseconds)
{
    waitFor(POLLOUT, milliseconds);
}

// Reads the driver's error counters; their growth since the last look is
// noted as line errors. Done after every read, so asking for the line status
// (before every received byte) costs no system call.
void PosixSerialDevice::updateCounters()
{
    if (!countersSupported_)
        return;
    serial_icounter_struct c{};
    if (::ioctl(fd_, TIOCGICOUNT, &c) != 0) {
        countersSupported_ = false;  // a pseudo-terminal has none
        return;
    }
    if (countersKnown_) {
        pending_.framingError |= c.frame != frame_;
        pending_.breakError |= c.brk != brk_;
        pending_.overrun |= c.overrun != overrun_ || c.buf_overrun != bufferOverrun_;
    }
    countersKnown_ = true;
    frame_ = c.frame;
    brk_ = c.brk;
    overrun_ = c.overrun;
    bufferOverrun_ = c.buf_overrun;
}

LineStatus PosixSerialDevice::lineStatus()
{
    LineStatus status = pending_;
    status.modeError = gone_;
    pending_ = LineStatus{};
    return status;
}

bool PosixSerialDevice::transmitImmediate(std::uint8_t byte)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const long wrote = writeSome(&byte, 1);
        if (wrote == 1)
            return true;
        if (wrote < 0)
            return false;
        waitWritable(10);
    }
    return false;
}

// A pseudo-terminal hands what is written straight to the other end, which
// may not have read it yet: flushing its output would destroy bytes already
// sent. Only a real line's output queue is dropped (after a drain it is empty).
void PosixSerialDevice::purge()
{
    ::tcflush(fd_, pseudoTerminal_ ? TCIFLUSH : TCIOFLUSH);
}

// Waits until the driver's output queue is empty, so that a flush that
// follows cannot discard the end of a stream. The queue is watched rather than
// waited on blindly so that a line held by its handshake cannot hang the
// transfer: it gives up after a time the queue could not need at 38400 baud.
void PosixSerialDevice::drain()
{
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
        ::tcdrain(fd_);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000 + queued / 2);
    while (queued > 0 && !gone_ && std::chrono::steady_clock::now() < deadline) {
        ::usleep(2000);
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0)
            break;
    }
    if (queued <= 0)
        ::tcdrain(fd_);
}

}  // namespace platform
