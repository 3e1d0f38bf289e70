#include "course/courseTable.h"

#include <algorithm>
#include <array>

namespace course {

namespace {

const std::array<const char*, kFlags> kFlagWords = {"MISSED", "SHORT-EEG", "SHORT-EMG", "PROLONGED", "RESTIM",
                                                    "DOSE-UP", "DOSE-DOWN", "AFTER-DOSE-UP", "GAP", "INTERRUPTED"};

bool earlier(const CourseRecording& a, const CourseRecording& b)
{
    if (a.when < b.when || b.when < a.when)
        return a.when < b.when;
    return a.path < b.path;
}

// Numbers the rows: one number per calendar day, lettered when the day has several.
void number(std::vector<CourseRow>& rows)
{
    int n = 0;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i;
        while (end < rows.size() && rows[end].rec.when.dayNumber() == rows[i].rec.when.dayNumber())
            ++end;
        ++n;
        for (std::size_t k = i; k < end; ++k) {
            rows[k].number = n;
            rows[k].treatment = std::to_string(n);
            if (end - i > 1)
                rows[k].treatment += static_cast<char>('a' + std::min<std::size_t>(k - i, 25));
            if (k > i)
                rows[k].flags |= restim;
        }
        i = end;
    }
}

// The flags a row's own values give.
unsigned ownFlags(const CourseRecording& r, const FlagLimits& limits)
{
    unsigned flags = 0;
    double eeg = 0, emg = 0;
    if (r.seizureMissed)
        flags |= missed;
    if (r.number(eegEndpoint, eeg) && eeg < limits.shortEeg)
        flags |= shortEegFlag;
    if (!r.fourChannels && r.number(emgEndpoint, emg) && emg < limits.shortEmg)
        flags |= shortEmgFlag;
    if (r.number(eegEndpoint, eeg) && eeg >= limits.prolonged)
        flags |= prolongedFlag;
    if (r.interrupted)
        flags |= interruptedFlag;
    return flags;
}

// The flags and figures that compare a row with the one before it.
void compare(CourseRow& row, const CourseRow& previous, const FlagLimits& limits)
{
    row.daysSincePrevious = row.rec.when.dayNumber() - previous.rec.when.dayNumber();
    if (*row.daysSincePrevious > limits.gapDays)
        row.flags |= gap;
    double now = 0, before = 0;
    if (row.rec.number(charge, now) && previous.rec.number(charge, before) && before > 0) {
        row.chargeChange = (now - before) / before * 100.0;
        // A hair of tolerance so that a change of exactly the step, as printed, counts.
        if (*row.chargeChange >= limits.doseStep - 1e-9)
            row.flags |= doseUp;
        else if (*row.chargeChange <= -limits.doseStep + 1e-9)
            row.flags |= doseDown;
    }
    if ((row.flags & doseUp) && (row.flags & shortEegFlag))
        row.flags |= afterDoseUp;
}

}  // namespace

std::string flagWords(unsigned flags)
{
    std::string words;
    for (int i = 0; i < kFlags; ++i)
        if (flags & (1u << i))
            words += (words.empty() ? "" : " ") + std::string(kFlagWords[i]);
    return words;
}

Course buildCourse(std::vector<CourseRecording> recordings, const FlagLimits& limits)
{
    std::stable_sort(recordings.begin(), recordings.end(), earlier);
    Course course;
    for (CourseRecording& r : recordings) {
        if (course.patientId.empty())
            course.patientId = r.patientId;
        if (course.patientName.empty())
            course.patientName = r.patientName;
        if (r.kind == Kind::monitoring) {
            course.excluded.push_back(r.path);
            continue;
        }
        CourseRow row;
        row.rec = std::move(r);
        course.rows.push_back(std::move(row));
    }
    number(course.rows);
    for (std::size_t i = 0; i < course.rows.size(); ++i) {
        CourseRow& row = course.rows[i];
        row.flags |= ownFlags(row.rec, limits);
        if (i > 0)
            compare(row, course.rows[i - 1], limits);
    }
    return course;
}

}  // namespace course
