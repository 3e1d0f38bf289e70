// File > Export BIDS...: every recording of the open recording's patient, from
// its folder, into a BIDS EEG dataset (new or extended), optionally
// anonymised; the mapping of an anonymised export is saved apart from it.
#include <filesystem>
#include <memory>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "bids/bidsExport.h"
#include "course/courseScan.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"
#include "platform/progressBox.h"
#include "state/startupState.h"

namespace app {

namespace {

namespace fs = std::filesystem;
const char kTitle[] = "Export BIDS";

void tell(QWidget* owner, const std::string& text)
{
    platform::messageBox(owner, text, kTitle, platform::Buttons::ok, platform::Icon::exclamation);
}

// The dataset folder (an existing one, or a new name), with the Anonymise choice; "" when cancelled.
std::string chooseDataset(QWidget* owner, const std::string& near, bool& anonymise)
{
    platform::FileRequest r;
    r.owner = owner;
    r.save = true;
    r.title = kTitle;
    r.filters = {{"All Files (*.*)", "*.*"}};
    r.folder = near;
    r.name = "bids";
    r.acceptLabel = "&Export";
    r.fileNameLabel = "Dataset &folder:";
    auto panel = std::make_shared<platform::FilePanel>();
    panel->title = "Research Dataset";
    panel->labels = {"&Anonymise (subjects numbered, dates moved; no name, ID or comments)"};
    panel->checked = {true};
    r.panel = panel;
    const std::string chosen = platform::fileDialog(r);
    anonymise = panel->checked[0];
    return chosen;
}

// Reads the mapping an earlier anonymised export into `dataset` saved; false when cancelled or unreadable.
bool readMapping(QWidget* owner, const std::string& dataset, std::vector<bids::MappingEntry>& mapping)
{
    platform::FileRequest r;
    r.owner = owner;
    r.title = "Mapping of the Earlier Export";
    r.filters = {{"Mapping Files (*.tsv)", "*.tsv"}, {"All Files (*.*)", "*.*"}};
    r.folder = fs::path(dataset).parent_path().string();
    const std::string path = platform::fileDialog(r);
    if (path.empty())
        return false;
    std::string text, problem;
    if (!data::readWholeFile(path, text) || !bids::parseMapping(text, mapping, problem)) {
        tell(owner, "\"" + fs::path(path).filename().string() + "\" is not the mapping of an export" +
                        (problem.empty() ? std::string(".") : ": " + problem + "."));
        return false;
    }
    return true;
}

// Saves the mapping outside the dataset; the path, or "" when not saved.
std::string saveMapping(QWidget* owner, const std::string& dataset, const std::vector<bids::MappingEntry>& mapping)
{
    platform::FileRequest r;
    r.owner = owner;
    r.save = true;
    r.title = "Save the Mapping (keep it apart from the dataset)";
    r.filters = {{"Mapping Files (*.tsv)", "*.tsv"}, {"All Files (*.*)", "*.*"}};
    r.defaultExtension = "tsv";
    r.folder = fs::path(dataset).parent_path().string();
    r.name = fs::path(dataset).filename().string() + "-mapping.tsv";
    r.onAccept = [&](const std::string& chosen) {
        if (!bids::insideDataset(chosen, dataset))
            return chosen;
        tell(owner, "The mapping names the patients: keep it outside the dataset.");
        return std::string();
    };
    const std::string path = platform::fileDialog(r);
    const std::string text = bids::mappingText(mapping);
    if (path.empty() || data::writeWholeFile(path, text.data(), text.size()))
        return path;
    tell(owner, "Could not write \"" + path + "\".");
    return std::string();
}

std::string summary(const bids::BidsReport& report, const std::string& id, const std::string& dataset)
{
    std::string text = report.added.empty()
                           ? "No recording of patient " + id + " was added to \"" + dataset + "\"."
                           : std::to_string(report.added.size()) + " recording" + (report.added.size() == 1 ? "" : "s") +
                                 " of patient " + id + " added to \"" + dataset + "\".";
    const std::size_t shown = std::min<std::size_t>(report.messages.size(), 8);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\n" + report.messages[i];
    if (report.messages.size() > shown)
        text += "\n... and " + std::to_string(report.messages.size() - shown) + " more left out";
    return text;
}

}  // namespace

void FrameWindow::exportBids()
{
    const std::string& stored = data::recordings.primary.patient.text[data::patientId];
    const std::size_t first = stored.find_first_not_of(" \t");
    const std::string id = first == std::string::npos ? std::string() : stored.substr(first, stored.find_last_not_of(" \t") - first + 1);
    if (id.empty()) {
        tell(this, "The recording has no patient ID: a research dataset needs one for each subject.");
        return;
    }
    const std::string source = document.currentFilePath.empty() ? state::startup.lastDir
                                                                : fs::path(document.currentFilePath).parent_path().string();
    bids::BidsOptions options;
    options.patients = {id};
    enableToolWindows(false);
    options.dataset = chooseDataset(this, fs::path(source).parent_path().string(), options.anonymise);
    const bool ready = !options.dataset.empty() &&
                       (!options.anonymise || !bids::datasetHasSubjects(options.dataset) ||
                        readMapping(this, options.dataset, options.mapping));
    enableToolWindows(true);
    if (!ready)
        return;
    ExportGuard busy(*this);
    bids::BidsReport report;
    try {
        std::vector<std::string> unopened;
        const std::vector<std::string> files = course::filesUnder({source}, false, unopened);
        platform::ProgressBox progress(this, kTitle, static_cast<int>(files.size()));
        const course::ScanResult scan = course::scanFiles(files, [&](std::size_t done, std::size_t total) {
            return progress.step(static_cast<int>(done), static_cast<int>(total), "Reading the recordings...");
        });
        if (scan.cancelled)
            return;
        report = bids::exportBids(scan.recordings, options, [&](std::size_t done, std::size_t total) {
            return progress.step(static_cast<int>(done), static_cast<int>(total), "Writing the dataset...");
        });
    } catch (const std::exception& refused) {
        tell(this, std::string(refused.what()) + ". The dataset is as it was.");
        return;
    }
    if (report.cancelled) {
        tell(this, "The export was cancelled. The dataset is as it was.");
        return;
    }
    std::string text = summary(report, id, options.dataset);
    if (options.anonymise && !report.added.empty()) {
        const std::string saved = saveMapping(this, options.dataset, report.mapping);
        text += saved.empty() ? "\n\nThe mapping was not saved. Without it the dataset cannot be extended:\n" +
                                    bids::mappingText(report.mapping)
                              : "\n\nThe mapping of subjects to patients is in \"" + saved +
                                    "\". Keep it apart from the dataset: a later export into the dataset needs it.";
    }
    platform::messageBox(this, text, kTitle, platform::Buttons::ok, platform::Icon::information);
}

}  // namespace app
