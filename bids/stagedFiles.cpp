#include "bids/stagedFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "data/safeFile.h"

namespace bids {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what, int error)
{
    throw WriteError(what + ": " + std::strerror(error), error);
}

// The folders of `relative` below `root` that do not exist yet, outermost first.
std::vector<fs::path> missingFolders(const fs::path& root, const std::string& relative)
{
    std::vector<fs::path> missing;
    std::error_code error;
    for (fs::path p = (root / relative).parent_path(); p != root && !fs::exists(p, error); p = p.parent_path())
        missing.insert(missing.begin(), p);
    return missing;
}

}  // namespace

StagedFiles::StagedFiles(std::string dataset, StepFault fault) : dataset_(std::move(dataset)), fault_(std::move(fault))
{
    std::error_code error;
    if (!fs::exists(dataset_, error)) {
        if (!fs::create_directory(dataset_, error))
            fail("cannot make the folder \"" + dataset_ + "\"", error.value());
        madeDataset_ = true;
    } else if (!fs::is_directory(dataset_, error)) {
        fail("\"" + dataset_ + "\" is not a folder", ENOTDIR);
    }
    staging_ = (fs::path(dataset_) / (".ozmar-export-" + std::to_string(::getpid()))).string();
    fs::remove_all(staging_, error);
    if (!fs::create_directory(staging_, error)) {
        const int code = error.value();
        if (madeDataset_)
            fs::remove(dataset_, error);
        fail("cannot write in \"" + dataset_ + "\"", code);
    }
}

StagedFiles::~StagedFiles()
{
    std::error_code error;
    fs::remove_all(staging_, error);
    if (madeDataset_ && !committed_)
        fs::remove(dataset_, error);
}

void StagedFiles::add(const std::string& relative, const void* bytes, std::size_t size)
{
    const fs::path staged = fs::path(staging_) / relative;
    std::error_code error;
    fs::create_directories(staged.parent_path(), error);
    if (error)
        fail("cannot write \"" + relative + "\"", error.value());
    errno = 0;
    if ((fault_ && fault_("write " + relative)) || !data::writeWholeFile(staged.string(), bytes, size))
        fail("cannot write \"" + relative + "\"", errno != 0 ? errno : ENOSPC);
    files_.push_back(relative);
}

void StagedFiles::commit()
{
    const fs::path root(dataset_);
    std::vector<std::string> moved;
    std::vector<std::string> madeFolders;
    for (const std::string& relative : files_) {
        std::error_code error;
        for (const fs::path& folder : missingFolders(root, relative)) {
            if (!fs::create_directory(folder, error)) {
                undo(moved, madeFolders);
                fail("cannot make the folder \"" + folder.string() + "\"", error.value() ? error.value() : EEXIST);
            }
            madeFolders.push_back(folder.string());
        }
        const fs::path target = root / relative;
        const fs::path kept = fs::path(staging_) / (relative + ".replaced");
        // A file being replaced is kept under the staging folder (a hard link) until the change is whole.
        if (fs::exists(target, error) && !fs::is_directory(target, error))
            fs::create_hard_link(target, kept, error);
        if (error || (fault_ && fault_("move " + relative))) {
            undo(moved, madeFolders);
            fail("cannot replace \"" + relative + "\"", error ? error.value() : ENOSPC);
        }
        fs::rename(fs::path(staging_) / relative, target, error);
        if (error) {
            undo(moved, madeFolders);
            fail("cannot move \"" + relative + "\" into place", error.value());
        }
        moved.push_back(relative);
    }
    committed_ = true;
}

void StagedFiles::undo(const std::vector<std::string>& moved, const std::vector<std::string>& madeFolders)
{
    std::error_code error;
    for (auto m = moved.rbegin(); m != moved.rend(); ++m) {
        const fs::path target = fs::path(dataset_) / *m;
        const fs::path kept = fs::path(staging_) / (*m + ".replaced");
        if (fs::exists(kept, error))
            fs::rename(kept, target, error);
        else
            fs::remove(target, error);
    }
    for (auto f = madeFolders.rbegin(); f != madeFolders.rend(); ++f)
        fs::remove(*f, error);
}

}  // namespace bids
