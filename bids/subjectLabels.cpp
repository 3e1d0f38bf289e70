#include "bids/subjectLabels.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "bids/tsvTable.h"
#include "platform/civilDate.h"
#include "platform/textEncoding.h"
#include "report/edfExport.h"

namespace bids {

namespace {

constexpr platform::CivilDate kEarliestEdf{1985, 1, 1};
constexpr platform::CivilDate kShiftTarget{1990, 1, 1};
constexpr long kMaxShift = 200L * 366;  // days: no real shift moves a date two centuries
const char kMappingHeader[] = "participant_id\tpatient_id\tdate_shift_days";

bool alphanumeric(const std::string& text)
{
    if (text.empty())
        return false;
    for (unsigned char c : text)
        if (!std::isalnum(c))
            return false;
    return true;
}

}  // namespace

std::string labelOfId(const std::string& patientId)
{
    std::string label;
    for (unsigned char c : report::edfAscii(patientId))
        if (std::isalnum(c))
            label.push_back(static_cast<char>(c));
    return label;
}

std::string numberedLabel(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

long dayShiftFor(const course::When& first)
{
    const long from = first.dayNumber();
    const long target = platform::daysFromCivil(kShiftTarget);
    long shift = (target - from) / 7 * 7;
    while (from + shift < target)
        shift += 7;
    while (from + shift - 7 >= target)
        shift -= 7;
    return shift;
}

std::string acqTime(const course::When& when, long dayShift)
{
    const platform::CivilDate d = platform::civilFromDays(when.dayNumber() + dayShift);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, when.hour, when.minute,
                  when.second);
    return text;
}

bool storableInEdf(const course::When& when, long dayShift)
{
    return when.dayNumber() + dayShift >= platform::daysFromCivil(kEarliestEdf);
}

std::string mappingText(const std::vector<MappingEntry>& mapping)
{
    std::string text = std::string(kMappingHeader) + "\n";
    for (const MappingEntry& m : mapping)
        text += "sub-" + m.label + "\t" + tsvCell(platform::windows1252ToUtf8(m.patientId)) + "\t" +
                std::to_string(m.dayShift) + "\n";
    return text;
}

bool parseMapping(const std::string& text, std::vector<MappingEntry>& mapping, std::string& problem)
{
    const TsvTable table = parseTsv(text);
    if (table.columns.empty() || table.column("participant_id") != 0 || table.column("patient_id") != 1 ||
        table.column("date_shift_days") != 2) {
        problem = "the first line is not \"participant_id, patient_id, date_shift_days\" separated by tabs";
        return false;
    }
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const std::vector<std::string>& row = table.rows[i];
        char* end = nullptr;
        const long shift = row.size() == 3 ? std::strtol(row[2].c_str(), &end, 10) : 0;
        if (row.size() != 3 || row[0].rfind("sub-", 0) != 0 || !alphanumeric(row[0].substr(4)) || row[1].empty() ||
            row[2].empty() || *end != '\0' || shift < -kMaxShift || shift > kMaxShift) {
            problem = "line " + std::to_string(i + 2) + " is not a mapping line";
            return false;
        }
        const platform::Utf8Conversion id = platform::utf8ToWindows1252(row[1]);
        if (!id.ok) {
            problem = "line " + std::to_string(i + 2) + ": " + id.problem;
            return false;
        }
        mapping.push_back({row[0].substr(4), id.text, shift});
    }
    return true;
}

}  // namespace bids
