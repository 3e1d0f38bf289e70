#include "serial/serialPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "state/portTable.h"
#include "state/settings.h"
#include "data/linkState.h"
#include "platform/dialogs.h"

namespace serial {

SerialPortState serialPort;

void SerialPortState::reset()
{
    portHandle.reset();
    portNumber = 0;
    handshake = Handshake::none;
    onPortLost = nullptr;
}

std::string devicePath(int portNumber)
{
    const std::string variable = "OZMAR_COM" + std::to_string(portNumber);
    if (const char* path = std::getenv(variable.c_str()); path && *path)
        return path;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

bool openPort(int portNumber)
{
    closePort();
    serialPort.portHandle = platform::PosixSerialDevice::open(devicePath(portNumber));
    if (!serialPort.portHandle)
        return false;
    if (!serialPort.portHandle->configure(false, false)) {
        const int error = errno;
        serialPort.portHandle.reset();
        errno = error;
        return false;
    }
    serialPort.portNumber = portNumber;
    state::settings.portBase = state::portBaseOf(portNumber);
    configurePort();
    return true;
}

void closePort()
{
    serialPort.portHandle.reset();
    data::linkState.device = nullptr;
}

std::string portOpenFailure(int portNumber, int error)
{
    std::string text = "Cannot open COM" + std::to_string(portNumber) + " (" + devicePath(portNumber) + "): " + std::strerror(error);
    if (error == EACCES || error == EPERM)
        text += ". The user must be allowed to use serial devices (a member of the dialout group).";
    else if (error == EBUSY)
        text += ". Another program is using it.";
    else if (error == ENOTTY)
        text += ". It is not a serial line.";
    return text;
}

namespace {

void applySettings()
{
    platform::PosixSerialDevice& port = *serialPort.portHandle;
    const Handshake h = serialPort.handshake;
    port.configure(h == Handshake::send, h != Handshake::none);
}

}  // namespace

void configurePort()
{
    data::LinkState& link = data::linkState;
    if (serialPort.portHandle) {
        serialPort.handshake = Handshake::none;
        applySettings();
        serialPort.portHandle->purge();
        serialPort.portHandle->purge();
        serialPort.portHandle->lineStatus();
        link.device = serialPort.portHandle.get();
    }
    link.resetLink();
}

void setHandshake(Handshake direction)
{
    serialPort.handshake = direction;
    if (serialPort.portHandle)
        applySettings();
}

bool reopenPort(const void* owner)
{
    const int number = serialPort.portNumber;
    serialPort.portHandle.reset();
    for (;;) {
        serialPort.portHandle = platform::PosixSerialDevice::open(devicePath(number));
        if (serialPort.portHandle) {
            data::linkState.device = serialPort.portHandle.get();
            return true;
        }
        const std::string digit(1, static_cast<char>('0' + number));
        const int answer = platform::messageBox(owner, platform::format("Port COM%s is invalid.\nTry again?", digit), "Ozmar",
                                                platform::Buttons::okCancel, platform::Icon::question);
        if (answer != platform::IDOK)
            break;
    }
    platform::messageBox(owner, "Ozmar disconnected from Corvane.\nFix this port or set different one.", "Ozmar",
                         platform::Buttons::ok, platform::Icon::exclamation);
    state::settings.portBase = state::kNoPort;
    serialPort.portNumber = 0;
    data::linkState.device = nullptr;
    if (serialPort.onPortLost)
        serialPort.onPortLost();
    return false;
}

}  // namespace serial
