#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace data {

class DataFile;
class ProgressSink;

// One section as the storing pass met it.
struct SectionInfo {
    int tag;
    std::uint64_t offset;  // of the tag byte (0 on the serial line)
    std::uint64_t length;  // bytes including the tag (0 on the serial line)
    std::uint32_t count;   // the section's count field, 0 when it has none
};

// The switches that choose what the stream reader and writer do, and what the
// reader records for the patient rewrite. One instance.
struct StreamState {
    bool uploading = false;     // the upload transfer: the plain primary mode
    bool readSecondary = false; // read into the secondary recording
    bool patientOnly = false;   // only patient fields, into the secondary patient set

    std::array<int, 5> lastTags{-1, -1, -1, -1, -1};  // the last five tags read, a ring
    std::array<std::int64_t, 5> lastTagOffsets{-1, -1, -1, -1, -1};  // where each of them stands
    int lastTagNext = 0;
    std::array<std::int64_t, 5> patientFieldOffset{-1, -1, -1, -1, -1};

    // Told of every section of the storing pass, for tools that list them.
    std::function<void(const SectionInfo&)> sectionSeen;

    void reset();
};

extern StreamState streamState;

// Fills a recording from a data file (two passes), or with `file` nullptr from
// the serial port (one pass, ending with the check). Failures raise the error
// exits; a failed file read leaves every recording untouched.
void readStream(ProgressSink* progress, DataFile* file);

}  // namespace data
