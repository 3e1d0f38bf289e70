// ozmar-tool export-bids: the recordings of a course or a clinic as a BIDS
// EEG dataset (EDF+ with JSON and TSV sidecars), new or extended, optionally
// anonymised with each subject's dates moved by one amount.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bids/bidsExport.h"
#include "course/courseScan.h"
#include "platform/textEncoding.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kBidsUsage[] =
    "usage: ozmar-tool export-bids PATH... --out DIR [--recursive] [--patient ID]... [--anonymise]\n"
    "                              [--mapping FILE] [--task NAME] [--line-frequency 50|60]\n"
    "                              [--reference TEXT] [--author NAME]... [--include-monitoring]";
constexpr int kNoRecording = 6;

struct BidsArgs {
    std::vector<std::string> paths;
    bool recursive = false;
    std::string mappingFile;
    bids::BidsOptions options;
};

bool parse(const Args& args, BidsArgs& b)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool valued = i + 1 < args.size();
        if (a == "--recursive")
            b.recursive = true;
        else if (a == "--anonymise" || a == "--anonymize")
            b.options.anonymise = true;
        else if (a == "--include-monitoring")
            b.options.includeMonitoring = true;
        else if (a == "--out" && valued)
            b.options.dataset = args[++i];
        else if (a == "--patient" && valued)
            b.options.patients.push_back(args[++i]);
        else if (a == "--mapping" && valued)
            b.mappingFile = args[++i];
        else if (a == "--task" && valued)
            b.options.task = args[++i];
        else if (a == "--author" && valued)
            b.options.authors.push_back(args[++i]);
        else if (a == "--reference" && valued)
            b.options.reference = args[++i];
        else if (a == "--line-frequency" && valued) {
            const std::string f = args[++i];
            if (f != "50" && f != "60")
                return false;
            b.options.lineFrequency = std::stoi(f);
        } else if (a.rfind("--", 0) == 0)
            return false;
        else
            b.paths.push_back(a);
    }
    return !b.paths.empty() && !b.options.dataset.empty() && bids::validTaskName(b.options.task) &&
           (b.mappingFile.empty() || b.options.anonymise);
}

// Reads the mapping of an earlier export; the exit code, kSuccess when read.
int readMapping(BidsArgs& b)
{
    if (b.mappingFile.empty())
        return kSuccess;
    if (bids::insideDataset(b.mappingFile, b.options.dataset))
        return fail(kUsage, "the mapping \"" + b.mappingFile + "\" must be kept outside the dataset");
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(b.mappingFile, bytes))
        return fail(kCannotOpen, "cannot open \"" + b.mappingFile + "\"");
    std::string problem;
    if (!bids::parseMapping(std::string(bytes.begin(), bytes.end()), b.options.mapping, problem))
        return fail(kUsage, b.mappingFile + ": " + problem);
    return kSuccess;
}

// The patient IDs and authors given, as the program stores texts.
int storedTexts(BidsArgs& b)
{
    std::vector<std::string*> texts;
    for (std::string& id : b.options.patients)
        texts.push_back(&id);
    for (std::string& author : b.options.authors)
        texts.push_back(&author);
    for (std::string* text : texts) {
        const ArgumentText stored = argumentText(*text);
        if (!stored.ok)
            return fail(kUsage, stored.problem);
        *text = stored.text;
    }
    return kSuccess;
}

}  // namespace

int bidsCommand(const Args& args)
{
    BidsArgs b;
    if (!parse(args, b))
        return fail(kUsage, kBidsUsage);
    if (const int status = readMapping(b); status != kSuccess)
        return status;
    if (const int status = storedTexts(b); status != kSuccess)
        return status;
    course::ScanResult scan;
    if (const int status = scanPaths(b.paths, b.recursive, scan); status != kSuccess)
        return status;
    for (const std::string& id : b.options.patients) {
        const auto mine = [&](const course::CourseRecording& r) { return course::patientKey(r.patientId) == course::patientKey(id); };
        if (std::none_of(scan.recordings.begin(), scan.recordings.end(), mine))
            return fail(kNoRecording, "No recording of patient " + platform::windows1252ToUtf8(id));
    }
    bids::BidsReport report;
    try {
        report = bids::exportBids(scan.recordings, b.options);
    } catch (const bids::ExportRefused& refused) {
        return fail(kUsage, refused.what());
    } catch (const bids::WriteError& error) {
        return fail(kCannotOpen, std::string(error.what()) + "; the dataset is as it was");
    }
    for (const std::string& m : report.messages)
        std::fprintf(stderr, "ozmar-tool: %s\n", m.c_str());
    // Anonymised, standard output is the mapping alone, to be kept (outside
    // the dataset) for the next export into it; the sessions go to stderr.
    for (const std::string& added : report.added)
        std::fprintf(b.options.anonymise ? stderr : stdout, "%s%s\n", b.options.anonymise ? "ozmar-tool: added " : "",
                     added.c_str());
    if (b.options.anonymise)
        std::fputs(bids::mappingText(report.mapping).c_str(), stdout);
    return kSuccess;
}

}  // namespace tool
