#pragma once

#include <array>
#include <atomic>

#include "data/recording.h"
#include "platform/criticalSection.h"

namespace data {

// The program's two recordings, the import patient set and the switches that
// change how samples are appended. One instance, alive for the whole run.
struct RecordingStore {
    Recording primary;
    Recording secondary;
    PatientSet importPatients;
    // Which patient fields a patient export takes from the import set.
    std::array<bool, kPatientFields> useImportField{};

    // Live monitoring: a full ring overwrites its oldest sample.
    std::atomic<bool> ringMode{false};
    // From the treatment-start packet: at most one ring of new samples is kept.
    std::atomic<bool> limitedMode{false};
    // Raised when limited mode refused a sample.
    std::atomic<bool> overflow{false};
    // Raised by every append in ring mode; the monitor polls and clears it.
    std::atomic<bool> newSamples{false};

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
