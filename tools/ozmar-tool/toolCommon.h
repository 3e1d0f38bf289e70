#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace course {
struct ScanResult;
}

namespace tool {

// Exit codes of every subcommand.
constexpr int kSuccess = 0;
constexpr int kUsage = 1;
constexpr int kCannotOpen = 2;
constexpr int kNotDataFile = 3;
constexpr int kTransferFailed = 4;

// Prints "ozmar-tool: <message>" on standard error and returns `code`.
int fail(int code, const std::string& message);

// Reads a data file into the primary recording; returns an exit code after
// printing the reason of a failure.
int loadDataFile(const std::string& path);

}  // namespace tool

namespace data {
struct LoadedRecording;
struct SectionInfo;
}

namespace tool {

// Reads a data file into a recording of its own, touching nothing else, so
// that several files can be read at once. On a failure: the exit code, and in
// `message` the reason that loadDataFile would print.
int loadOwnFile(const std::string& path, data::LoadedRecording& into, std::string& message);
// The same, printing the reason of a failure; `beside` keeps only what a
// recording opened beside the program's own keeps.
// `sectionSeen`, when given, is told of every section read.
int loadOwnFile(const std::string& path, data::LoadedRecording& into, bool beside = false,
                const std::function<void(const data::SectionInfo&)>* sectionSeen = nullptr);

// What one file of a command over many files says: the text for standard
// output, or the exit code and the reason.
struct FileOutcome {
    int status = kSuccess;
    std::string text;
};

// Runs `work` on every file on `threads` cores and prints each outcome in the
// files' order: its text on standard output, or the reason through fail().
// Returns the worst exit code.
int eachFileInOrder(const std::vector<std::string>& files, unsigned threads,
                    const std::function<FileOutcome(const std::string&)>& work);

// A text from the command line as the Windows-1252 bytes the program stores
// and sends: converted from UTF-8 when the locale's character set is UTF-8,
// else taken as it is. ok is false (with the reason) for a character the
// code page cannot hold.
struct ArgumentText {
    bool ok = false;
    std::string text;
    std::string problem;
};
ArgumentText argumentText(const std::string& argument);

// Reads a whole file's bytes; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

using Args = std::vector<std::string>;
int dumpCommand(const Args& args);
int wireCommand(const Args& args);
int reportCommand(const Args& args);
int patientCommand(const Args& args);
int analyseCommand(const Args& args);
int transferCommand(const std::string& command, const Args& args);
int monitorCommand(const Args& args);
int edfCommand(const Args& args);
int courseCommand(const Args& args);
// Finds and scans the data files of the paths given (as the course does),
// naming each file skipped on standard error; an exit code.
int scanPaths(const std::vector<std::string>& paths, bool recursive, course::ScanResult& scan);
int bidsCommand(const Args& args);

}  // namespace tool
