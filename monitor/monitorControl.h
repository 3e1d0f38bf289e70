#pragma once

#include <chrono>

#include <ctime>

namespace platform {
class SerialDevice;
}

namespace monitor {

// The monitor's commands. Each is called on one controlling thread (the
// user-interface thread, or a script's main thread); they start, stop and
// join the reader, display, epoch and timer threads.

// Live monitoring on `device`: the display reset with emptied channels in
// ring mode, then the reader and the display threads.
void beginMonitoring(platform::SerialDevice& device, int portNumber);

// Stops monitoring and waits until the reader, display and epoch threads have
// ended. The monitored data becomes a recording stamped with `now`; false
// when nothing was monitored (the channels are then emptied).
bool endMonitoring(const std::tm& now);

// Whether the live reader thread has ended by itself (end packet, preamble, failure).
bool readerEnded();

// Playback (455): starts at the speed `speedIndex`, or stops and waits until
// the display and epoch threads are idle.
void togglePlayback(int speedIndex);
// The speed of a running playback changes (454).
void setPlaySpeed(int speedIndex);
// The period of the playback timer that paces the display, zero when none runs.
std::chrono::microseconds playTimerPeriod();
// Reset (456) of playback or of a paused display; live, the caller stops and
// restarts monitoring around `resetDisplayPart`.
void resetPlayback();
// Reject (457): rejects the current epoch (or, paused right after an epoch
// completed, toggles that epoch's selection and its place in the sums).
// False when there is no epoch to reject yet.
bool rejectEpoch();
// The display and the timer stopped, both threads idle.
void stopDisplay();
// Everything stopped and joined (the frame closes).
void stopAll();

}  // namespace monitor
