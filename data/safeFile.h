#pragma once

#include <memory>
#include <string>

#include "data/dataFile.h"
#include "platform/signalDeferral.h"

namespace data {

// Writes a file that replaces another only once it is complete: the bytes go
// to a new temporary file in the target's folder, which is flushed to the
// disk and renamed over the target by commit(). Until then, and after any
// failure, the target is as it was; an uncommitted temporary file is removed.
// Ctrl+C and SIGTERM wait until the SafeFile has ended. While it lives its
// temporary file holds an advisory lock (flock), so that a search for files
// an interrupted program left behind can tell them from ones being written.
class SafeFile {
public:
    // Creates the temporary file beside the file `target` names (its symbolic
    // links followed); file() is nullptr (errno set) when it cannot be made or
    // when the target exists and is not a regular file (EISDIR, ENOTSUP).
    explicit SafeFile(std::string target);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    DataFile* file() { return file_.get(); }
    // Flushes, syncs, closes and renames over the target, keeping the target's
    // mode and, where allowed, its owner and group; then syncs the folder. False (temporary file removed) on failure.
    bool commit();
    // As commit(), but never over an existing file; on any failure (EEXIST when
    // the name is taken) the written temporary file is kept for another try.
    bool commitNew();
    // Points the SafeFile at another target (for commitNew after EEXIST).
    void retarget(std::string target) { target_ = std::move(target); }
    // Removes the temporary file.
    void abandon();
    // Gives the temporary file up as it is (not removed at the end); its path.
    std::string keepTemporary();
    const std::string& temporaryPath() const { return temporary_; }

private:
    bool finish(bool replace);
    // Declared first, ended last: a signal waits until the temporary file is gone or renamed.
    platform::SignalDeferral signalsHeld_;
    std::string target_;
    std::string temporary_;
    std::unique_ptr<DataFile> file_;
    int lockFd_ = -1;  // holds the temporary file's lock until the end
};

// For a file another library writes by name (a printer's PDF): a temporary
// name beside `target`, and its end: renamed over the target when `keep` (true
// when that worked), else removed, so a failed write leaves nothing under the name.
std::string temporaryNameFor(const std::string& target);
bool finishTemporary(const std::string& temporary, const std::string& target, bool keep);

// Writes `size` bytes to `path` through a SafeFile; false on any failure.
bool writeWholeFile(const std::string& path, const void* bytes, std::size_t size);

// Reads the whole file at `path` into `bytes`; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

}  // namespace data
