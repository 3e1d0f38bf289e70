#pragma once

#include <string>

#include "support/sampleRecording.h"

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
    unsigned samples = 0;           // raw EEG samples of each of the four channels
    std::string comments;
    std::string age;                // the Age field's text; its number when it is one
    std::string sex;                // "", "M" or "F"
    int rejectedEpoch = -1;         // an epoch taken out of the analysis
    int markedEpoch = -1;           // an epoch with a condition mark
};

// Writes the treatment as a data file at `path` (header, report, patient; no
// samples); throws on failure. The other report values are fixed: energy set
// 50 %, current 0.90 A, pulse width 0.50 ms, 60 Hz, stimulus 4.0 s, static
// 1500 and dynamic 250 Ohm, no ECG endpoint, heart rates 70 and 120, program
// "LOWEST CHARGE RATE", every result value 0, energy delivered 50.0 %.
void writeTreatment(const std::string& path, const Treatment& t);

// A treatment of P-100 on 2026-MONTH-DAY at 09:00 with this charge and these
// endpoints (in epochs).
Treatment on(int month, int day, unsigned charge, unsigned eeg, unsigned emg = 25);

// The test course in a folder of its own: ten treatments of P-100 (t1 ... t9,
// with t3a and t3b on one day: a restimulation), gaps of 61 and 60 days, a
// missed seizure (t3a), EEG endpoints of 19 s (t4, t5) and 20 s (t3b), a dose
// increase with a short seizure (t5), a four-channel treatment (t6.edt), one
// with the instrument's report text (t7), one prolonged (t8), one interrupted
// (t9); a monitoring recording of P-100 (m1.mon); two recordings of Q-200; a
// damaged file (broken.dat) and a text file (notes.txt).
struct CourseFolder {
    TempDir dir;
    CourseFolder();
};

// Ten treatments with raw EEG of two patients, for research export: ZQ-7731
// "Ysolde Quarnby" (47, F; six treatments from 2026-03-02, the third
// four-channel, the third and fourth on one day) and KV-0042 "Brannoch Vell"
// (93, M; four from 2026-04-01). Every one has comments, a rejected epoch
// (2) and a marked one (4). kBidsSecrets holds every text that names them.
extern const char* const kBidsSecrets[10];
struct BidsCourse {
    TempDir dir;
    BidsCourse();
};

}  // namespace testing_support
