#pragma once

#include <functional>

#include "data/recording.h"

namespace monitor {

// Lets the user-interface thread read the primary recording while other
// threads may be changing it: the live reader changes it under lock B, a
// transfer fills it under the recording lock for the whole reception. The
// read runs under lock B, and only when the recording lock is free (or this
// thread's), so the user-interface thread never waits for a transfer.
// Answers false, without reading, while a transfer holds the recording.
//
// Lock order: lock B, then the recording lock, which is only tried.
bool readPrimaryFromGui(const std::function<void(const data::Recording&)>& read);

}  // namespace monitor
