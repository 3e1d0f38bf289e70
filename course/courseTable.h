#pragma once

#include <optional>
#include <string>
#include <vector>

#include "course/courseRecording.h"

namespace course {

// The thresholds of the flags.
struct FlagLimits {
    double shortEeg = 20.0;   // seconds
    double shortEmg = 15.0;   // seconds
    double prolonged = 120.0; // seconds
    int gapDays = 60;
    double doseStep = 5.0;    // percent
};

// The flags, in the order they are written.
enum Flag : unsigned {
    missed = 1u << 0,
    shortEegFlag = 1u << 1,
    shortEmgFlag = 1u << 2,
    prolongedFlag = 1u << 3,
    restim = 1u << 4,
    doseUp = 1u << 5,
    doseDown = 1u << 6,
    afterDoseUp = 1u << 7,
    gap = 1u << 8,
    interruptedFlag = 1u << 9,
};
constexpr int kFlags = 10;

// The words of `flags`, space-separated, in the flags' order.
std::string flagWords(unsigned flags);

// One treatment or session of a course.
struct CourseRow {
    CourseRecording rec;
    int number = 0;           // the treatment number
    std::string treatment;    // the number with its letter on a day of several: "3", "3a"
    std::optional<long> daysSincePrevious;
    std::optional<double> chargeChange;  // percent, from the previous row
    unsigned flags = 0;
};

// One patient's course: rows in date order; monitoring recordings listed apart.
struct Course {
    std::string patientId;
    std::string patientName;
    std::vector<CourseRow> rows;
    std::vector<std::string> excluded;  // the monitoring recordings' paths
};

// Orders the recordings of one patient by date and time (then path), numbers
// the treatments (recordings of one calendar day share a number, lettered in
// time order), compares each with the one before and sets the flags.
Course buildCourse(std::vector<CourseRecording> recordings, const FlagLimits& limits);

}  // namespace course
