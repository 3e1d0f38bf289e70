#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

// What the simulated instrument records.
struct Session {
    bool fourChannels = false;
    bool monitoring = false;
    double seconds = 120.0;
    std::uint32_t seed = 1;
};

// The course of a treatment, in seconds from the start of the recording.
struct TreatmentCourse {
    double stimulusStart = 10.0;
    double stimulusEnd = 14.0;
    double seizureEnd = 50.0;    // the EEG endpoint
    double motorEnd = 35.0;      // end of the EMG activity
    double baseHeartRate = 72.0;
    double peakHeartRate = 138.0;
};

TreatmentCourse courseFor(const Session& session);

// Four channels of samples at 200 per second: EEG on 1 and 2 (and 3 and 4 with
// four channels), else EMG on 3 and ECG on 4.
std::array<std::vector<std::int16_t>, 4> synthesise(const Session& session, const TreatmentCourse& course);

}  // namespace sim
