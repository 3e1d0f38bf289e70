#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace analysis {
struct SpectralKind;
}

namespace data {

class DataFile;
class ProgressSink;
struct PatientSet;
struct Recording;

// The instrument's two spectral sums that come with a recording: the total
// sums and the seizure sums.
struct InstrumentSums {
    analysis::SpectralKind* total = nullptr;
    analysis::SpectralKind* seizure = nullptr;
};

// What a recording read on its own keeps.
enum class ReadScope {
    // What a recording opened beside the program's own keeps: the header,
    // texts, samples, the first condition series, the sums and the patient.
    beside,
    // Everything, as the program's own recording: also the other condition
    // series, the additional parameters, the FFT data, the epoch flags and the
    // parameter records.
    whole,
    // What a list of recordings needs: the header, texts, sums and patient,
    // without the samples and condition series, which are passed over.
    summary,
};

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

// Reads a data file into `rec` and `sums`, both emptied first: a checking
// pass over the whole file, then the storing pass. Nothing else is read or
// changed, so several files can be read at once, each into its own recording.
// A failure raises FileError; a file that fails the checking pass leaves `rec`
// and `sums` untouched.
// `sectionSeen`, when given, is told of every section of the storing pass.
void readDataFile(DataFile& file, Recording& rec, InstrumentSums sums, ReadScope scope,
                  const std::function<void(const SectionInfo&)>* sectionSeen = nullptr);

// The patient-only read of a data file on its own: checks the whole stream,
// then reads the five patient fields into `fields` (cleared first) and notes
// in `tags` the last tags read and where they stand.
void readPatientFields(DataFile& file, PatientSet& fields, StreamState& tags);

// Fills `rec` and `sums` (whole) from the serial port of `linkState`, one
// pass ending with the check; the caller has emptied them.
void readReceivedStream(Recording& rec, InstrumentSums sums, ProgressSink* progress);

// Reads a stream from the serial port of `linkState` only to check its form
// and its check value, storing nothing; the failures are those of a read.
void checkReceivedForm();

// The program's read: into the primary or secondary recording (or only the
// secondary patient fields) as `streamState` says, from a data file (two
// passes), or with `file` nullptr from the serial port. Failures raise the
// error exits; a failed file read leaves every recording untouched.
void readStream(ProgressSink* progress, DataFile* file);

}  // namespace data
