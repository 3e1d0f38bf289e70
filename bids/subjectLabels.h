#pragma once

#include <string>
#include <vector>

#include "course/courseRecording.h"

namespace bids {

// What an anonymised export tells the user, and what a later export into the
// same dataset needs to find the subjects again: which patient each label
// stands for and how many days that subject's dates were moved.
struct MappingEntry {
    std::string label;      // "01" (written "sub-01")
    std::string patientId;  // as stored (Windows-1252)
    long dayShift = 0;
};

// The subject label of a patient ID: its letters and digits (accented
// letters without their accents); empty when it has none.
std::string labelOfId(const std::string& patientId);

// The label of the n-th anonymised subject (1-based): "01", "02", ... "99", "100".
std::string numberedLabel(int n);

// The whole days that move `first` onto the first day with the same weekday
// on or after 1990-01-01 (weekdays kept, as treatment schedules follow them;
// five years above the earliest date EDF+ can store, for sessions found later).
long dayShiftFor(const course::When& first);

// The date and time moved by whole days, as BIDS writes it: "1990-01-03T09:15:00".
std::string acqTime(const course::When& when, long dayShift);

// Whether the date moved by `dayShift` days is one EDF+ can store (1985-01-01 or later).
bool storableInEdf(const course::When& when, long dayShift);

// The mapping as text: a header line, then "sub-<label> TAB ID TAB shift" per
// subject (IDs in UTF-8). parseMapping reads it back; false names the line
// that is not a mapping line in `problem`.
std::string mappingText(const std::vector<MappingEntry>& mapping);
bool parseMapping(const std::string& text, std::vector<MappingEntry>& mapping, std::string& problem);

}  // namespace bids
