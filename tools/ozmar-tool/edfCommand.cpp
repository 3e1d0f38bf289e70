// ozmar-tool export-edf: the raw EEG of data files as EDF+ for EEG research
// tools, one .edf beside each file or in a folder, optionally without the
// patient's name and ID.
#include <cstdio>
#include <filesystem>
#include <string>

#include "data/recordingReset.h"
#include "data/recordingStore.h"
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
    int status = kSuccess;
    for (const std::string& file : files) {
        data::resetPrimary();
        data::clearPatientSets(1);
        if (const int loaded = loadDataFile(file); loaded != kSuccess) {
            status = loaded;
            continue;
        }
        const fs::path name = fs::path(file).replace_extension(".edf").filename();
        const std::string out = ((folder.empty() ? fs::path(file).parent_path() : fs::path(folder)) / name).string();
        if (const std::string problem = report::exportEdf(data::recordings.primary, out, options); !problem.empty()) {
            status = fail(problem == "the recording holds no raw EEG" ? kNotDataFile : kCannotOpen,
                          "could not export \"" + file + "\": " + problem);
            continue;
        }
        std::printf("%s\n", out.c_str());
    }
    return status;
}

}  // namespace tool
