#include "serialLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace sim {

bool SerialLine::open(const std::string& device)
{
    if (!device.empty()) {
        fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return false;
        termios t{};
        if (::tcgetattr(fd_, &t) == 0) {
            ::cfmakeraw(&t);
            ::cfsetspeed(&t, B38400);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
        std::printf("%s\n", device.c_str());
    } else {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0)
            return false;
        pseudoTerminal_ = true;
        const std::string slave = ::ptsname(fd_);
        // Holding the slave open keeps the pair alive while the program closes
        // and reopens its end before each transfer.
        slave_ = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        std::printf("%s\n", slave.c_str());
    }
    std::fflush(stdout);
    return true;
}

SerialLine::~SerialLine()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (fd_ >= 0)
        ::close(fd_);
}

bool SerialLine::peerConfigured() const
{
    termios t{};
    return ::tcgetattr(fd_, &t) == 0 && (t.c_iflag & IXOFF) && !(t.c_lflag & ICANON);
}

void SerialLine::waitForPeer(int settleMs) const
{
    if (!pseudoTerminal_)
        return;
    // The program has the line when it has set it up for raw input with XON/XOFF.
    while (!peerConfigured())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
}

// Reads control bytes from the other end: XOFF pauses, XON resumes, others are kept.
bool SerialLine::pollControls(int waitMs)
{
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0 || !(p.revents & POLLIN))
        return !(p.revents & (POLLHUP | POLLERR)) || pseudoTerminal_;
    std::uint8_t buffer[256];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    for (ssize_t i = 0; i < got; ++i) {
        if (buffer[i] == 0x13)
            paused_ = true;
        else if (buffer[i] == 0x11)
            paused_ = false;
        else
            controls_.push_back(buffer[i]);
    }
    return true;
}

bool SerialLine::write(const std::uint8_t* bytes, std::size_t count)
{
    using Clock = std::chrono::steady_clock;
    std::size_t done = 0;
    auto progress = Clock::now();
    while (done < count) {
        // The program's cancel ends the sending, as it does on the instrument;
        // a line that takes nothing for long is given up.
        if (!pollControls(0) || std::find(controls_.begin(), controls_.end(), 0xF8) != controls_.end() ||
            Clock::now() - progress > std::chrono::seconds(10))
            return false;
        if (paused_) {
            pollControls(10);
            continue;
        }
        const ssize_t wrote = ::write(fd_, bytes + done, std::min<std::size_t>(count - done, 4096));
        if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
            progress = Clock::now();
        } else if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 10);
        }
    }
    return true;
}

bool SerialLine::sendControl(std::uint8_t byte)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const ssize_t wrote = ::write(fd_, &byte, 1);
        if (wrote == 1)
            return true;
        if (wrote < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
    return false;
}

bool SerialLine::read(std::vector<std::uint8_t>& into, int waitMs, std::size_t most)
{
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0)
        return true;
    if (!(p.revents & POLLIN))
        return !(p.revents & POLLHUP);
    std::uint8_t buffer[4096];
    const ssize_t got = ::read(fd_, buffer, std::min(most, sizeof buffer));
    if (got < 0)
        return errno == EAGAIN || errno == EINTR;
    into.insert(into.end(), buffer, buffer + got);
    return true;
}

}  // namespace sim
