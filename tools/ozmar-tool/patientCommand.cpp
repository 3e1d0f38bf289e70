#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/dataFiles.h"
#include "data/loadedRecording.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "platform/orderedWork.h"
#include "toolCommon.h"

namespace tool {

namespace {

const char kPatientUsage[] =
    "usage: ozmar-tool patient FILE... [--id TEXT] [--name TEXT] [--age N] [--sex M|F] [--comments TEXT]";

struct Edits {
    std::array<std::optional<std::string>, data::kPatientFields> field;
    bool any() const
    {
        for (const auto& f : field)
            if (f)
                return true;
        return false;
    }
};

int fieldOfOption(const std::string& option)
{
    static const char* const names[] = {"--id", "--name", "--age", "--sex", "--comments"};
    for (int f = 0; f < data::kPatientFields; ++f)
        if (option == names[f])
            return f;
    return -1;
}

// A value the data files cannot keep is refused rather than cut or dropped:
// the reason, or an empty text when every value fits.
std::string checkLimits(const Edits& edits)
{
    static const char* const options[] = {"--id", "--name", "--age", "--sex", "--comments"};
    for (int f = 0; f < data::kPatientFields; ++f) {
        const auto& value = edits.field[f];
        if (f == data::patientSexField || !value)
            continue;
        if (value->size() > data::kPatientFieldMax[f])
            return std::string(options[f]) + " takes at most " + std::to_string(data::kPatientFieldMax[f]) +
                   " characters (" + std::to_string(value->size()) + " given)";
    }
    if (const auto& age = edits.field[data::patientAgeField]; age && !age->empty()) {
        const bool digits = age->find_first_not_of("0123456789") == std::string::npos;
        const long years = digits ? std::strtol(age->c_str(), nullptr, 10) : 0;
        if (years < 1 || years > 199)
            return "--age takes a number of years from 1 to 199 (or an empty text to clear it)";
    }
    return {};
}

// Puts the edits into the import patient set and marks the fields it supplies.
bool stageEdits(const Edits& edits)
{
    data::PatientSet& p = data::recordings.importPatients;
    p.clear();
    for (int f = 0; f < data::kPatientFields; ++f) {
        data::recordings.useImportField[f] = edits.field[f].has_value();
        if (edits.field[f])
            p.text[f] = *edits.field[f];
    }
    if (edits.field[data::patientAgeField])
        p.ageFromText();
    if (const auto& sex = edits.field[data::patientSexField]) {
        const std::string s = *sex;
        if (s == "M" || s == "m" || s == "male")
            p.text[data::patientSexField] = "104";
        else if (s == "F" || s == "f" || s == "female")
            p.text[data::patientSexField] = "105";
        else if (!s.empty() && s != "104" && s != "105")
            return false;
        p.sexFromText();
    }
    return true;
}

FileOutcome fieldLines(const std::string& path)
{
    FileOutcome lines;
    auto own = std::make_unique<data::LoadedRecording>();
    lines.status = loadOwnFile(path, *own, lines.text);
    if (lines.status != kSuccess)
        return lines;
    const data::PatientSet& p = own->rec.patient;
    lines.text = path + "\n";
    for (int f = 0; f < data::kPatientFields; ++f) {
        char line[64];
        std::snprintf(line, sizeof line, "  %-9s ", (std::string(data::kPatientFieldLabel[f]) + ":").c_str());
        lines.text += line + p.text[f] + "\n";
    }
    return lines;
}

FileOutcome rewriteFile(const std::string& path, const data::PatientSet& import,
                        const std::array<bool, data::kPatientFields>& use)
{
    const std::string message = data::rewritePatientFileWith(path, import, use);
    if (message.empty())
        return {kSuccess, path + ": patient fields written\n"};
    return {message.find("not a patient data file") != std::string::npos ? kNotDataFile : kCannotOpen, message};
}

// Rewrites every file on every core with the staged edits; a file named twice
// is rewritten twice, the second time over the first.
int rewriteAll(const std::vector<std::string>& files)
{
    const data::PatientSet& import = data::recordings.importPatients;
    const auto& use = data::recordings.useImportField;
    const unsigned threads = data::namedTwice(files) ? 1 : platform::batchThreads();
    return eachFileInOrder(files, threads, [&](const std::string& path) { return rewriteFile(path, import, use); });
}

}  // namespace

int patientCommand(const Args& args)
{
    Edits edits;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const int field = fieldOfOption(args[i]);
        if (field >= 0 && i + 1 < args.size()) {
            const ArgumentText value = argumentText(args[++i]);
            if (!value.ok)
                return fail(kUsage, args[i - 1] + ": " + value.problem);
            edits.field[field] = value.text;
        }
        else if (args[i].rfind("--", 0) != 0)
            files.push_back(args[i]);
        else
            return fail(kUsage, kPatientUsage);
    }
    if (files.empty())
        return fail(kUsage, kPatientUsage);
    if (std::string problem = checkLimits(edits); !problem.empty())
        return fail(kUsage, problem);
    if (edits.any() && !stageEdits(edits))
        return fail(kUsage, "--sex takes M or F");
    return edits.any() ? rewriteAll(files) : eachFileInOrder(files, platform::batchThreads(), fieldLines);
}

}  // namespace tool
