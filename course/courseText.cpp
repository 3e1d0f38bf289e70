#include "course/courseText.h"

#include <cstdio>
#include <vector>

#include "course/courseTable.h"
#include "platform/textEncoding.h"
#include "report/textOutput.h"

namespace course {

namespace {

const char kCsvHeader[] =
    "patient_id,treatment,date,time,file,program,energy_set_percent,charge_mC,current_A,pulse_width_ms,frequency_Hz,"
    "stimulus_duration_s,static_impedance_ohm,dynamic_impedance_ohm,eeg_endpoint_s,emg_endpoint_s,ecg_endpoint_s,"
    "base_hr_bpm,peak_hr_bpm,seizure_energy_index,postictal_suppression_percent,seizure_generalization_percent,"
    "max_sustained_power_uV2,max_sustained_coherence_percent,days_since_previous,charge_change_percent,flags";

// A CSV cell: quoted only when it holds a comma, a quote or a line break.
std::string cell(const std::string& text)
{
    return text.find_first_of(",\"\r\n") == std::string::npos ? text : report::csvQuoted(text);
}

std::string utf8(const std::string& stored) { return platform::windows1252ToUtf8(stored); }

std::string days(const CourseRow& row)
{
    return row.daysSincePrevious ? std::to_string(*row.daysSincePrevious) : std::string();
}

std::string change(const CourseRow& row) { return row.chargeChange ? percentChange(*row.chargeChange) : std::string(); }

}  // namespace

std::vector<std::string> courseColumnNames()
{
    std::vector<std::string> names(1);
    for (const char* c = kCsvHeader; *c != '\0'; ++c) {
        if (*c == ',')
            names.emplace_back();
        else
            names.back().push_back(*c);
    }
    return names;
}

std::vector<std::string> courseCells(const Course& course, const CourseRow& row)
{
    const CourseRecording& r = row.rec;
    std::vector<std::string> cells = {utf8(r.patientId.empty() ? course.patientId : r.patientId), row.treatment,
                                      r.when.isoDate(), r.when.clock(), r.path, utf8(r.program)};
    for (const std::string& value : r.values)
        cells.push_back(utf8(value));
    cells.push_back(days(row));
    cells.push_back(change(row));
    cells.push_back(flagWords(row.flags));
    return cells;
}

namespace {

std::string csvRow(const Course& course, const CourseRow& row)
{
    const std::vector<std::string> cells = courseCells(course, row);
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i)
        line += (i ? "," : "") + cell(cells[i]);
    return line + "\r\n";
}

// A value padded to the column's width, right-aligned.
std::string column(const std::string& text, int width)
{
    char out[128];
    std::snprintf(out, sizeof out, "%*s", width, text.c_str());
    return out;
}

}  // namespace

std::string percentChange(double change)
{
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f", change);
    return text;
}

std::string courseCsv(const Course& course)
{
    std::string csv = std::string(kCsvHeader) + "\r\n";
    for (const CourseRow& row : course.rows)
        csv += csvRow(course, row);
    return csv;
}

std::string courseColumns(const Course& course)
{
    std::string text = "Patient " + utf8(course.patientId) +
                       (course.patientName.empty() ? "" : " (" + utf8(course.patientName) + ")") + ": " +
                       std::to_string(course.rows.size()) + (course.rows.size() == 1 ? " recording" : " recordings") +
                       "\n";
    const char* const heads[] = {"Treat", "Date", "Time", "Charge mC", "EEG s", "EMG s", "PSI %", "SEI",
                                 "Coh %", "Peak HR", "Days", "Charge %"};
    const int widths[] = {5, 11, 9, 10, 6, 6, 6, 8, 6, 8, 5, 9};
    for (int i = 0; i < 12; ++i)
        text += column(heads[i], widths[i]) + " ";
    text += " Flags\n";
    for (const CourseRow& row : course.rows) {
        const CourseRecording& r = row.rec;
        const std::string cells[] = {row.treatment, r.when.isoDate(), r.when.clock(), r.values[charge],
                                     r.values[eegEndpoint], r.values[emgEndpoint], r.values[postictalSuppression],
                                     r.values[seizureEnergyIndex], r.values[sustainedCoherence],
                                     r.values[peakHeartRate], days(row), change(row)};
        for (int i = 0; i < 12; ++i)
            text += column(cells[i], widths[i]) + " ";
        text += " " + flagWords(row.flags) + "\n";
    }
    for (const std::string& path : course.excluded)
        text += "excluded (monitoring): " + path + "\n";
    return text;
}

}  // namespace course
