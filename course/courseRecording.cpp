#include "course/courseRecording.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <tuple>
#include <cstdio>
#include <vector>

#include "data/loadedRecording.h"
#include "platform/civilDate.h"
#include "report/reportLines.h"

namespace course {

namespace hw = data::hw;

const std::array<const char*, kMeasures> kMeasureLabels = {
    "% Energy Set", "Charge Delivered", "Current", "Pulse Width", "Frequency", "Stimulus Duration",
    "Static Impedance", "Dynamic Impedance", "EEG Endpoint", "EMG Endpoint", "ECG Endpoint", "Base Heart Rate",
    "Peak Heart Rate", "Seizure Energy Index", "Postictal Suppression Index", "Seizure Generalization Index",
    "Maximum Sustained Power", "Maximum Sustained Coherence",
};

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The fields of one CSV line: commas outside quotes part them, a doubled quote
// inside quotes is one quote.
std::vector<std::string> csvFields(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back().push_back('"');
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

When whenOf(const data::Recording& rec)
{
    const unsigned y = rec.header[hw::year] % 100;
    When w;
    w.year = static_cast<int>(y < 96 ? 2000 + y : 1900 + y);
    // A month the header cannot hold reads as the report shows it: within 1 to 12.
    w.month = std::clamp<int>(rec.header[hw::month], 1, 12);
    w.day = rec.header[hw::day];
    w.hour = rec.header[hw::hour];
    w.minute = rec.header[hw::minute];
    w.second = rec.header[hw::second];
    return w;
}

Kind kindOf(const data::Recording& rec)
{
    const std::uint16_t flags = rec.contentFlags();
    if (flags & data::content::monitoring)
        return Kind::monitoring;
    return flags & data::content::report ? Kind::treatment : Kind::session;
}

// Takes one report line: a labelled value, the program, or a closing remark.
void takeLine(CourseRecording& r, const std::string& line)
{
    const std::vector<std::string> f = csvFields(line);
    const std::string& first = f[0];
    if (f.size() == 1) {
        const std::string program = "Program Selected:";
        if (first.rfind(program, 0) == 0)
            r.program = trimmed(first.substr(program.size()));
        else if (first == "EEG Seizure is not detected")
            r.seizureMissed = true;
        else if (first == "(Treatment Interrupted)")
            r.interrupted = true;
        return;
    }
    const std::string label = first == "Average Seizure Energy Index" ? "Seizure Energy Index" : first;
    for (int m = 0; m < kMeasures; ++m) {
        if (label != kMeasureLabels[m])
            continue;
        const std::string value = trimmed(f[1]);
        r.values[m] = value.rfind("N/A", 0) == 0 ? std::string() : value;
        return;
    }
}

}  // namespace

long When::dayNumber() const { return platform::daysFromCivil({year, month, day}); }

bool When::operator<(const When& o) const
{
    return std::tie(year, month, day, hour, minute, second) < std::tie(o.year, o.month, o.day, o.hour, o.minute, o.second);
}

std::string When::isoDate() const
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

std::string When::clock() const
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    return text;
}

bool CourseRecording::number(Measure m, double& out) const
{
    const std::string& text = values[m];
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

std::string patientKey(const std::string& id)
{
    std::string key = trimmed(id);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    return key;
}

CourseRecording courseRecordingOf(data::LoadedRecording& loaded, const std::string& path)
{
    data::Recording& rec = loaded.rec;
    CourseRecording r;
    r.path = path;
    r.patientId = trimmed(rec.patient.text[data::patientId]);
    r.patientName = trimmed(rec.patient.text[data::patientName]);
    // Age and sex are known only when their fields hold text.
    r.age = trimmed(rec.patient.text[data::patientAgeField]).empty() ? -1 : rec.patient.patientAge;
    r.sex = trimmed(rec.patient.text[data::patientSexField]).empty() ? 0 : rec.patient.patientSex;
    r.rawEeg = (rec.contentFlags() & data::content::rawEeg) != 0;
    r.kind = kindOf(rec);
    r.fourChannels = rec.header[hw::channelMode] != 0;
    r.when = whenOf(rec);
    const report::ReportSource source{rec, loaded.seizure};
    const int lines = report::reportLineCount(rec);
    for (int i = 2; i < lines; ++i)
        takeLine(r, report::reportLine(source, i, report::ReportMode::Csv));
    return r;
}

}  // namespace course
