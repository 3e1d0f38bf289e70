#include "report/textExport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "state/startupState.h"
#include "data/byteLayer.h"
#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "platform/dialogs.h"
#include "report/reportPage.h"
#include "report/textOutput.h"
#include "views/tableLines.h"

namespace report {

ExportSettings exportSettings;

namespace fs = std::filesystem;

namespace {

bool csv(ReportRequest mode) { return modeOf(mode) == ReportMode::Csv; }

std::string lineOf(const std::string& text, ReportRequest mode)
{
    return (csv(mode) ? csvQuoted(text) : text) + "\n";
}

void writePatientBlock(const ReportPage& page, TextOutput& out, ReportRequest mode)
{
    const PatientBlock& block = page.patientBlock();
    for (const std::string* l : {&block.idLine, &block.nameLine})
        if (!l->empty())
            out.write(lineOf(*l, mode));
    if (!block.comments.empty()) {
        out.write(csv(mode) ? "\"Comments:\"\n" : "Comments:\n");
        for (const std::string& comment : block.comments)
            out.write(lineOf(comment, mode));
    }
    const auto& text = page.recording().patient.text;
    if (!text[data::patientId].empty() || !text[data::patientName].empty() || !text[data::patientComments].empty())
        out.write("\n");
}

void writeReportPage(ReportPage& page, TextOutput& out, ReportRequest mode)
{
    if (page.showPatientInfo)
        writePatientBlock(page, out, mode);
    for (int i = 0; i < page.totalLineCount(); ++i) {
        if (!page.isShown(i))
            continue;
        const std::string line = page.line(i, mode);
        if (!line.empty())
            out.write(line + "\n");
    }
    if (page.showGraph)
        writeRawDataTable(&page, out, mode);
}

void writeTable(const views::TableLines& table, TextOutput& out, ReportRequest mode)
{
    const std::string title = table.title().substr(0, 80);
    if (!title.empty())
        out.write(lineOf(title, mode));
    const std::uint16_t form = csv(mode) ? 1 : 2;
    for (int i = 0; i <= table.lastLine(); ++i) {
        const std::string line = table.line(i, form);
        if (!line.empty())
            out.write(line + "\n");
    }
}

void rawHeading(const data::Recording& rec, TextOutput& out, ReportRequest mode)
{
    const ExportSettings& e = exportSettings;
    char text[96];
    if (e.exportAllData)
        std::snprintf(text, sizeof text, csv(mode) ? "\n\"%s\"\n" : "\n%s\n", "Raw Data \xB5V");
    else
        std::snprintf(text, sizeof text, csv(mode) ? "\n\"%s %u-%u Sec\"\n" : "\n%s %u-%u Sec\n", "Raw Data \xB5V",
                      e.exportFrom, e.exportTo);
    out.write(text);
    if (!(rec.contentFlags() & data::content::rawEeg))
        return;
    const char* third = rec.header[data::hw::channelMode] != 0 ? "EEG3" : "EMG";
    const char* fourth = rec.header[data::hw::channelModeCopy] != 0 ? "EEG4" : "ECG";
    std::snprintf(text, sizeof text, csv(mode) ? "\"%s\",\"%s\",\"%s\",\"%s\"" : "%11s%11s%11s%11s", "EEG1", "EEG2",
                  third, fourth);
    out.write(text);
    if (rec.header[data::hw::eegSeizureDetected] != 0) {
        std::snprintf(text, sizeof text, csv(mode) ? ",,\"%s\"\n" : "%11s\n", "SEIZURE");
        out.write(text);
    } else {
        out.write("\n");
    }
}

// One row of the table; false when a channel has no sample s (or the range ends).
bool rawRow(const data::Recording& rec, std::uint32_t s, ReportRequest mode, std::string& row)
{
    const ExportSettings& e = exportSettings;
    row.clear();
    std::uint32_t position = 0;
    for (int c = 0; c < data::kChannels; ++c) {
        const data::SampleRing& ring = rec.rawChannels[c];
        if (s >= ring.count || (!e.exportAllData && s >= e.exportTo * data::kSamplesPerSecond))
            return false;
        position = (s + ring.start) % data::kRingSamples;
        const float k = (c >= 2 && rec.header[data::hw::channelMode] == 0) ? 10.0f : 1.0f;
        const float microVolts = static_cast<float>(ring.samples[position]) * rec.calibrationFactors[c] * 250.0f * 0.0005f * k;
        char value[48];
        std::snprintf(value, sizeof value, csv(mode) ? "%.1f," : "%11.1f", static_cast<double>(microVolts));
        row += value;
    }
    if (rec.header[data::hw::eegSeizureDetected] != 0) {
        const char* mark = rec.conditionData[0][position / data::kEpochSamples % data::kMaxEpochs] != 0 ? "+" : "-";
        char text[16];
        std::snprintf(text, sizeof text, csv(mode) ? ",\"%s\"" : "%8s", mark);
        row += text;
    }
    if (row.size() > 199)
        row.resize(199);
    return true;
}

}  // namespace

ReportRequest modeForPath(const std::string& path)
{
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".csv" ? ReportMode::Csv : ReportMode::Columns;
}

void writeRawDataTable(const ReportPage* page, TextOutput& out, ReportRequest mode)
{
    const data::Recording& rec = page ? page->recording() : data::recordings.primary;
    ExportSettings& e = exportSettings;
    if (e.exportAllData) {
        e.exportFrom = 0;
        e.exportTo = rec.lengthSeconds;
    }
    rawHeading(rec, out, mode);
    if (!(rec.contentFlags() & data::content::rawEeg))
        return;
    std::string row;
    for (std::uint32_t s = e.exportFrom * data::kSamplesPerSecond; rawRow(rec, s, mode, row); ++s)
        out.write(row + "\n");
}

void writeWindowText(const DocumentText& document, TextOutput& out, ReportRequest mode)
{
    switch (document.kind) {
    case DocumentText::Kind::report: writeReportPage(*document.page, out, mode); break;
    case DocumentText::Kind::table: writeTable(*document.table, out, mode); break;
    case DocumentText::Kind::graph: writeRawDataTable(nullptr, out, mode); break;
    case DocumentText::Kind::other: break;
    }
}

}  // namespace report
