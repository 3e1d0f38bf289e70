// The terminal device on a pseudo-terminal: one program at a time, even as
// root, and a waiting reader that a cancel wakes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/posixSerialDevice.h"

namespace {

// A pseudo-terminal pair; the slave's path is the "port".
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    std::string slave;
    Pty()
    {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = ::ptsname(master);
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
};

}  // namespace

TEST(SerialDevice, ASecondOpenOfThePortIsRefusedAsBusy)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    auto first = platform::PosixSerialDevice::open(pty.slave);
    ASSERT_NE(first, nullptr);
    errno = 0;
    EXPECT_EQ(platform::PosixSerialDevice::open(pty.slave), nullptr);
    EXPECT_EQ(errno, EBUSY);
    first.reset();
    EXPECT_NE(platform::PosixSerialDevice::open(pty.slave), nullptr);  // free again once closed
}

TEST(SerialDevice, AWaitingReaderIsWokenByACancelAndByAByte)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    auto device = platform::PosixSerialDevice::open(pty.slave);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->configure(false, false));
    for (const bool byCancel : {true, false}) {
        std::atomic<bool> waiting{false}, woken{false};
        std::thread reader([&] {
            waiting = true;
            device->waitReadable(60000);  // a minute: only a wake or a byte ends it in time
            woken = true;
        });
        while (!waiting)
            std::this_thread::yield();
        if (byCancel) {
            device->wakeWaiter();
        } else {
            const char byte = 'x';
            ASSERT_EQ(::write(pty.master, &byte, 1), 1);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!woken && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(woken) << (byCancel ? "cancel" : "byte");
        if (!woken)
            device->wakeWaiter();
        reader.join();
    }
}
