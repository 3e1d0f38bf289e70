#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "state/startupState.h"
#include "data/byteLayer.h"
#include "data/dataFiles.h"
#include "data/loadedRecording.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"
#include "platform/orderedWork.h"
#include "report/reportPage.h"
#include "report/textExport.h"
#include "report/textOutput.h"

namespace report {

namespace fs = std::filesystem;

namespace {

using platform::Buttons;
using platform::Icon;

const char kSaveAll[] = "Save All As Text";

// The section options of a Report page, saved and restored around save-all.
struct PageOptions {
    bool patient, report, bands, spectrum, graph;
    static PageOptions of(const ReportPage& p) { return {p.showPatientInfo, p.showReport, p.showBands, p.showSpectrum, p.showGraph}; }
    void applyTo(ReportPage& p) const
    {
        p.showPatientInfo = patient;
        p.showReport = report;
        p.showBands = bands;
        p.showSpectrum = spectrum;
        p.showGraph = graph;
        p.layout();
    }
};

enum class PassResult { next, cancel };

// The name of pass p: the path's stem, "-info"/"-raw" when splitting, its extension.
std::string passPath(const std::string& path, int pass, bool split)
{
    const fs::path p(path);
    std::string name = p.stem().string();
    if (split)
        name += pass == 0 ? "-info" : "-raw";
    name += p.extension().string();
    if (name.size() > 255)
        name.resize(255);
    return (p.parent_path() / name).string();
}

// Sets the page up for a save-all pass; false when the pass is skipped.
bool preparePass(ReportPage& page, int pass, bool split, const ExportSettings& e)
{
    if (pass == 1) {
        if (!(page.recording().contentFlags() & data::content::rawEeg) || !e.exportRawData)
            return false;
        PageOptions{false, false, false, false, true}.applyTo(page);
        return true;
    }
    PageOptions{true, true, true, false, !split}.applyTo(page);
    return !split || (e.exportPatientInfo && page.lineTotal() > 0);
}

// Asks before replacing a file; false to skip the pass, cancel through `result`.
bool mayReplace(const void* owner, const std::string& path, PassResult& result)
{
    ExportSettings& e = exportSettings;
    std::error_code error;
    if ((e.batchMode && e.yesToAll) || !fs::exists(path, error))
        return true;
    const std::string text = platform::format("This folder already contains file '%s'\nWould you like to replace it?",
                                              fs::path(path).filename().string());
    const Buttons buttons = e.batchMode ? Buttons::yesAllNoCancel : e.saveAllMode ? Buttons::yesNoCancel : Buttons::yesNo;
    const int answer = platform::messageBox(owner, text, kSaveAll, buttons, Icon::question);
    if (answer == platform::IDYESTOALL)
        e.yesToAll = true;
    if (answer == platform::IDCANCEL)
        result = PassResult::cancel;
    return answer == platform::IDYES || answer == platform::IDYESTOALL;
}

// Writes one file with what `content` writes; the result says whether the request goes on.
PassResult writePass(const void* owner, const std::string& path, const std::function<void(TextOutput&)>& content)
{
    const ExportSettings& e = exportSettings;
    PassResult result = PassResult::next;
    if (!mayReplace(owner, path, result))
        return result;
    data::SafeFile out(path);
    if (!out.file()) {
        if (state::startup.hidden) {
            state::startup.requestQuit(4);
            return PassResult::cancel;
        }
        const std::string text = platform::format("Could not open file \"%s\" to write?", path);
        const int answer = platform::messageBox(owner, text, e.saveAllMode ? kSaveAll : "Save As Text",
                                                e.saveAllMode ? Buttons::okCancel : Buttons::ok, Icon::warning);
        return e.saveAllMode && answer == platform::IDOK ? PassResult::next : PassResult::cancel;
    }
    bool written = false;
    try {
        TextOutput text(*out.file());
        content(text);
        written = out.commit();
    } catch (const data::FileError&) {
    }
    if (!written) {
        out.abandon();
        if (state::startup.summary) {
            state::startup.requestQuit(5);
            return PassResult::cancel;
        }
        platform::messageBox(owner, platform::format("Cannot write file %s", path.empty() ? "(untitled)" : path), "Ozmar",
                             Buttons::ok, Icon::warning);
    }
    return PassResult::next;
}

PassResult writePass(const void* owner, const std::string& path, const DocumentText& document)
{
    return writePass(owner, path, [&](TextOutput& text) { writeWindowText(document, text, modeForPath(path)); });
}

// A file of a batch, read and rendered on a worker thread into its own
// recording and page: the files to write with their text, or why it could
// not be read.
struct PreparedFile {
    const char* problem = nullptr;
    std::vector<std::pair<std::string, std::string>> passes;
};

PreparedFile prepareBatchFile(const std::string& input, const std::string& output, const ReportPage& prototype,
                              const ExportSettings& e)
{
    PreparedFile prepared;
    auto own = std::make_unique<data::LoadedRecording>();
    const data::LoadResult loaded = data::loadRecording(input, *own, data::ReadScope::beside);
    if (loaded != data::LoadResult::loaded) {
        prepared.problem = loaded == data::LoadResult::notDataFile ? "File %s is not a patient data file"
                                                                   : "Could not open file \"%s\" for read";
        return prepared;
    }
    ReportPage page = prototype.withSubject({&own->rec, &own->total, &own->seizure});
    page.layout(true);
    const bool split = e.exportSplit;
    for (int pass = 0; pass < (split ? 2 : 1); ++pass) {
        if (!preparePass(page, pass, split, e))
            continue;
        const std::string path = passPath(output, pass, split);
        std::string text;
        TextOutput out(text);
        writeReportText(page, e, out, modeForPath(path));
        prepared.passes.emplace_back(path, std::move(text));
    }
    return prepared;
}

// Writes the prepared files of one input in order; false when the user cancelled.
bool writePrepared(const void* owner, const PreparedFile& prepared)
{
    for (const auto& pass : prepared.passes) {
        const std::string& text = pass.second;
        const auto content = [&text](TextOutput& out) { out.writeRaw(text); };
        if (writePass(owner, pass.first, content) == PassResult::cancel)
            return false;
    }
    return true;
}

}  // namespace

SaveResult saveAsText(const void* owner, const std::string& path, const DocumentText& active, ReportPage* reportWindow)
{
    const ExportSettings& e = exportSettings;
    if (!e.saveAllMode)
        return writePass(owner, path, active) == PassResult::cancel ? SaveResult::cancelled : SaveResult::done;
    ReportPage& page = *reportWindow;
    const PageOptions saved = PageOptions::of(page);
    const bool split = e.exportSplit;
    SaveResult result = SaveResult::done;
    for (int pass = 0; pass < (split ? 2 : 1) && result == SaveResult::done; ++pass) {
        if (!preparePass(page, pass, split, e))
            continue;
        const DocumentText document{DocumentText::Kind::report, &page, nullptr};
        if (writePass(owner, passPath(path, pass, split), document) == PassResult::cancel)
            result = SaveResult::cancelled;
    }
    saved.applyTo(page);
    return result;
}

bool batchConvert(const void* owner, const std::string& selection, const std::string& outputFolder,
                  const std::function<bool(const std::string& file, std::size_t number, std::size_t count)>& progress)
{
    ExportSettings& e = exportSettings;
    e.yesToAll = false;
    e.batchMode = e.saveAllMode = true;
    // The workers read copies made here, never what the questions change.
    const ExportSettings settings = e;
    const ReportPage prototype(true);
    const char* extension = e.textFilterIndex == 3 ? ".csv" : ".txt";
    const std::vector<std::string> files = data::selectionPaths(selection);
    const std::function<PreparedFile(std::size_t)> prepare = [&](std::size_t i) {
        const std::string out = (fs::path(outputFolder) / (fs::path(files[i]).stem().string() + extension)).string();
        return prepareBatchFile(files[i], out, prototype, settings);
    };
    // Questions, progress and writing stay on this thread, in the files' order.
    const std::function<bool(std::size_t, PreparedFile&)> consume = [&](std::size_t i, PreparedFile& prepared) {
        if (prepared.problem)
            return data::askToGoOn(owner, prepared.problem, files[i]);
        if (progress && !progress(files[i], i + 1, files.size()))
            return false;
        return writePrepared(owner, prepared);
    };
    const unsigned threads = platform::batchThreads();
    const bool finished = platform::runInOrder(files.size(), threads, 2 * threads, prepare, consume);
    e.batchMode = e.saveAllMode = false;
    return finished;
}

}  // namespace report
