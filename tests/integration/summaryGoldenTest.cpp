// Golden files of the unattended summary. Each expected file is put together
// here from the rules the program follows, not from its output:
// - the patient block: "ID: %s", "Name: %s" with "   Age: %d" and "   Sex: %c",
//   "Comments:" and the wrapped lines, then one empty line; quoted (quotes
//   doubled) in CSV;
// - report lines: the CSV line as the instrument or the built-in report prints
//   it; in text files the label, then the value right-aligned to end in column
//   50, then the unit (a label-only line stays as it is);
// - analysis lines: the fixed-width and CSV formats of the band table, with
//   the values worked out below from the spectral sums each recording carries
//   (192 raw units are 1.0 uV^2);
// - raw rows: sample x 1.0 x 250 x 0.0005 (x 10 for EMG and ECG), "%11.1f" per
//   value in text, "%.1f," in CSV, and the seizure mark of the row's epoch.
// Lines end with CR LF; the date uses the C locale's fallback format.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "analysis/spectralSums.h"
#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"

using namespace testing_support;
namespace hw = data::hw;

namespace {

const std::string kMicro = "\xB5";
const std::string kSquare = "\xB2";

struct Expected {
    std::string text;
    Expected& add(const std::string& line)
    {
        text += line + "\r\n";
        return *this;
    }
};

std::string spaces(std::size_t n) { return std::string(n, ' '); }

// A report line of a text file: label, value ending in column 50, unit.
std::string columns(const std::string& label, const std::string& value, const std::string& unit = "")
{
    return label + spaces(50 - label.size() - value.size()) + value + unit;
}

std::string freq(int j)
{
    char text[16];
    std::snprintf(text, sizeof text, "%5.2f", (j + 1) * 100.0 / 128.0);
    return text;
}

struct BandValues {
    const char* name;     // with its limits as the two forms print them
    const char* csvName;
    const char* row;      // the fixed-width values after the name
    const char* csvRow;   // the CSV values after the name
};

// Pair with 1.0 and 2.0 uV^2 in every bin (powers 192 and 384): totals 32 and
// 64; asymmetry 2(64-32)/96 = 66.7 % where both band powers exceed 960 raw
// units; coherence 0 (no cross spectrum); relative power = bins / 32.
const BandValues kUnequalPair[7] = {
    {"Total  0.7-25.0", "\"Total 0.7-25.0\"", "       32.0       64.0   100.0   100.0    66.7     0.0", ",    32.0,    64.0,100.0,100.0, 66.7,  0.0"},
    {"Delta  0.7- 3.5", "\"Delta 0.7- 3.5\"", "        4.0        8.0    12.5    12.5     N/A     N/A", ",     4.0,     8.0, 12.5, 12.5,\"N/A\",\"N/A\""},
    {"Theta  3.5- 8.0", "\"Theta 3.5- 8.0\"", "        6.0       12.0    18.8    18.8    66.7     0.0", ",     6.0,    12.0, 18.8, 18.8, 66.7,  0.0"},
    {"Alpha  8.0-13.0", "\"Alpha 8.0-13.0\"", "        6.0       12.0    18.8    18.8    66.7     0.0", ",     6.0,    12.0, 18.8, 18.8, 66.7,  0.0"},
    {"Beta  13.0-25.0", "\"Beta 13.0-25.0\"", "       16.0       32.0    50.0    50.0    66.7     0.0", ",    16.0,    32.0, 50.0, 50.0, 66.7,  0.0"},
    {"X Band  4.0- 7.5", "\"X Band 4.0- 7.5\"", "       4.0        8.0    12.5    12.5     N/A     N/A", ",     4.0,     8.0, 12.5, 12.5,\"N/A\",\"N/A\""},
    {"Y Band  8.5-12.0", "\"Y Band 8.5-12.0\"", "       5.0       10.0    15.6    15.6     N/A     N/A", ",     5.0,    10.0, 15.6, 15.6,\"N/A\",\"N/A\""}};

// Pair with 1.0 uV^2 in every bin on both channels: asymmetry 0.
const BandValues kEqualPair[7] = {
    {"Total  0.7-25.0", "\"Total 0.7-25.0\"", "       32.0       32.0   100.0   100.0     0.0     0.0", ",    32.0,    32.0,100.0,100.0,  0.0,  0.0"},
    {"Delta  0.7- 3.5", "\"Delta 0.7- 3.5\"", "        4.0        4.0    12.5    12.5     N/A     N/A", ",     4.0,     4.0, 12.5, 12.5,\"N/A\",\"N/A\""},
    {"Theta  3.5- 8.0", "\"Theta 3.5- 8.0\"", "        6.0        6.0    18.8    18.8     0.0     0.0", ",     6.0,     6.0, 18.8, 18.8,  0.0,  0.0"},
    {"Alpha  8.0-13.0", "\"Alpha 8.0-13.0\"", "        6.0        6.0    18.8    18.8     0.0     0.0", ",     6.0,     6.0, 18.8, 18.8,  0.0,  0.0"},
    {"Beta  13.0-25.0", "\"Beta 13.0-25.0\"", "       16.0       16.0    50.0    50.0     0.0     0.0", ",    16.0,    16.0, 50.0, 50.0,  0.0,  0.0"},
    {"X Band  4.0- 7.5", "\"X Band 4.0- 7.5\"", "       4.0        4.0    12.5    12.5     N/A     N/A", ",     4.0,     4.0, 12.5, 12.5,\"N/A\",\"N/A\""},
    {"Y Band  8.5-12.0", "\"Y Band 8.5-12.0\"", "       5.0        5.0    15.6    15.6     N/A     N/A", ",     5.0,     5.0, 15.6, 15.6,\"N/A\",\"N/A\""}};

struct PairTable {
    const char* kind;  // "Seizure" or "Total"
    int a, b;          // channel numbers
    const BandValues* bands;
    double binA, binB;  // uV^2 of every bin
};

// Analysis line k (0 to 43) of a pair.
std::string analysisLine(const PairTable& p, int k, bool csv)
{
    char text[256];
    if (k == 0)
        return csv ? "\"\"" : " ";
    if (k == 1) {
        std::snprintf(text, sizeof text, csv ? "\"%s Power Spectral Analysis for EEG%d and EEG%d:\"" : "%s Power Spectral Analysis for EEG%d and EEG%d:",
                      p.kind, p.a, p.b);
        return text;
    }
    if (k == 2)
        return csv ? "\"Frequency Hz\",\"Absolute " + kMicro + "V" + kSquare + "\",\" \",\"Relative %\",\" \",\"Asym %\",\"Coh %\""
                   : "Frequency Hz" + spaces(12) + "Absolute " + kMicro + "V" + kSquare + spaces(6) + "Relative %" + spaces(4) + "Asym %" + spaces(3) + "Coh %";
    if (k == 3) {
        std::snprintf(text, sizeof text, csv ? "\"\",\"EEG%d\",\"EEG%d\",\"EEG%d\",\"EEG%d\"" : "                      EEG%d       EEG%d    EEG%d    EEG%d",
                      p.a, p.b, p.a, p.b);
        return text;
    }
    if (k <= 10) {
        const BandValues& v = p.bands[k - 4];
        return csv ? std::string(v.csvName) + v.csvRow : std::string(v.name) + v.row;
    }
    if (k <= 42) {
        // Every bin: relative 1/32 = 3.1 %, powers at or below 288 raw units: N/A.
        const bool unequal = p.binA != p.binB;
        (void)unequal;
        std::snprintf(text, sizeof text, csv ? "%s,%8.1f,%8.1f,  3.1,  3.1,\"N/A\",\"N/A\"" : "%11s%15.1f%11.1f     3.1     3.1     N/A     N/A",
                      freq(k - 11).c_str(), p.binA, p.binB);
        return csv ? std::string(text).substr(0) : text;
    }
    // All bins equal: both half-power passes end in bin 16 1/2: 16.5 x 100/128 = 12.89 Hz.
    return csv ? "\"Mean Frequencies Hz:\",12.89,12.89" : "Mean Frequencies Hz: 12.89      12.89";
}

enum class Options { none, all, noInfoBands };

struct Scenario {
    std::string name;
    std::function<void()> make;  // fills the primary recording
    std::function<void(Expected&, bool csv)> patient;
    std::function<void(Expected&, bool csv)> report;
    std::vector<PairTable> pairs;
    std::function<void(Expected&, bool csv)> raw;  // heading and rows
};

void addAnalysis(Expected& e, const Scenario& s, Options o, bool csv)
{
    for (std::size_t p = 0; p < s.pairs.size(); ++p)
        for (int k = 0; k < 44; ++k) {
            const int offset = static_cast<int>(p) * 44 + k;
            const bool bandsOnly = offset < 11 || (offset >= 43 && offset < 55) || offset == 87;
            if (o == Options::all || (o == Options::noInfoBands && bandsOnly))
                e.add(analysisLine(s.pairs[p], k, csv));
        }
}

std::string expectedFile(const Scenario& s, Options o, bool csv)
{
    Expected e;
    if (o != Options::noInfoBands)
        s.patient(e, csv);
    s.report(e, csv);
    if (o != Options::none)
        addAnalysis(e, s, o, csv);
    if (o == Options::all)
        s.raw(e, csv);
    return e.text;
}

std::string rawValue(double v, bool csv)
{
    char text[32];
    std::snprintf(text, sizeof text, csv ? "%.1f," : "%11.1f", v);
    return text;
}

void rawHeading(Expected& e, bool csv, const char* c3, const char* c4, bool seizure)
{
    e.add("");
    e.add(csv ? "\"Raw Data " + kMicro + "V\"" : "Raw Data " + kMicro + "V");
    char text[96];
    std::snprintf(text, sizeof text, csv ? "\"EEG1\",\"EEG2\",\"%s\",\"%s\"%s" : "       EEG1       EEG2%11s%11s%s", c3, c4,
                  seizure ? (csv ? ",,\"SEIZURE\"" : "    SEIZURE") : "");
    e.add(text);
}

// Recording A: two channels, treatment, instrument report text, seizure sums,
// one second of raw EEG in a seizure epoch, a full patient block.
Scenario twoChannelWithText()
{
    Scenario s;
    s.name = "two-channel";
    s.make = [] {
        auto& r = data::recordings.primary;
        r.header[hw::contentFlags] = 0x0115;
        r.header[hw::month] = 6, r.header[hw::day] = 26, r.header[hw::year] = 26;
        r.header[hw::hour] = 9, r.header[hw::minute] = 5, r.header[hw::second] = 7;
        r.header[hw::programIndex] = 1;
        r.header[hw::eegSeizureDetected] = 1;
        r.header[hw::seizureEpochs] = 1;
        r.header[hw::totalEpochs] = 1;
        r.deviceName = "Corvane";
        r.reportText = "\"% Energy Set\",50,\" %\"\r\"EEG Endpoint\",20,\" Sec\"\r";
        for (int j = 0; j < 32; ++j) {
            analysis::spectralSums.kind(1).power[0][j] = 192;
            analysis::spectralSums.kind(1).power[1][j] = 384;
        }
        for (int i = 0; i < 200; ++i) {
            data::channelAppend(r, 0, static_cast<std::int16_t>((i % 10) * 8));
            data::channelAppend(r, 1, static_cast<std::int16_t>(-(i % 5) * 16));
            data::channelAppend(r, 2, 4);
            data::channelAppend(r, 3, static_cast<std::int16_t>((i % 2) * 80));
        }
        r.header[hw::epochCount] = 1;  // the condition series carries one epoch
        r.conditionData[0][0] = 1;
        r.patient.text = {"P-7", "Ann \"Q\" Lee", "", "", "Line one\r\nLine two"};
        r.patient.patientAge = 40;
        r.patient.patientSex = data::kSexFemale;
    };
    s.patient = [](Expected& e, bool csv) {
        e.add(csv ? "\"ID: P-7\"" : "ID: P-7");
        e.add(csv ? "\"Name: Ann \"\"Q\"\" Lee   Age: 40   Sex: F\"" : "Name: Ann \"Q\" Lee   Age: 40   Sex: F");
        e.add(csv ? "\"Comments:\"" : "Comments:").add(csv ? "\"Line one\"" : "Line one").add(csv ? "\"Line two\"" : "Line two").add("");
    };
    s.report = [](Expected& e, bool csv) {
        // Seven lines: title, date, the two text lines, Program Selected (the
        // two status lines are empty).
        e.add(csv ? "\"Corvane\"" : "Corvane");
        e.add(csv ? "\"Treatment at  06/26/2026   09:05:07\"" : "Treatment at  06/26/2026   09:05:07");
        e.add(csv ? "\"% Energy Set\",50,\" %\"" : columns("% Energy Set", "50", " %"));
        e.add(csv ? "\"EEG Endpoint\",20,\" Sec\"" : columns("EEG Endpoint", "20", " Sec"));
        e.add(csv ? "\"Program Selected:   LOWEST CHARGE RATE\"" : "Program Selected:   LOWEST CHARGE RATE");
    };
    s.pairs = {{"Seizure", 1, 2, kUnequalPair, 1.0, 2.0}};
    s.raw = [](Expected& e, bool csv) {
        rawHeading(e, csv, "EMG", "ECG", true);
        for (int i = 0; i < 200; ++i)
            e.add(rawValue(i % 10, csv) + rawValue(-(i % 5) * 2.0, csv) + rawValue(5.0, csv) + rawValue((i % 2) * 100.0, csv) +
                  (csv ? ",\"+\"" : "       +"));
    };
    return s;
}

// Recording B: four channels, treatment, built-in report, total sums, no
// patient information.
Scenario fourChannelBuiltIn()
{
    Scenario s;
    s.name = "four-channel";
    s.make = [] {
        auto& r = data::recordings.primary;
        r.header[hw::contentFlags] = 0x0015;
        r.header[hw::month] = 1, r.header[hw::day] = 2, r.header[hw::year] = 3;
        r.header[hw::hour] = 4, r.header[hw::minute] = 5, r.header[hw::second] = 6;
        r.header[hw::energySet] = 40, r.header[hw::chargeDelivered] = 2525, r.header[hw::current] = 90;
        r.header[hw::stimulusDuration] = 35, r.header[hw::frequencyCode] = 5, r.header[hw::pulseWidthCode] = 1;
        r.header[hw::staticImpedance] = 1500, r.header[hw::dynamicImpedance] = 0;
        r.header[hw::channelMode] = 1, r.header[hw::channelModeCopy] = 1;
        r.header[hw::alarmTest] = 1;
        r.header[hw::totalEpochs] = 2;
        r.resultValue = {0, -1, -1, 1e30f, 0, -1, -1, -1};
        data::encodeHeaderFloats(r);
        r.deviceName = "Corvane 4";
        const float power[4] = {384, 768, 384, 384};
        for (int c = 0; c < 4; ++c)
            for (int j = 0; j < 32; ++j)
                analysis::spectralSums.kind(0).power[c][j] = power[c];
        const std::int16_t values[4] = {8, 16, 24, -32};
        for (int i = 0; i < 200; ++i)
            for (int c = 0; c < 4; ++c)
                data::channelAppend(r, c, values[c]);
    };
    s.patient = [](Expected&, bool) {};
    s.report = [](Expected& e, bool csv) {
        if (csv) {
            for (const char* l : {"\"Corvane 4\"", "\"Treatment at  01/02/2003   04:05:06\"", "\"% Energy Set\",40,\" %\"",
                                  "\"Charge Delivered\",252.5,\" mC\"", "\"Current\",0.90,\" A\"", "\"Stimulus Duration\",3.5,\" Sec\"",
                                  "\"Frequency\",60,\" Hz\"", "\"Pulse Width\",0.50,\" mSec\"", "\"Static Impedance\",1500,\" Ohm\"",
                                  "\"Dynamic Impedance\",\"N/A,\"", "\"Baseline is not available\"", "\"Maximum Sustained Power\",\"N/A,\"",
                                  "\"Time to Peak Power\",\"N/A,\"", "\"Maximum Sustained Coherence\",\"N/A,\"",
                                  "\"Time to Peak Coherence\",\"N/A,\"", "\"Early Ictal Amplitude\",\"N/A,\"", "\"Midictal Amplitude\",\"N/A,\"",
                                  "\"Post-Ictal Amplitude\",\"N/A,\"", "\"Program Selected:   KWB\"", "\"(Alarm Test Failed)\""})
                e.add(l);
            return;
        }
        e.add("Corvane 4").add("Treatment at  01/02/2003   04:05:06");
        e.add(columns("% Energy Set", "40", " %")).add(columns("Charge Delivered", "252.5", " mC"));
        e.add(columns("Current", "0.90", " A")).add(columns("Stimulus Duration", "3.5", " Sec"));
        e.add(columns("Frequency", "60", " Hz")).add(columns("Pulse Width", "0.50", " mSec"));
        e.add(columns("Static Impedance", "1500", " Ohm")).add(columns("Dynamic Impedance", "N/A"));
        e.add("Baseline is not available");
        for (const char* label : {"Maximum Sustained Power", "Time to Peak Power", "Maximum Sustained Coherence",
                                  "Time to Peak Coherence", "Early Ictal Amplitude", "Midictal Amplitude", "Post-Ictal Amplitude"})
            e.add(columns(label, "N/A"));
        e.add("Program Selected:   KWB").add("(Alarm Test Failed)");
    };
    s.pairs = {{"Total", 1, 2, kUnequalPair, 1.0, 2.0}, {"Total", 3, 4, kEqualPair, 1.0, 1.0}};
    s.raw = [](Expected& e, bool csv) {
        rawHeading(e, csv, "EEG3", "EEG4", false);
        for (int i = 0; i < 200; ++i)
            e.add(rawValue(1.0, csv) + rawValue(2.0, csv) + rawValue(3.0, csv) + rawValue(-4.0, csv));
    };
    return s;
}

// Recording C: monitoring, two channels, no sums, an ID without a name and
// comments of blanks only.
Scenario monitoring()
{
    Scenario s;
    s.name = "monitoring";
    s.make = [] {
        auto& r = data::recordings.primary;
        r.header[hw::contentFlags] = 0x0034;
        r.header[hw::month] = 12, r.header[hw::day] = 31, r.header[hw::year] = 99;
        r.header[hw::hour] = 23, r.header[hw::minute] = 59, r.header[hw::second] = 58;
        r.deviceName = "Corvane M";
        r.reportTitle = "MONITOR";
        for (int i = 0; i < 200; ++i) {
            data::channelAppend(r, 0, 0);
            data::channelAppend(r, 1, 0);
            data::channelAppend(r, 2, 2);
            data::channelAppend(r, 3, -4);
        }
        r.patient.text = {"M-1", "  ", "", "", "   \r\n  "};
        r.patient.patientAge = 30;
        r.patient.patientSex = data::kSexMale;
    };
    s.patient = [](Expected& e, bool csv) { e.add(csv ? "\"ID: M-1   Age: 30   Sex: M\"" : "ID: M-1   Age: 30   Sex: M").add(""); };
    s.report = [](Expected& e, bool csv) {
        e.add(csv ? "\"Corvane M\"" : "Corvane M");
        e.add(csv ? "\"Monitoring at  12/31/1999   23:59:58\"" : "Monitoring at  12/31/1999   23:59:58");
        e.add(csv ? "\"Program Selected:   MONITOR\"" : "Program Selected:   MONITOR");
    };
    s.raw = [](Expected& e, bool csv) {
        rawHeading(e, csv, "EMG", "ECG", false);
        for (int i = 0; i < 200; ++i)
            e.add(rawValue(0.0, csv) + rawValue(0.0, csv) + rawValue(2.5, csv) + rawValue(-5.0, csv));
    };
    return s;
}

// Recording D: FFT data only (no raw EEG), a built-in treatment report with
// every index line, seizure detected but no seizure epochs (so no analysis).
Scenario fftOnly()
{
    Scenario s;
    s.name = "fft-only";
    s.make = [] {
        auto& r = data::recordings.primary;
        const std::pair<int, int> words[] = {
            {hw::contentFlags, 0x0019}, {hw::month, 2}, {hw::day, 29}, {hw::year, 24}, {hw::hour, 12}, {hw::energySet, 45},
            {hw::energyDelivered, 455}, {hw::stimulusDuration, 40}, {hw::staticImpedance, 3000}, {hw::dynamicImpedance, 250},
            {hw::chargeDelivered, 1000}, {hw::current, 85}, {hw::programIndex, 9}, {hw::treatmentInterrupted, 1},
            {hw::baselineAvailable, 1}, {hw::eegEndpoint, 10}, {hw::eegSeizureDetected, 1}, {hw::alarmResult, 1},
            {hw::timeToPeakPower, 5}, {hw::timeToPeakCoherence, 2}, {hw::baseHeartRate, 72}};
        for (const auto& [word, value] : words)
            r.header[word] = static_cast<std::uint16_t>(value);
        r.resultValue = {1e9f, 100, 0.5f, 25, 10000, -1, -1, -1};
        data::encodeHeaderFloats(r);
        r.deviceName = "Corvane D";
        r.header[hw::epochCount] = 2;
        r.fftData[0][1] = 40;
    };
    s.patient = [](Expected&, bool) {};
    s.report = [](Expected& e, bool csv) {
        const char* csvLines[] = {"\"Corvane D\"", "\"Treatment at  02/29/2024   12:00:00\"", "\"% Energy Set\",45,\" %\"",
                                  "\"% Energy Delivered\",45.5,\" %\"", "\"Charge Delivered\",100.0,\" mC\"", "\"Current\",0.85,\" A\"",
                                  "\"Stimulus Duration\",4.0,\" Sec\"", "\"Frequency\",10,\" Hz\"", "\"Pulse Width\",0.25,\" mSec\"",
                                  "\"Static Impedance\",>3000,\" Ohm\"", "\"Dynamic Impedance\",250,\" Ohm\"", "\"EEG Endpoint\",13,\" Sec\"",
                                  "\"EMG Activity is not detected\"", "\"ECG Endpoint\",\"N/A,\"", "\"Base Heart Rate\",72,\" b/m\"",
                                  "\"Peak Heart Rate\",\"N/A,\""};
        if (csv) {
            for (const char* l : csvLines)
                e.add(l);
            e.add("\"Seizure Energy Index\",6.667,\" mV" + kSquare + "\"").add("\"Postictal Suppression Index\",50.0,\" %\"");
            e.add("\"Seizure Generalization Index\",\"N/A,\"").add("\"Maximum Sustained Power\",0.5,\" " + kMicro + "V" + kSquare + "\"");
            e.add("\"Time to Peak Power\",6,\" Sec\"").add("\"Maximum Sustained Coherence\",50.0,\" %\"");
            e.add("\"Time to Peak Coherence\",3,\" Sec\"").add("\"Early Ictal Amplitude\",10.2,\" " + kMicro + "V\"");
            e.add("\"Midictal Amplitude\",1.0,\" " + kMicro + "V\"").add("\"Post-Ictal Amplitude\",\"N/A,\"");
            e.add("\"Program Selected:   USER SET\"").add("\"(Treatment Interrupted)\"").add("\"(Alarm Signal)\"");
            return;
        }
        e.add("Corvane D").add("Treatment at  02/29/2024   12:00:00");
        e.add(columns("% Energy Set", "45", " %")).add(columns("% Energy Delivered", "45.5", " %"));
        e.add(columns("Charge Delivered", "100.0", " mC")).add(columns("Current", "0.85", " A"));
        e.add(columns("Stimulus Duration", "4.0", " Sec")).add(columns("Frequency", "10", " Hz"));
        e.add(columns("Pulse Width", "0.25", " mSec")).add(columns("Static Impedance", ">3000", " Ohm"));
        e.add(columns("Dynamic Impedance", "250", " Ohm")).add(columns("EEG Endpoint", "13", " Sec"));
        e.add("EMG Activity is not detected").add(columns("ECG Endpoint", "N/A"));
        e.add(columns("Base Heart Rate", "72", " b/m")).add(columns("Peak Heart Rate", "N/A"));
        e.add(columns("Seizure Energy Index", "6.667", " mV" + kSquare)).add(columns("Postictal Suppression Index", "50.0", " %"));
        e.add(columns("Seizure Generalization Index", "N/A"));
        e.add(columns("Maximum Sustained Power", "0.5", " " + kMicro + "V" + kSquare)).add(columns("Time to Peak Power", "6", " Sec"));
        e.add(columns("Maximum Sustained Coherence", "50.0", " %")).add(columns("Time to Peak Coherence", "3", " Sec"));
        e.add(columns("Early Ictal Amplitude", "10.2", " " + kMicro + "V")).add(columns("Midictal Amplitude", "1.0", " " + kMicro + "V"));
        e.add(columns("Post-Ictal Amplitude", "N/A"));
        e.add("Program Selected:   USER SET").add("(Treatment Interrupted)").add("(Alarm Signal)");
    };
    s.raw = [](Expected& e, bool csv) { e.add("").add(csv ? "\"Raw Data " + kMicro + "V\"" : "Raw Data " + kMicro + "V"); };
    return s;
}

// The fft-only treatment whose header says the instrument made a report text
// that it did not send, with a device name of the full 80 characters: the
// built-in report, whose title is the whole name and whose two index lines take
// their report-text form (here without values).
Scenario textFlagWithoutText()
{
    static const std::string kName = "Corvane EEG Monitor, Room 4, Department of Psychiatry, Saint Elsewhere Hosp. #80";
    static_assert(sizeof "Corvane EEG Monitor, Room 4, Department of Psychiatry, Saint Elsewhere Hosp. #80" == 81);
    Scenario s = fftOnly();
    s.name = "text-flag";
    s.make = [make = s.make] {
        make();
        data::recordings.primary.header[hw::contentFlags] = 0x0119;
        data::recordings.primary.deviceName = kName;
    };
    s.report = [](Expected& e, bool csv) {
        if (csv) {
            e.add("\"" + kName + "\"");
        } else {
            e.add(kName);
        }
        Expected base;
        fftOnly().report(base, csv);
        std::string rest = base.text.substr(base.text.find("\r\n") + 2);
        const std::string from[] = {csv ? "\"Seizure Energy Index\",6.667,\" mV" + kSquare + "\""
                                        : columns("Seizure Energy Index", "6.667", " mV" + kSquare),
                                    csv ? "\"Postictal Suppression Index\",50.0,\" %\""
                                        : columns("Postictal Suppression Index", "50.0", " %")};
        const std::string to[] = {csv ? "\"Average Seizure Energy Index\",\"N/A,\"" : columns("Average Seizure Energy Index", "N/A"),
                                  csv ? "\"Postictal Suppression Index\",\"N/A,\"" : columns("Postictal Suppression Index", "N/A")};
        for (int i = 0; i < 2; ++i) {
            const std::size_t at = rest.find(from[i]);
            ASSERT_NE(at, std::string::npos);
            rest.replace(at, from[i].size(), to[i]);
        }
        e.text += rest;
    };
    return s;
}

// The first line where two texts differ, with its number, or empty.
std::string firstDifference(const std::string& actual, const std::string& expected)
{
    std::size_t a = 0, e = 0;
    for (int line = 1;; ++line) {
        const std::size_t aEnd = actual.find('\n', a), eEnd = expected.find('\n', e);
        const std::string x = actual.substr(a, aEnd == std::string::npos ? std::string::npos : aEnd - a);
        const std::string y = expected.substr(e, eEnd == std::string::npos ? std::string::npos : eEnd - e);
        if (x != y)
            return "line " + std::to_string(line) + ":\n  got      [" + x + "]\n  expected [" + y + "]";
        if (aEnd == std::string::npos || eEnd == std::string::npos)
            return aEnd == eEnd ? std::string() : "line " + std::to_string(line) + ": lengths differ";
        a = aEnd + 1;
        e = eEnd + 1;
    }
}

void writeScenario(const Scenario& s, const std::string& path)
{
    resetCore();
    s.make();
    data::recordings.primary.epochSelected.fill(true);
    ASSERT_TRUE(data::saveDataFile(nullptr, path));
    resetCore();
}

}  // namespace

TEST(SummaryGolden, EveryRecordingOptionSetAndFormat)
{
    TempDir dir;
    const std::pair<Options, std::string> optionSets[] = {
        {Options::none, ""}, {Options::all, "/rall"}, {Options::noInfoBands, "/rnoinfo /rbands"}};
    for (const Scenario& s : {twoChannelWithText(), fourChannelBuiltIn(), monitoring(), fftOnly(), textFlagWithoutText()}) {
        const std::string data = dir.file(s.name + ".dat");
        writeScenario(s, data);
        for (const auto& [options, flags] : optionSets)
            for (const char* ext : {".txt", ".csv"}) {
                const std::string out = dir.file(s.name + "-" + std::to_string(static_cast<int>(options)) + ext);
                const ProcessResult r = runCommand("LC_ALL=C " + std::string(OZMAR_PATH) + " /summary " + flags + " " + data + " " + out);
                ASSERT_EQ(r.status, 0) << s.name << " " << flags;
                const auto bytes = fileBytes(out);
                const std::string expected = expectedFile(s, options, std::string(ext) == ".csv");
                EXPECT_EQ(firstDifference(std::string(bytes.begin(), bytes.end()), expected), "")
                    << s.name << " " << flags << " " << ext;
            }
    }
}
