#pragma once

#include <cstdint>
#include <string>

#include "data/linkState.h"

namespace data {

class DataFile;

// Byte, integer and float operations over an open data file, or over the
// serial port of `linkState` when `file` is nullptr.

// The next byte; from a file, -1 at its end.
int getByte(DataFile* file);
// n bytes (1, 2 or 4), least significant first; a file that ends raises fileIoError.
std::uint32_t getInt(int n, DataFile* file);
// A big-endian IEEE single.
float getFloatBE(DataFile* file);
void putByte(std::uint8_t byte, DataFile* file);
void putInt(int n, std::uint32_t value, DataFile* file);
void putFloatBE(float value, DataFile* file);
// Writes bytes; the file form checks every write.
void putBytes(const std::uint8_t* bytes, std::size_t count, DataFile* file);

// The serial forms, with check, progress, pacing and synchronisation.
void sendByte(std::uint8_t byte, bool flush);
int receiveByte();
void pollPort();
void checkLine();

// Shows a stage text and sets the byte total of the next section.
void setProgressSection(const std::string& stage, std::uint32_t total);
// Starts the once-per-stream pacing of the next bytes sent.
void armPacing();

// Raise the error exits: set the bits and unwind.
[[noreturn]] void raiseTransferError(std::uint32_t bits);
[[noreturn]] void raiseFileError(std::uint32_t bits);
// The format error of the stream's source: formatError from a file,
// deviceCancel from the port.
[[noreturn]] void raiseFormatError(DataFile* file);

// Sends the stream's preamble of 32 fillers, with the check suspended, and
// starts checking from the stream's first byte.
void beginSentStream();
// Ends a sent stream: the end byte, then the check value high byte first.
void endSentStream();
// After a received stream's end byte: reads the two check bytes and raises
// crcError unless the check register is zero.
void checkReceivedStream();

constexpr std::uint8_t kFiller = 0xF4;
constexpr std::uint8_t kEndOfStream = 0xFC;
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;
constexpr std::uint8_t kCancelByte = 0xF8;
constexpr std::uint8_t kBadCheckByte = 0x12;
constexpr int kPreambleSent = 32;
constexpr int kPreambleNeeded = 8;

}  // namespace data
