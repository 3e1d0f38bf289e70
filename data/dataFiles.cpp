#include "data/dataFiles.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "state/startupState.h"
#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/recordingHooks.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "data/streamFormat.h"
#include "data/streamReader.h"
#include "data/streamWriter.h"
#include "platform/dialogs.h"

namespace data {

namespace {

const char kCaption[] = "Ozmar";

std::string shownPath(const std::string& path)
{
    return path.empty() ? std::string("(untitled)") : path;
}

}  // namespace

void tellFileProblem(const void* parent, const char* pattern, const std::string& path)
{
    platform::messageBox(parent, platform::format(pattern, shownPath(path)), kCaption, platform::Buttons::ok,
                         platform::Icon::exclamation);
}

bool askToGoOn(const void* parent, const char* pattern, const std::string& path)
{
    return platform::messageBox(parent, platform::format(pattern, shownPath(path)), kCaption, platform::Buttons::okCancel,
                                platform::Icon::exclamation) == platform::IDOK;
}

namespace {

using platform::Buttons;
using platform::SectionGuard;

bool ask(const void* parent, const char* pattern, const std::string& path)
{
    return askToGoOn(parent, pattern, path);
}

void quitWhenHidden(int code)
{
    if (state::startup.hidden)
        state::startup.requestQuit(code);
}

// Reads an open file under the file and recording locks (into the secondary
// recording when asked); false on a file error.
bool readLocked(DataFile& file, bool secondary)
{
    SectionGuard fileLock(dataLocks.fileLock);
    streamState.readSecondary = secondary;
    try {
        SectionGuard recordingLock(dataLocks.recordingLock);
        readStream(nullptr, &file);
    } catch (const FileError&) {
        streamState.readSecondary = false;
        return false;
    }
    streamState.readSecondary = false;
    return true;
}

// Opens and reads each file of a selection, asking OK or Cancel about one that
// cannot be opened or is no data file; `use` gets each file read and answers
// false to end. False when the user chose Cancel or `use` ended it.
bool forEachFileRead(const void* parent, const std::string& selection, bool secondary,
                     const std::function<bool(const std::string&, DataFile&)>& use)
{
    for (const std::string& path : selectionPaths(selection)) {
        auto file = DataFile::open(path, DataFile::Mode::read);
        if (!file) {
            if (!ask(parent, "Could not open file \"%s\" for read", path))
                return false;
            continue;
        }
        if (!readLocked(*file, secondary)) {
            // A read that failed says so; only bytes that were read can make a file "not a data file".
            const char* message = file->readFailed() ? "Could not open file \"%s\" for read"
                                                     : "File %s is not a patient data file";
            file.reset();
            if (!ask(parent, message, path))
                return false;
            continue;
        }
        if (!use(path, *file))
            return false;
    }
    return true;
}

// Copies the first `count` bytes of `from` (read from its start) into `to`;
// a failed read, or a file shorter than `count`, is a failure.
bool copyPrefix(DataFile& from, DataFile& to, std::uint64_t count)
{
    if (!from.rewind())
        return false;
    std::uint8_t block[16384];
    while (count > 0) {
        const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof block));
        if (from.getBytes(block, step) != step || !to.putBytes(block, step))
            return false;
        count -= step;
    }
    return !from.readFailed();
}

// The new patient fields: each from `ids`, or from `import` where `useImport` says so.
struct PatientSource {
    const PatientSet& ids;
    const PatientSet* import;
    const std::array<bool, kPatientFields>* useImport;
};

// Writes the kept part of the original and the new patient fields into a new
// file that replaces the original only once it is complete. 0 on success, else
// the message pattern to show. `locked` holds the program's file locks while
// it writes.
const char* rewriteOne(DataFile& original, const std::string& path, std::uint64_t keep, const PatientSource& fields,
                       bool locked)
{
    SafeFile out(path);
    if (!out.file())
        return "Could not open file \"%s\" to write";
    std::optional<SectionGuard> fileLock, writerLock;
    if (locked)
        fileLock.emplace(dataLocks.fileLock);
    try {
        if (!copyPrefix(original, *out.file(), keep))
            raiseFileError(filestatus::fileIoError);
        if (locked)
            writerLock.emplace(dataLocks.writerLock);
        writePatientFields(*out.file(), fields.ids, fields.import, fields.useImport);
    } catch (const FileError&) {
        return "Cannot write file %s";
    }
    return out.commit() ? nullptr : "Cannot write file %s";
}

// Where the rewrite keeps the original up to: the start of its trailing
// patient fields, or its whole length; -1 when neither can be had.
std::int64_t keptLength(DataFile& file, const StreamState& tags)
{
    const std::int64_t cut = patientCutPoint(tags);
    return cut >= 0 ? cut : file.size();
}

}  // namespace

std::vector<std::string> selectionPaths(const std::string& selection)
{
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin < selection.size()) {
        std::size_t end = selection.find('\0', begin);
        if (end == std::string::npos)
            end = selection.size();
        if (end == begin)
            break;
        parts.push_back(selection.substr(begin, end - begin));
        begin = end + 1;
    }
    if (parts.size() <= 1)
        return parts;
    std::vector<std::string> paths;
    const std::string folder = parts.front();
    const bool slash = !folder.empty() && folder.back() == '/';
    for (std::size_t i = 1; i < parts.size(); ++i)
        paths.push_back(folder + (slash ? "" : "/") + parts[i]);
    return paths;
}

bool openDataFile(const void* parent, const std::string& path, bool showErrors)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file) {
        quitWhenHidden(2);
        if (showErrors)
            tellFileProblem(parent, "Could not open file \"%s\"", path);
        return false;
    }
    SectionGuard fileLock(dataLocks.fileLock);
    try {
        if (!streamState.readSecondary && !streamState.patientOnly)
            recordingHooks.stopDisplayThread();
        SectionGuard recordingLock(dataLocks.recordingLock);
        readStream(nullptr, file.get());
    } catch (const FileError&) {
        const bool readFailed = file->readFailed();
        file.reset();
        fileLock.release();
        quitWhenHidden(readFailed ? 2 : 3);
        if (showErrors)
            tellFileProblem(parent, readFailed ? "Could not open file \"%s\"" : "File %s is not a patient data file", path);
        return false;
    }
    return true;
}

bool saveDataFile(const void* parent, const std::string& path)
{
    SafeFile out(path);
    if (!out.file()) {
        tellFileProblem(parent, "Could not open file \"%s\" to write", path);
        return false;
    }
    const bool written = writeDataFile(out) && out.commit();
    if (!written)
        tellFileProblem(parent, "Cannot write file %s", path);
    return written;
}

std::string saveDataFileAsNew(const std::string& path)
{
    SafeFile out(path);
    if (!out.file() || !writeDataFile(out))
        return std::string();
    std::string target = path;
    for (int n = 2; n <= 1000; ++n) {
        if (out.commitNew())
            return target;
        if (out.temporaryPath().empty() || errno != EEXIST)
            break;
        const std::filesystem::path first(path);
        target = (first.parent_path() / (first.stem().string() + "-" + std::to_string(n) + first.extension().string())).string();
        out.retarget(target);
    }
    out.abandon();
    return std::string();
}

bool writeDataFile(SafeFile& out)
{
    SectionGuard fileLock(dataLocks.fileLock);
    try {
        SectionGuard writerLock(dataLocks.writerLock);
        writeStream(nullptr, out.file(), true);
        return true;
    } catch (const FileError&) {
        return false;
    }
}

bool readIntoSecondary(const void* parent, const std::string& selection,
                       const std::function<bool(const std::string& path)>& exportFile)
{
    return forEachFileRead(parent, selection, true, [&](const std::string& path, DataFile&) { return exportFile(path); });
}

std::int64_t patientCutPoint()
{
    return patientCutPoint(streamState);
}

std::int64_t patientCutPoint(const StreamState& s)
{
    std::int64_t cut = -1;
    for (int i = 0; i < 5; ++i) {
        if (s.lastTags[i] == -1)
            continue;
        if (!isPatientTag(s.lastTags[i]))
            return -1;
        if (cut < 0 || s.lastTagOffsets[i] < cut)
            cut = s.lastTagOffsets[i];
    }
    return cut;
}

namespace {

// Rewrites an open file just read in patient-only mode; the failure's message pattern, or null.
const char* rewriteRead(DataFile& file, const std::string& path)
{
    const std::int64_t keep = keptLength(file, streamState);
    const PatientSource fields{recordings.secondary.patient, &recordings.importPatients, &recordings.useImportField};
    return keep >= 0 ? rewriteOne(file, path, static_cast<std::uint64_t>(keep), fields, true) : "Cannot write file %s";
}

}  // namespace

bool rewritePatientFields(const void* parent, const std::string& selection)
{
    return forEachFileRead(parent, selection, false, [&](const std::string& path, DataFile& file) {
        const char* failure = rewriteRead(file, path);
        return !failure || ask(parent, failure, path);
    });
}

std::string rewritePatientFile(const std::string& path)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file)
        return platform::format("Could not open file \"%s\" for read", shownPath(path));
    if (!readLocked(*file, false))
        return platform::format(file->readFailed() ? "Could not open file \"%s\" for read" : "File %s is not a patient data file",
                                shownPath(path));
    const char* failure = rewriteRead(*file, path);
    return failure ? platform::format(failure, shownPath(path)) : std::string();
}

std::string rewritePatientFileWith(const std::string& path, const PatientSet& import,
                                   const std::array<bool, kPatientFields>& useImport)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file)
        return platform::format("Could not open file \"%s\" for read", shownPath(path));
    PatientSet fields;
    StreamState tags;
    try {
        readPatientFields(*file, fields, tags);
    } catch (const FileError&) {
        return platform::format(file->readFailed() ? "Could not open file \"%s\" for read" : "File %s is not a patient data file",
                                shownPath(path));
    }
    const std::int64_t keep = keptLength(*file, tags);
    const char* failure = keep >= 0 ? rewriteOne(*file, path, static_cast<std::uint64_t>(keep), {fields, &import, &useImport}, false)
                                    : "Cannot write file %s";
    return failure ? platform::format(failure, shownPath(path)) : std::string();
}

bool namedTwice(const std::vector<std::string>& paths)
{
    for (std::size_t i = 0; i < paths.size(); ++i)
        for (std::size_t k = i + 1; k < paths.size(); ++k) {
            std::error_code error;
            if (paths[i] == paths[k] || std::filesystem::equivalent(paths[i], paths[k], error))
                return true;
        }
    return false;
}

bool readSecondaryQuietly(const std::string& path)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    return file && readLocked(*file, true);
}

}  // namespace data
