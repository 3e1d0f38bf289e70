#pragma once

#include <string>

namespace testing_support {

// One recording of a test course, by the header values it stores.
struct Treatment {
    std::string id = "P-100";
    std::string name = "Ann Example";
    int year = 26, month = 1, day = 5, hour = 9, minute = 0;  // two-digit year, as stored
    unsigned charge = 1000;         // tenths of mC
    unsigned eegEpochs = 30;        // 0: no endpoint
    unsigned emgEpochs = 25;
    bool seizure = true;            // EEG seizure detected
    bool fourChannels = false;
    bool interrupted = false;
    bool monitoring = false;
    std::string reportText;         // the instrument's CR-ended CSV lines; set: the report-text flag
};

// Writes the treatment as a data file at `path` (header, report, patient; no
// samples); throws on failure. The other report values are fixed: energy set
// 50 %, current 0.90 A, pulse width 0.50 ms, 60 Hz, stimulus 4.0 s, static
// 1500 and dynamic 250 Ohm, no ECG endpoint, heart rates 70 and 120, program
// "LOWEST CHARGE RATE", every result value 0, energy delivered 50.0 %.
void writeTreatment(const std::string& path, const Treatment& t);

}  // namespace testing_support
