#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// The instrument's end of the line: the master of a new pseudo-terminal pair
// (the program opens its slave), or a device given by path.
class SerialLine {
public:
    // Opens the line; prints the device the program should use. False on failure.
    bool open(const std::string& device);
    ~SerialLine();

    // Waits until the program has the line open and a moment has passed, so
    // that what is sent is not purged by its port set-up.
    void waitForPeer(int settleMs) const;
    // Writes all bytes, honouring XOFF/XON from the other end; false when the
    // line went away. Control bytes other than XON/XOFF are kept for `received`.
    bool write(const std::uint8_t* bytes, std::size_t count);
    // Sends one control byte (XOFF, XON, 0x12, 0xF8) while receiving; unlike
    // write() it reads nothing from the line.
    bool sendControl(std::uint8_t byte);
    // Reads what arrives within `waitMs`, at most `most` bytes; false when the
    // line went away.
    bool read(std::vector<std::uint8_t>& into, int waitMs, std::size_t most = 4096);
    // Control bytes seen while writing (0xF8, 0x12).
    const std::vector<std::uint8_t>& received() const { return controls_; }

private:
    bool peerConfigured() const;
    bool pollControls(int waitMs);

    int fd_ = -1;
    int slave_ = -1;
    bool pseudoTerminal_ = false;
    bool paused_ = false;
    std::vector<std::uint8_t> controls_;
};

}  // namespace sim
