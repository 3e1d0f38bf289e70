#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bids {

// A dataset file that could not be written or moved into place; the dataset
// is as it was.
struct WriteError : std::runtime_error {
    WriteError(const std::string& what, int error) : std::runtime_error(what), errorNumber(error) {}
    int errorNumber;  // errno of the failed call
};

// Called before each step with "write PATH" or "move PATH" (PATH relative to
// the dataset); answering true makes that step fail as a full disk would.
// Tests use it to prove that a failed run changes nothing.
using StepFault = std::function<bool(const std::string& step)>;

// Files written into a dataset as one change. Each file goes into a hidden
// staging folder inside the dataset as it is made; commit() moves them all
// into place. Should a move fail, those already moved are put back, and a
// file they replaced returns. Until commit, and after any failure, the
// dataset is as it was; the staging folder is removed at the end.
class StagedFiles {
public:
    // Throws WriteError when the dataset folder or the staging folder cannot be made.
    StagedFiles(std::string dataset, StepFault fault = {});
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Stages a file at `relative` (folders separated by '/'); throws WriteError.
    void add(const std::string& relative, const void* bytes, std::size_t size);
    void add(const std::string& relative, const std::string& text) { add(relative, text.data(), text.size()); }

    // Moves every staged file into place; throws WriteError after putting back what it moved.
    void commit();

    // The staged files, relative to the dataset, in the order they were added.
    const std::vector<std::string>& files() const { return files_; }

private:
    void undo(const std::vector<std::string>& moved, const std::vector<std::string>& madeFolders);
    std::string dataset_;
    std::string staging_;
    StepFault fault_;
    std::vector<std::string> files_;
    bool madeDataset_ = false;
    bool committed_ = false;
};

}  // namespace bids
