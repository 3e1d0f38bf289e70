#pragma once

#include "app/documentState.h"
#include "platform/dialogs.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/sampleRecording.h"

namespace testing_support {

// The desktop program as a test starts it: the core reset, a run past its
// start-up without a port, default settings, no document, and the scripted
// responder answering every dialog.
inline void resetDesktop(platform::ScriptedResponder& responder)
{
    resetCore();
    state::startup.reset();
    state::startup.startingUp = false;
    state::startup.noSerial = true;
    state::settings.reset();
    app::document.reset();
    platform::dialogs.responder = &responder;
}

}  // namespace testing_support
