#pragma once

#include <atomic>
#include <cstdint>
#include <stdexcept>

namespace platform {
class SerialDevice;
}

namespace data {

class ProgressSink;

// Transfer status bits.
namespace transfer {
constexpr std::uint32_t userCancel = 0x001;
constexpr std::uint32_t deviceCancel = 0x002;
constexpr std::uint32_t lineError = 0x004;
constexpr std::uint32_t framingError = 0x008;
constexpr std::uint32_t breakError = 0x010;
constexpr std::uint32_t crcError = 0x080;
constexpr std::uint32_t portInvalid = 0x100;
constexpr std::uint32_t errorBits = userCancel | deviceCancel | lineError | framingError | breakError | crcError | portInvalid;
}  // namespace transfer

// File status bits.
namespace filestatus {
constexpr std::uint32_t formatError = 0x02;
constexpr std::uint32_t fileIoError = 0x20;
}  // namespace filestatus

// The two error exits: a transfer or a file operation ends through one of them,
// carrying the status bits at the moment it was raised.
struct TransferError : std::runtime_error {
    explicit TransferError(std::uint32_t statusBits) : std::runtime_error("transfer error"), bits(statusBits) {}
    std::uint32_t bits;
};

struct FileError : std::runtime_error {
    explicit FileError(std::uint32_t statusBits) : std::runtime_error("file error"), bits(statusBits) {}
    std::uint32_t bits;
};

constexpr std::uint32_t kLinkBufferSize = 256;
constexpr std::uint32_t kReadChunk = 80;
// Milliseconds each paced byte waits after it went out, and each idle wait of the line.
constexpr int kLineWaitMs = 10;
constexpr int kPacedBytes = 8;

// The byte layer's state: one instance, used by one transfer at a time.
struct LinkState {
    std::uint8_t linkBuffer[kLinkBufferSize]{};
    std::uint32_t linkCount = 0;
    std::uint32_t linkPos = 0;
    bool linkSynced = false;
    std::uint16_t linkCrc = 0xFFFF;
    std::atomic<bool> peerReady{true};
    std::uint32_t pacingLeft = 0;
    bool pacingDone = false;
    // A mode of sending, not a status: bytes sent while it is on (the preamble's
    // filler, the check bytes themselves) stay out of the stream's check.
    bool crcSuspended = false;
    std::uint32_t progressTotal = 0;
    std::uint32_t progressCount = 0;
    std::uint32_t progressShown = 0;
    std::uint32_t transferStatus = 0;
    std::atomic<bool> stopRequested{false};

    // The open port, or nullptr; the progress display of the running transfer, or nullptr.
    platform::SerialDevice* device = nullptr;
    ProgressSink* progress = nullptr;

    // The state a transfer starts from (keeps the device, the stop request and
    // the status words, which their owners clear).
    void resetLink();
    // Everything back to start-up values.
    void reset();
};

extern LinkState linkState;

}  // namespace data
