#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace analysis {
struct SpectralKind;
}

namespace data {
struct Recording;
}

namespace report {

// The form of a text line.
using ReportRequest = std::uint16_t;
namespace ReportMode {
constexpr ReportRequest Screen = 0;
constexpr ReportRequest Csv = 1;
constexpr ReportRequest Columns = 2;
}  // namespace ReportMode

inline ReportRequest modeOf(ReportRequest request) { return request & 0xFF; }

// What a report is built from: the recording, and the instrument's seizure
// sums that came with it (the Average Seizure Energy Index of a report text
// reads them). Making the Program Selected line limits the recording's program
// index to 5 and stores that back.
struct ReportSource {
    data::Recording& rec;
    const analysis::SpectralKind& seizureSums;
};

// True when the recording's report lines come from its report text.
bool hasReportText(const data::Recording& rec);
// The header says the instrument made a report text (high byte of the content
// flags); the built-in lines that the instrument computes differently then
// take their report-text form, even when the text itself is empty.
bool reportTextFlag(const data::Recording& rec);

// 29 for the built-in report; else 5 plus the CR-terminated lines of the report
// text. A control character right after a CR ends the text there (the text
// itself is left as it is).
int reportLineCount(const data::Recording& rec);

// Line `index` of a report whose middle lines are the CR-terminated lines of
// `text`, in the requested form.
std::string getReportLine(const ReportSource& source, const std::string& text, int index, ReportRequest request);

using LineBuilder = std::string (*)(const ReportSource& source, ReportRequest request);
constexpr int kBuiltInLines = 29;
extern const std::array<LineBuilder, kBuiltInLines> reportLineBuilders;

// Line `index` of the source's report, from its text or built; empty when the
// line is absent.
std::string reportLine(const ReportSource& source, int index, ReportRequest request);

// The (k)-th CR-terminated line of `text` (as far as it is in effect),
// converted to the form; a last fragment without CR is no line.
std::string lineFromText(const std::string& text, int k, ReportRequest request);
// Converts one CSV line to the screen form (backspace-marked right-aligned
// fields) or to fixed columns (right-aligned at column 50).
std::string convertCsvLine(const std::string& line, ReportRequest mode);

constexpr std::size_t kBuiltLineMax = 79;
constexpr std::size_t kConvertedLineMax = 99;
constexpr std::size_t kWorkBufferMax = 299;

}  // namespace report
