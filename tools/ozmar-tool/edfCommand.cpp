// ozmar-tool export-edf: the raw EEG of data files as EDF+ for EEG research
// tools, one .edf beside each file or in a folder, optionally without the
// patient's name and ID.
#include <cstdio>
#include <filesystem>
#include <string>

#include <functional>
#include <memory>
#include <vector>

#include "data/loadedRecording.h"
#include "platform/orderedWork.h"
#include "report/edfExport.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kEdfUsage[] = "usage: ozmar-tool export-edf FILE... [--out FOLDER] [--anonymise]";

}  // namespace

int edfCommand(const Args& args)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::string folder;
    report::EdfOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size())
            folder = args[++i];
        else if (args[i] == "--anonymise" || args[i] == "--anonymize")
            options.anonymise = true;
        else if (args[i].rfind("--", 0) == 0)
            return fail(kUsage, kEdfUsage);
        else
            files.push_back(args[i]);
    }
    if (files.empty())
        return fail(kUsage, kEdfUsage);
    std::error_code error;
    if (!folder.empty() && !fs::is_directory(folder, error))
        return fail(kCannotOpen, "the folder \"" + folder + "\" does not exist");
    // Each file is read and converted on a core of its own; the files are
    // written and the messages printed in the order given, as one at a time.
    struct Converted {
        int status = kSuccess;
        std::string message;
        std::vector<std::uint8_t> bytes;
    };
    const std::function<Converted(std::size_t)> convert = [&](std::size_t i) {
        Converted c;
        auto own = std::make_unique<data::LoadedRecording>();
        c.status = loadOwnFile(files[i], *own, c.message);
        if (c.status == kSuccess)
            c.bytes = report::edfBytes(own->rec, options);
        return c;
    };
    int status = kSuccess;
    const std::function<bool(std::size_t, Converted&)> write = [&](std::size_t i, Converted& c) {
        const std::string& file = files[i];
        if (c.status != kSuccess) {
            status = fail(c.status, c.message);
            return true;
        }
        const fs::path name = fs::path(file).replace_extension(".edf").filename();
        const std::string out = ((folder.empty() ? fs::path(file).parent_path() : fs::path(folder)) / name).string();
        if (const std::string problem = report::writeEdfFile(c.bytes, out); !problem.empty()) {
            status = fail(problem == "the recording holds no raw EEG" ? kNotDataFile : kCannotOpen,
                          "could not export \"" + file + "\": " + problem);
            return true;
        }
        std::printf("%s\n", out.c_str());
        return true;
    };
    const unsigned threads = platform::batchThreads();
    platform::runInOrder(files.size(), threads, 2 * threads, convert, write);
    return status;
}

}  // namespace tool
