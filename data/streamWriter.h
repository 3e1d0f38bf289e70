#pragma once

namespace data {

class DataFile;
class ProgressSink;

// Writes the primary recording as a stream to `file`, or with nullptr to the
// serial port; in patient-only mode only the five patient fields, to a file.
// The caller holds the writer lock. Failures raise the error exits.
void writeStream(ProgressSink* progress, DataFile* file, bool withPatient);

}  // namespace data
