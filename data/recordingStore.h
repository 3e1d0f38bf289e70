#pragma once

#include <array>
#include <atomic>

#include "data/recording.h"
#include "data/sampleRing.h"
#include "platform/criticalSection.h"

namespace data {

// The program's two recordings, the import patient set and the switches that
// change how live samples are appended. One instance, alive for the whole run.
struct RecordingStore : RingSwitches {
    Recording primary;
    Recording secondary;
    PatientSet importPatients;
    // Which patient fields a patient export takes from the import set.
    std::array<bool, kPatientFields> useImportField{};

    // Restores both recordings and all switches to their start-up values.
    void reset();
};

extern RecordingStore recordings;

// The critical sections that serialise whole-recording operations. They are
// taken in the order file lock, then recording lock or writer lock.
struct DataLocks {
    platform::CriticalSection fileLock;       // any open, read or write of a data file
    platform::CriticalSection recordingLock;  // the stream reader filling a recording
    platform::CriticalSection writerLock;     // the stream writer reading a recording
};

extern DataLocks dataLocks;

}  // namespace data
