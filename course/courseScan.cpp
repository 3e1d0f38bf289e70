#include "course/courseScan.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "data/loadedRecording.h"
#include "platform/orderedWork.h"

namespace course {

namespace fs = std::filesystem;

namespace {

// One file read: its course recording, or why it was skipped.
struct Read {
    bool ok = false;
    CourseRecording rec;
    std::string reason;
};

Read readOne(const std::string& path)
{
    // The recording is large; each worker keeps one and reads every file into it.
    thread_local std::unique_ptr<data::LoadedRecording> own;
    if (!own)
        own = std::make_unique<data::LoadedRecording>();
    Read r;
    switch (data::loadRecording(path, *own, data::ReadScope::summary)) {
    case data::LoadResult::loaded:
        r.ok = true;
        r.rec = courseRecordingOf(*own, path);
        break;
    case data::LoadResult::cannotOpen: r.reason = "cannot be opened"; break;
    case data::LoadResult::cannotRead: r.reason = "cannot be read"; break;
    case data::LoadResult::notDataFile: r.reason = "not a data file, or damaged"; break;
    }
    return r;
}

void addFolder(const fs::path& folder, bool recursive, std::vector<std::string>& files)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        std::error_code kindError;
        if (entry.is_regular_file(kindError))
            found.push_back(entry.path());
        else if (recursive && entry.is_directory(kindError))
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    for (const fs::path& p : found) {
        std::error_code kindError;
        if (fs::is_directory(p, kindError))
            addFolder(p, recursive, files);
        else
            files.push_back(p.string());
    }
}

std::string lowered(const std::string& text) { return patientKey(text); }

}  // namespace

std::vector<std::string> filesUnder(const std::vector<std::string>& paths, bool recursive,
                                    std::vector<std::string>& unopened)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status)) {
            unopened.push_back(path);
        } else if (fs::is_directory(status)) {
            fs::directory_iterator probe(path, error);
            if (error)
                unopened.push_back(path);
            else
                addFolder(path, recursive, files);
        } else if (::access(path.c_str(), R_OK) != 0) {
            unopened.push_back(path);
        } else {
            files.push_back(path);
        }
    }
    return files;
}

ScanResult scanFiles(const std::vector<std::string>& files, const std::function<bool(std::size_t, std::size_t)>& progress)
{
    ScanResult result;
    const std::function<Read(std::size_t)> prepare = [&](std::size_t i) { return readOne(files[i]); };
    const std::function<bool(std::size_t, Read&)> consume = [&](std::size_t i, Read& r) {
        if (r.ok)
            result.recordings.push_back(std::move(r.rec));
        else
            result.skipped.push_back({files[i], r.reason});
        return !progress || progress(i + 1, files.size());
    };
    const unsigned threads = platform::batchThreads();
    result.cancelled = !platform::runInOrder(files.size(), threads, 4 * threads, prepare, consume);
    return result;
}

std::vector<PatientEntry> patientsAmong(const std::vector<CourseRecording>& recordings)
{
    std::vector<const CourseRecording*> ordered;
    for (const CourseRecording& r : recordings)
        if (!r.patientId.empty() && r.kind != Kind::monitoring)
            ordered.push_back(&r);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const CourseRecording* a, const CourseRecording* b) { return a->when < b->when; });
    std::map<std::string, PatientEntry> byKey;
    for (const CourseRecording* r : ordered) {
        PatientEntry& p = byKey[patientKey(r->patientId)];
        if (p.recordings == 0) {
            p.id = r->patientId;
            p.first = r->when;
        }
        if (p.name.empty())
            p.name = r->patientName;
        ++p.recordings;
        p.last = r->when;
    }
    std::vector<PatientEntry> patients;
    for (auto& [key, entry] : byKey)
        patients.push_back(entry);
    return patients;
}

std::vector<CourseRecording> recordingsOfPatient(const std::vector<CourseRecording>& recordings, const std::string& id)
{
    const std::string key = patientKey(id);
    std::vector<CourseRecording> found;
    if (key.empty())
        return found;
    for (const CourseRecording& r : recordings)
        if (patientKey(r.patientId) == key)
            found.push_back(r);
    return found;
}

std::vector<CourseRecording> recordingsNamed(const std::vector<CourseRecording>& recordings, const std::string& name,
                                             std::vector<std::string>& warnings, std::string& problem)
{
    const std::string wanted = lowered(name);
    std::vector<CourseRecording> found;
    std::set<std::string> keys;
    std::vector<std::string> ids;
    for (const CourseRecording& r : recordings) {
        if (wanted.empty() || lowered(r.patientName) != wanted)
            continue;
        if (!r.patientId.empty() && keys.insert(patientKey(r.patientId)).second)
            ids.push_back(r.patientId);
        found.push_back(r);
    }
    if (ids.size() > 1) {
        problem = "the name \"" + name + "\" belongs to several patient IDs:";
        for (const std::string& id : ids)
            problem += " \"" + id + "\"";
        problem += "; choose one with --patient";
        return {};
    }
    for (const CourseRecording& r : found)
        if (r.patientId.empty())
            warnings.push_back(r.path + ": no patient ID; taken into the course by the patient name");
    return found;
}

}  // namespace course
