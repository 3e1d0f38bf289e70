#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "report/reportLines.h"

namespace views {
class TableLines;
}

namespace report {

class ReportPage;
class TextOutput;

// The export settings the save dialog sets and the writer reads. One instance.
struct ExportSettings {
    bool exportAllData = true;
    std::uint32_t exportFrom = 0;
    std::uint32_t exportTo = 0;
    bool exportPatientInfo = true;
    bool exportRawData = true;
    bool exportSplit = true;
    bool saveAllMode = false;
    bool batchMode = false;
    bool yesToAll = false;
    int textFilterIndex = 1;  // 1 text files, 2 TXT, 3 CSV, 4 all

    void reset() { *this = ExportSettings{}; }
};

extern ExportSettings exportSettings;

// What the active document window is, for the writer.
struct DocumentText {
    enum class Kind { report, table, graph, other };
    Kind kind = Kind::other;
    ReportPage* page = nullptr;                // kind report
    const views::TableLines* table = nullptr;  // kind table
};

// Csv for a ".csv" file (in any case), Columns otherwise.
ReportRequest modeForPath(const std::string& path);

void writeWindowText(const DocumentText& document, TextOutput& out, ReportRequest mode);
// The text of a Report page as its window exports it, with `settings` (the
// raw table's range, a copy of the export settings) and nothing else shared.
void writeReportText(const ReportPage& page, const ExportSettings& settings, TextOutput& out, ReportRequest mode);
// The raw EEG table of the page's recording, or of the primary recording.
void writeRawDataTable(const ReportPage* page, TextOutput& out, ReportRequest mode);

enum class SaveResult { done, cancelled };

// Writes the text file(s) of one request into the folder of `path`: the active
// window, or in save-all mode the Report window `reportWindow` in its passes.
// A file is replaced only once it is complete.
SaveResult saveAsText(const void* owner, const std::string& path, const DocumentText& active, ReportPage* reportWindow);

// Converts each data file of the selection (Part of the batch dialog's result)
// into text files in `outputFolder` through the secondary Report page.
// `progress` is told the file about to be converted (its number from 1 and the
// count) and answers false to stop between files.
bool batchConvert(const void* owner, const std::string& selection, const std::string& outputFolder,
                  const std::function<bool(const std::string& file, std::size_t number, std::size_t count)>& progress = {});

}  // namespace report
