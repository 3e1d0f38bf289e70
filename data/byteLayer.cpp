#include "data/byteLayer.h"

#include <bit>
#include <chrono>
#include <cstdio>
#include <thread>

#include "data/crc.h"
#include "data/dataFile.h"
#include "data/progressSink.h"
#include "platform/serialDevice.h"

namespace data {

LinkState linkState;

void LinkState::resetLink()
{
    linkCount = 0;
    linkPos = 0;
    linkSynced = false;
    linkCrc = kCrcInitial;
    peerReady = true;
    pacingLeft = 0;
    pacingDone = false;
    crcSuspended = false;
    progressTotal = 0;
    progressCount = 0;
}

void LinkState::reset()
{
    resetLink();
    progressShown = 0;
    transferStatus = 0;
    stopRequested = false;
    device = nullptr;
    progress = nullptr;
}

namespace {

LinkState& L = linkState;

constexpr std::uint32_t swapBytes(std::uint32_t v)
{
    return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

void waitMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Without a port the first read or write fails as a failed line would.
platform::SerialDevice& port()
{
    if (!L.device)
        raiseTransferError(transfer::lineError);
    return *L.device;
}

// The line-status bits, in the order they are tested.
std::uint32_t lineStatusBits(const platform::LineStatus& status)
{
    if (status.modeError)
        return transfer::portInvalid;
    if (status.framingError)
        return transfer::framingError;
    if (status.breakError)
        return transfer::breakError;
    if (status.overrun)
        return transfer::lineError;
    return 0;
}

void raiseOnLineStatus()
{
    if (std::uint32_t bits = lineStatusBits(port().lineStatus()))
        raiseTransferError(bits);
}

// A failed read or write: lineError plus whatever the line status shows.
[[noreturn]] void raiseIoFailure()
{
    platform::LineStatus status = port().lineStatus();
    std::uint32_t bits = transfer::lineError;
    if (status.modeError)
        bits |= transfer::portInvalid;
    if (status.framingError)
        bits |= transfer::framingError;
    if (status.breakError)
        bits |= transfer::breakError;
    raiseTransferError(bits);
}

void progressStart()
{
    if (L.progressTotal > 0 && L.progressCount == 0) {
        L.progressShown = 0;
        if (L.progress) {
            L.progress->setPercentText(" ");
            L.progress->setBarPosition(0);
        }
    }
}

void progressStep()
{
    if (L.progressTotal == 0)
        return;
    ++L.progressCount;
    std::uint64_t percent = std::uint64_t{L.progressCount} * 100 / L.progressTotal;
    if (percent > 100)
        percent = 100;
    if (percent == L.progressShown)
        return;
    if (L.progress) {
        char text[16];
        std::snprintf(text, sizeof text, "%u%%", static_cast<unsigned>(percent));
        L.progress->setPercentText(text);
    }
    while (L.progressShown < percent) {
        if (L.progress)
            L.progress->stepBar();
        ++L.progressShown;
    }
    L.progressShown = static_cast<std::uint32_t>(percent);
}

// Writes the whole buffer, waiting in 1 ms slices while the port's queue is
// full and watching the line and the instrument's control bytes meanwhile.
void writeBuffer()
{
    std::uint32_t done = 0;
    while (done < L.linkCount) {
        long wrote = port().writeSome(L.linkBuffer + done, L.linkCount - done);
        if (wrote < 0)
            raiseIoFailure();
        if (wrote == 0) {
            port().waitWritable(1);
            pollPort();
            continue;
        }
        done += static_cast<std::uint32_t>(wrote);
    }
    L.linkCount = 0;
    L.linkPos = 0;
}

// Waits while the instrument has said XOFF, then writes out the buffer. The
// buffer is emptied before the next byte is taken, so a long XOFF can never
// overrun it.
void writeOut()
{
    for (;;) {
        pollPort();
        if (L.peerReady)
            break;
        waitMs(kLineWaitMs);
    }
    writeBuffer();
}

// Reads what has arrived into the empty buffer; false when nothing came.
bool readChunk()
{
    long got = port().readSome(L.linkBuffer, kReadChunk);
    if (got < 0)
        raiseIoFailure();
    L.linkPos = 0;
    L.linkCount = static_cast<std::uint32_t>(got);
    if (got == 0)
        port().waitReadable(kLineWaitMs);
    return got > 0;
}

// Waits for a run of at least eight fillers; the first other byte after it
// becomes the first unread byte.
void synchronise()
{
    int run = 0;
    while (!L.linkSynced) {
        do {
            checkLine();
        } while (!readChunk());
        for (std::uint32_t i = 0; i < L.linkCount; ++i) {
            std::uint8_t byte = L.linkBuffer[i];
            if (byte == kFiller) {
                ++run;
            } else if (run >= kPreambleNeeded) {
                L.linkSynced = true;
                L.linkPos = i;
                L.linkCount -= i;
                break;
            } else {
                run = 0;
            }
        }
        if (!L.linkSynced)
            L.linkCount = 0;
    }
}

}  // namespace

[[noreturn]] void raiseTransferError(std::uint32_t bits)
{
    L.transferStatus |= bits;
    throw TransferError(L.transferStatus);
}

// A file operation's failure belongs to that operation alone, so the bits go
// with the exception and nothing else records them.
[[noreturn]] void raiseFileError(std::uint32_t bits)
{
    throw FileError(bits);
}

[[noreturn]] void raiseFormatError(DataFile* file)
{
    if (file)
        raiseFileError(filestatus::formatError);
    raiseTransferError(transfer::deviceCancel);
}

void checkLine()
{
    raiseOnLineStatus();
    if (L.stopRequested.load())
        raiseTransferError(transfer::userCancel);
}

void pollPort()
{
    raiseOnLineStatus();
    std::uint8_t byte = 0;
    long got = port().readSome(&byte, 1);
    if (got < 0)
        raiseIoFailure();
    if (got == 1) {
        switch (byte) {
        case kXoff: L.peerReady = false; break;
        case kXon: L.peerReady = true; break;
        case kCancelByte: raiseTransferError(transfer::deviceCancel);
        case kBadCheckByte: raiseTransferError(transfer::crcError);
        default: break;
        }
    }
    checkLine();
}

void sendByte(std::uint8_t byte, bool flush)
{
    progressStart();
    L.linkBuffer[L.linkPos++] = byte;
    ++L.linkCount;
    if (flush || L.pacingLeft > 0 || L.linkCount >= kLinkBufferSize)
        writeOut();
    if (!L.crcSuspended)
        L.linkCrc = crcStep(L.linkCrc, byte);
    progressStep();
    if (L.pacingLeft > 0) {
        waitMs(kLineWaitMs);
        if (--L.pacingLeft == 0)
            L.pacingDone = true;
    }
}

int receiveByte()
{
    progressStart();
    if (!L.linkSynced)
        synchronise();
    for (;;) {
        checkLine();
        if (L.linkCount > 0)
            break;
        readChunk();
    }
    std::uint8_t byte = L.linkBuffer[L.linkPos++];
    --L.linkCount;
    L.linkCrc = crcStep(L.linkCrc, byte);
    progressStep();
    return byte;
}

int getByte(DataFile* file)
{
    return file ? file->getByte() : receiveByte();
}

std::uint32_t getInt(int n, DataFile* file)
{
    std::uint32_t value = 0;
    for (int i = 0; i < n; ++i) {
        int byte = getByte(file);
        if (byte < 0)
            raiseFileError(filestatus::fileIoError);
        value |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    return value;
}

float getFloatBE(DataFile* file)
{
    return std::bit_cast<float>(swapBytes(getInt(4, file)));
}

void putByte(std::uint8_t byte, DataFile* file)
{
    if (!file)
        sendByte(byte, false);
    else if (!file->putByte(byte))
        raiseFileError(filestatus::fileIoError);
}

void putInt(int n, std::uint32_t value, DataFile* file)
{
    for (int i = 0; i < n; ++i)
        putByte(static_cast<std::uint8_t>(value >> (8 * i)), file);
}

void putFloatBE(float value, DataFile* file)
{
    putInt(4, swapBytes(std::bit_cast<std::uint32_t>(value)), file);
}

void putBytes(const std::uint8_t* bytes, std::size_t count, DataFile* file)
{
    if (file) {
        if (!file->putBytes(bytes, count))
            raiseFileError(filestatus::fileIoError);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        sendByte(bytes[i], false);
}

void setProgressSection(const std::string& stage, std::uint32_t total)
{
    if (L.progress)
        L.progress->setStage(stage);
    L.progressCount = 0;
    L.progressTotal = total;
}

void armPacing()
{
    if (!L.pacingDone && L.pacingLeft == 0)
        L.pacingLeft = kPacedBytes;
}

void beginSentStream()
{
    L.crcSuspended = true;
    for (int i = 0; i < kPreambleSent; ++i)
        sendByte(kFiller, false);
    L.crcSuspended = false;
}

void endSentStream()
{
    sendByte(kEndOfStream, false);
    L.crcSuspended = true;
    const std::uint16_t check = L.linkCrc;
    sendByte(static_cast<std::uint8_t>(check >> 8), false);
    sendByte(static_cast<std::uint8_t>(check & 0xFF), true);
}

void checkReceivedStream()
{
    getInt(2, nullptr);
    if (L.linkCrc != 0)
        raiseTransferError(transfer::crcError);
}

}  // namespace data
