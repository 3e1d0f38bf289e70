#include "monitor/monitorState.h"

namespace monitor {

MonitorState monitorState;

void MonitorState::reset()
{
    currentEpoch = 0;
    processedEpoch = 0;
    epochRejected = false;
    ringWrapped = false;
    accumulatedEpochCount = 0;
    processedEpochCount = 0;
}

}  // namespace monitor
