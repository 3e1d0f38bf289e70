#pragma once

#include <array>

#include "data/recording.h"

namespace data {

class DataFile;
class ProgressSink;
struct InstrumentSums;

// Writes `rec` with the instrument's sums that came with it as a stream to
// `file`, or with nullptr to the serial port of `linkState` (showing the
// stages on `progress`). Touches nothing else, so several recordings can be
// written at once. Failures raise the error exits.
void writeDataStream(DataFile* file, Recording& rec, InstrumentSums sums, bool withPatient, ProgressSink* progress);

// Writes the five patient field sections into `file`: each field from `ids`,
// or from `import` where `fromImport` says so, the Age and Sex texts made
// from their numbers. Failures raise the file error exit.
void writePatientFields(DataFile& file, const PatientSet& ids, const PatientSet* import,
                        const std::array<bool, kPatientFields>* fromImport);

// Writes the primary recording as a stream to `file`, or with nullptr to the
// serial port; in patient-only mode only the five patient fields, to a file.
// The caller holds the writer lock. Failures raise the error exits.
void writeStream(ProgressSink* progress, DataFile* file, bool withPatient);

}  // namespace data
