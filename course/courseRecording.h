#pragma once

#include <array>
#include <string>

namespace data {
struct LoadedRecording;
}

namespace course {

// What a recording is to a course: a treatment (its report made), a session
// (markers only), or a monitoring recording, which no course counts.
enum class Kind { treatment, session, monitoring };

// The date and time of a recording's header; two-digit years below 96 are 20xx.
struct When {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    // Days since 1970-01-01 of the calendar date (time of day left out).
    long dayNumber() const;
    bool operator<(const When& o) const;
    std::string isoDate() const;  // 2026-12-07
    std::string clock() const;    // 09:15:00
};

// The report values a course shows, each as the treatment report shows it.
enum Measure {
    energySet, charge, current, pulseWidth, frequency, stimulusDuration, staticImpedance, dynamicImpedance,
    eegEndpoint, emgEndpoint, ecgEndpoint, baseHeartRate, peakHeartRate, seizureEnergyIndex, postictalSuppression,
    seizureGeneralization, sustainedPower, sustainedCoherence, kMeasures
};

// The report's label of each measure (the report text's "Average Seizure
// Energy Index" is the seizure energy index too).
extern const std::array<const char*, kMeasures> kMeasureLabels;

// One recording as a course sees it.
struct CourseRecording {
    std::string path;
    std::string patientId;    // trimmed
    std::string patientName;  // trimmed
    int age = -1;  // -1: not known
    int sex = 0;   // data::kSexMale or kSexFemale; 0: not known
    bool rawEeg = false;
    Kind kind = Kind::treatment;
    bool fourChannels = false;
    When when;
    std::string program;
    // Each value as the report's line shows it; empty when the report shows
    // N/A or has no such line.
    std::array<std::string, kMeasures> values;
    bool seizureMissed = false;  // "EEG Seizure is not detected"
    bool interrupted = false;    // "(Treatment Interrupted)"

    // The value as a number; false when the cell is empty or not a plain number.
    bool number(Measure m, double& out) const;
};

// Reads what a course needs from a recording read on its own. The values come
// from the report's own lines in their CSV form, so they carry its rounding,
// whether the lines are built or the instrument's report text.
CourseRecording courseRecordingOf(data::LoadedRecording& loaded, const std::string& path);

// The patient key of an ID: trimmed, compared without case.
std::string patientKey(const std::string& id);

}  // namespace course
