#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "app/documentState.h"
#include "platform/dialogs.h"
#include "serial/serialPort.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/sampleRecording.h"
#include "support/simulator.h"

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

// The instrument simulator with these arguments; COM1 is its line, opened.
inline std::unique_ptr<SimulatorProcess> instrumentOnCom1(const std::string& args)
{
    auto sim = std::make_unique<SimulatorProcess>(CORVANE_SIM_PATH, args);
    ::setenv("OZMAR_COM1", sim->device.c_str(), 1);
    EXPECT_TRUE(serial::openPort(1));
    return sim;
}

}  // namespace testing_support
