#include "monitor/monitorState.h"

namespace monitor {

MonitorState monitorState;

void MonitorState::waitForStep()
{
    lockA.enter();
    lockB.enter();
    lockB.leave();
    lockA.leave();
}

void MonitorState::reset()
{
    liveSession = false;
    playThreadRunning = false;
    autoUploadActive = false;
    treatmentStarted = false;
    displayComplete = false;
    column = -1;
    currentEpoch = 0;
    processedEpoch = 0;
    epochSample = -1;
    epochStartColumn = 0;
    epochComplete = false;
    epochRejectedByUser = false;
    epochRejected = false;
    displaySecond = 0;
    secondSample = 0;
    timeOverflow = false;
    playedEpochs = 0;
    ticks = 0;
    ringWrapped = false;
    epochBaseFollows = false;
    epochThreadBusy = false;
    accumulatedEpochCount = 0;
    processedEpochCount = 0;
}

}  // namespace monitor
