#pragma once

#include <functional>
#include <string>
#include <vector>

#include "course/courseRecording.h"

namespace course {

// A file that was left out, with the reason.
struct Skipped {
    std::string path;
    std::string reason;
};

// The files under the given paths: a file as it is, a folder's regular files
// (its subfolders' too when `recursive`) in name order. A path that does not
// exist, or cannot be read or listed, goes into `unopened`.
std::vector<std::string> filesUnder(const std::vector<std::string>& paths, bool recursive,
                                    std::vector<std::string>& unopened);

struct ScanResult {
    std::vector<CourseRecording> recordings;  // in the order of the files
    std::vector<Skipped> skipped;             // files that are no data files, or damaged
    bool cancelled = false;
};

// Reads every file's header, texts and patient (not its samples) on every
// core. `progress(done, total)`, called on the calling thread, answers false
// to cancel.
ScanResult scanFiles(const std::vector<std::string>& files,
                     const std::function<bool(std::size_t, std::size_t)>& progress = {});

// A patient found among recordings: the key, the ID and name as first met in
// date order, the treatments and sessions counted and their first and last date.
struct PatientEntry {
    std::string id;
    std::string name;
    int recordings = 0;
    When first;
    When last;
};

// Every patient with an ID, in the order of their IDs' keys.
std::vector<PatientEntry> patientsAmong(const std::vector<CourseRecording>& recordings);

// The recordings of the patient with this ID (trimmed, without case).
std::vector<CourseRecording> recordingsOfPatient(const std::vector<CourseRecording>& recordings, const std::string& id);

// The recordings whose patient name is `name` (trimmed, without case): those
// without an ID, each named in `warnings`, and those of the one ID that has
// this name. Several IDs with this name never merge: `problem` then names them
// and nothing is returned.
std::vector<CourseRecording> recordingsNamed(const std::vector<CourseRecording>& recordings, const std::string& name,
                                             std::vector<std::string>& warnings, std::string& problem);

}  // namespace course
