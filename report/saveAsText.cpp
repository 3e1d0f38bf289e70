#include <algorithm>
#include <filesystem>

#include "state/startupState.h"
#include "data/byteLayer.h"
#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"
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
bool preparePass(ReportPage& page, int pass, bool split)
{
    const ExportSettings& e = exportSettings;
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

// Writes one file; the result says whether the request goes on.
PassResult writePass(const void* owner, const std::string& path, const DocumentText& document)
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
        writeWindowText(document, text, modeForPath(path));
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
        if (!preparePass(page, pass, split))
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
    ReportPage page(true);
    const char* extension = e.textFilterIndex == 3 ? ".csv" : ".txt";
    const std::vector<std::string> files = data::selectionPaths(selection);
    const bool finished = data::readIntoSecondary(owner, selection, [&](const std::string& input) {
        const auto at = std::find(files.begin(), files.end(), input);
        if (progress && !progress(input, static_cast<std::size_t>(at - files.begin()) + 1, files.size()))
            return false;
        page.layout(true);
        const std::string out = (fs::path(outputFolder) / (fs::path(input).stem().string() + extension)).string();
        return saveAsText(owner, out, DocumentText{DocumentText::Kind::report, &page, nullptr}, &page) == SaveResult::done;
    });
    e.batchMode = e.saveAllMode = false;
    return finished;
}

}  // namespace report
