#include "monitor/guiRecordingRead.h"

#include "data/recordingStore.h"
#include "monitor/monitorState.h"

namespace monitor {

bool readPrimaryFromGui(const std::function<void(const data::Recording&)>& read)
{
    platform::SectionGuard lockB(monitorState.lockB);
    const platform::TrySectionGuard recordingLock(data::dataLocks.recordingLock);
    if (!recordingLock.held())
        return false;
    read(data::recordings.primary);
    return true;
}

}  // namespace monitor
