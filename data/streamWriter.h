#pragma once

namespace data {

class DataFile;
class ProgressSink;
struct InstrumentSums;
struct Recording;

// Writes `rec` with the instrument's sums that came with it as a stream to
// `file`, or with nullptr to the serial port of `linkState` (showing the
// stages on `progress`). Touches nothing else, so several recordings can be
// written at once. Failures raise the error exits.
void writeDataStream(DataFile* file, Recording& rec, InstrumentSums sums, bool withPatient, ProgressSink* progress);

// Writes the primary recording as a stream to `file`, or with nullptr to the
// serial port; in patient-only mode only the five patient fields, to a file.
// The caller holds the writer lock. Failures raise the error exits.
void writeStream(ProgressSink* progress, DataFile* file, bool withPatient);

}  // namespace data
