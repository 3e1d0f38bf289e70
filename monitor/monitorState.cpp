#include "monitor/monitorState.h"

namespace monitor {

MonitorState monitorState;

void MonitorState::reset()
{
    liveSession = false;
    playThreadRunning = false;
    autoUploadActive = false;
    currentEpoch = 0;
    processedEpoch = 0;
    epochRejected = false;
    epochSampleCount = 0;
    ringWrapped = false;
    accumulatedEpochCount = 0;
    processedEpochCount = 0;
}

}  // namespace monitor
