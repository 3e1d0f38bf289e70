#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/posixSerialDevice.h"

namespace serial {

// The handshake of a transfer direction.
enum class Handshake { none, receive, send };

// The port in use. One instance.
struct SerialPortState {
    std::unique_ptr<platform::PosixSerialDevice> portHandle;
    int portNumber = 0;  // 1 to 8 while a port is open
    Handshake handshake = Handshake::none;

    // Called when the user gives up a port that cannot be reopened: auto-upload
    // off and the play-control window refreshed (the frame installs it).
    std::function<void()> onPortLost;

    void reset();
};

extern SerialPortState serialPort;

// The device of COMn: the path in $OZMAR_COMn, else /dev/ttyS<n-1>.
std::string devicePath(int portNumber);

// Opens COMn as the port in use and configures it; false with errno set.
bool openPort(int portNumber);
void closePort();

// A message for a port that cannot be opened, naming the device and, for a
// permission error, what the user needs.
std::string portOpenFailure(int portNumber, int error);

// Applies the line settings (38400 8N1, RTS off, no CTS flow, XON/XOFF on
// input), purges and flushes the port, clears its line status, and resets the
// link state; without a port only the link state is reset.
void configurePort();

// Changes the handshake of the kept settings for a transfer direction.
void setHandshake(Handshake direction);

// Closes and reopens the port before a transfer; asks to try again while it
// fails. False when the user gave up: no port is in use then.
bool reopenPort(const void* owner);

}  // namespace serial
