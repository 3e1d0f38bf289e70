#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/recording.h"

namespace data {

// The files of a selection: one full path, or a folder followed by names, each
// ended by a zero byte and the whole by an empty name.
std::vector<std::string> selectionPaths(const std::string& selection);

// The message box of a file that could not be opened, read or written:
// `pattern` with the path ("(untitled)" when empty), caption "Ozmar".
void tellFileProblem(const void* parent, const char* pattern, const std::string& path);

// The OK/Cancel message of a batch about a file it cannot use: `pattern` with
// the path, caption "Ozmar"; true when the user chose OK (go on).
bool askToGoOn(const void* parent, const char* pattern, const std::string& path);

// Opens a data file into the primary recording; false (with its message, or in
// hidden mode the exit code 2 or 3 and the quit request) when it cannot.
bool openDataFile(const void* parent, const std::string& path, bool showErrors);

// Saves the primary recording with its patient fields. The file is replaced
// only when the new one is complete, so a failure keeps the previous file.
bool saveDataFile(const void* parent, const std::string& path);

// Saves the primary recording as a new file, never over an existing one: under
// `path`, or when that name is taken under "STEM-2.EXT", "STEM-3.EXT", ...
// The path written, or empty when no file could be written (no message).
std::string saveDataFileAsNew(const std::string& path);

class SafeFile;
// Writes the primary recording with its patient fields into the open temporary
// file of `out`, under the file locks; false when a write failed. The caller
// commits or abandons it.
bool writeDataFile(SafeFile& out);

// Reads each file of the selection into the secondary recording and hands it to
// `exportFile` (which answers false to end the batch). False when the user
// chose Cancel in a message or an export failed.
bool readIntoSecondary(const void* parent, const std::string& selection,
                       const std::function<bool(const std::string& path)>& exportFile);

// Replaces (or appends) the patient fields of each file of the selection, from
// the import patient set where its flags say so and from the file's own fields
// otherwise. The caller sets patient-only mode. False when the user chose Cancel.
bool rewritePatientFields(const void* parent, const std::string& selection);

// Rewrites the patient fields of one file as rewritePatientFields does, showing
// nothing: an empty text on success, else the message that tells why the file
// was left as it was. The caller sets patient-only mode.
std::string rewritePatientFile(const std::string& path);

// The same rewrite of one file on its own: the new fields are the file's own,
// or `import`'s where `useImport` says so. It reads and changes nothing else,
// so several files can be rewritten at once.
std::string rewritePatientFileWith(const std::string& path, const PatientSet& import,
                                   const std::array<bool, kPatientFields>& useImport);

// Whether one file is named twice among `paths` (by the same or another
// name): work on them then has to go one file after another.
bool namedTwice(const std::vector<std::string>& paths);

// Reads one file into the secondary recording, showing nothing; false when it
// cannot be opened or is no data file.
bool readSecondaryQuietly(const std::string& path);

// Where the trailing patient fields of the file just read in patient-only mode
// begin; -1 when the file does not end with patient fields.
std::int64_t patientCutPoint();
struct StreamState;
// The same from the tags of a patient-only read of one's own.
std::int64_t patientCutPoint(const StreamState& tags);

}  // namespace data
