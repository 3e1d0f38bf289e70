#include "report/textExport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
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

void writeRawTable(const data::Recording& rec, const ExportSettings& e, TextOutput& out, ReportRequest mode);

void writeReportPage(const ReportPage& page, const ExportSettings& e, TextOutput& out, ReportRequest mode)
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
        writeRawTable(page.recording(), e, out, mode);
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

void rawHeading(const data::Recording& rec, const ExportSettings& e, TextOutput& out, ReportRequest mode)
{
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
// `value` as printf's "%.1f" writes it, right-aligned in `width`. The raw
// table writes millions of them, and the exact conversion of the standard
// library is several times faster than printf's while giving the same text.
void appendOneDecimal(std::string& row, double value, std::size_t width)
{
    char digits[400];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
    std::size_t length = static_cast<std::size_t>(end - digits);
    if (error != std::errc())
        length = static_cast<std::size_t>(std::snprintf(digits, sizeof digits, "%.1f", value));
    if (length < width)
        row.append(width - length, ' ');
    row.append(digits, length);
}

bool rawRow(const data::Recording& rec, const ExportSettings& e, std::uint32_t s, ReportRequest mode, std::string& row)
{
    row.clear();
    std::uint32_t position = 0;
    for (int c = 0; c < data::kChannels; ++c) {
        const data::SampleRing& ring = rec.rawChannels[c];
        if (s >= ring.count || (!e.exportAllData && s >= e.exportTo * data::kSamplesPerSecond))
            return false;
        position = (s + ring.start) % data::kRingSamples;
        const float k = (c >= 2 && rec.header[data::hw::channelMode] == 0) ? 10.0f : 1.0f;
        const float microVolts = static_cast<float>(ring.samples[position]) * rec.calibrationFactors[c] * 250.0f * 0.0005f * k;
        appendOneDecimal(row, static_cast<double>(microVolts), csv(mode) ? 0 : 11);
        if (csv(mode))
            row += ',';
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

// The raw EEG table: the whole recording, or the seconds `e` gives.
void writeRawTable(const data::Recording& rec, const ExportSettings& settings, TextOutput& out, ReportRequest mode)
{
    ExportSettings e = settings;
    if (e.exportAllData) {
        e.exportFrom = 0;
        e.exportTo = rec.lengthSeconds;
    }
    rawHeading(rec, e, out, mode);
    if (!(rec.contentFlags() & data::content::rawEeg))
        return;
    std::string row;
    for (std::uint32_t s = e.exportFrom * data::kSamplesPerSecond; rawRow(rec, e, s, mode, row); ++s) {
        row += '\n';
        out.write(row);
    }
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
    writeRawTable(page ? page->recording() : data::recordings.primary, exportSettings, out, mode);
}

void writeReportText(const ReportPage& page, const ExportSettings& settings, TextOutput& out, ReportRequest mode)
{
    writeReportPage(page, settings, out, mode);
}

void writeWindowText(const DocumentText& document, TextOutput& out, ReportRequest mode)
{
    switch (document.kind) {
    case DocumentText::Kind::report: writeReportPage(*document.page, exportSettings, out, mode); break;
    case DocumentText::Kind::table: writeTable(*document.table, out, mode); break;
    case DocumentText::Kind::graph: writeRawDataTable(nullptr, out, mode); break;
    case DocumentText::Kind::other: break;
    }
}

}  // namespace report
