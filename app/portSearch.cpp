#include "app/portSearch.h"

#include "state/portTable.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "platform/dialogs.h"
#include "serial/serialPort.h"

namespace app {

using state::settings;
using state::startup;
using state::kNoPort;
using state::portNumber;

namespace {

int nextPort(int n)
{
    return n % 8 + 1;
}

void giveUp()
{
    serial::closePort();
    settings.portBase = kNoPort;
}

}  // namespace

void searchPort(const void* owner)
{
    using platform::messageBox;
    int n = portNumber(startup.portGiven ? startup.portGivenBase : static_cast<std::uint32_t>(settings.savedPortBase));
    bool taken = false;
    for (int attempt = 0; attempt < 8 && !taken; ++attempt, n = nextPort(n)) {
        const bool opened = serial::openPort(n);
        if (attempt == 0 && opened) {
            taken = true;
        } else if (attempt == 0) {
            if (startup.portGiven) {
                startup.requestQuit(6);
                break;
            }
            const std::string text = "Can not open port COM" + std::to_string(n) + ".\nChange port setting?";
            if (messageBox(owner, text, "Ozmar", platform::Buttons::okCancel, platform::Icon::question) != platform::IDOK)
                break;
        } else if (opened) {
            const int answer = messageBox(owner, "Open port COM" + std::to_string(n) + "?", "Ozmar",
                                          platform::Buttons::yesNoCancel, platform::Icon::question);
            taken = answer == platform::IDYES;
            if (!taken)
                giveUp();
            if (answer == platform::IDCANCEL)
                break;
        }
    }
    if (!taken)
        giveUp();
    if (settings.portBase == kNoPort && !startup.quitRequested) {
        settings.autoUploadAtStart = false;
        messageBox(owner, "Ozmar disconnected from Corvane", "Ozmar", platform::Buttons::ok, platform::Icon::exclamation);
    }
}

}  // namespace app
