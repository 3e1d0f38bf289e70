#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace data {

constexpr int kSamplesPerSecond = 200;
constexpr int kEpochSamples = 256;
constexpr int kMaxEpochs = 670;
constexpr std::uint32_t kRingSamples = kMaxEpochs * kEpochSamples;  // 171520
constexpr int kFftValuesPerEpoch = 128;
constexpr std::uint32_t kFftValues = kMaxEpochs * kFftValuesPerEpoch;  // 85760
constexpr int kHeaderWords = 160;
constexpr int kChannels = 4;
constexpr int kConditionSeries = 3;
constexpr int kResultValues = 8;
constexpr int kCalibrationFactors = 7;
constexpr int kAdditionalParams = 12;
constexpr std::int16_t kNoSample = -32768;

constexpr std::size_t kDeviceNameMax = 80;
constexpr std::size_t kReportTitleMax = 80;
constexpr std::size_t kReportTextMax = 6400;

// Header word numbers that the program interprets; all others are carried verbatim.
namespace hw {
constexpr int contentFlags = 0;
constexpr int month = 1, day = 2, year = 3, hour = 4, minute = 5, second = 6;
constexpr int energySet = 7, energyDelivered = 8, stimulusDuration = 9;
constexpr int staticImpedance = 10, dynamicImpedance = 11, chargeDelivered = 12, current = 13;
constexpr int frequencyCode = 14, pulseWidthCode = 15, programIndex = 16;
constexpr int channelMode = 17, channelModeCopy = 18, treatmentInterrupted = 19;
constexpr int baselineAvailable = 22, eegEndpoint = 23, ecgEndpoint = 24, emgEndpoint = 25;
constexpr int eegSeizureDetected = 26, emgActivityDetected = 27, peakHeartRate = 28;
constexpr int alarmTest = 29, alarmResult = 30;
constexpr int epochCount = 31;  // four words, one per channel
constexpr int timeToPeakPower = 35, timeToPeakCoherence = 36;
constexpr int totalEpochs = 37, seizureEpochs = 38;
constexpr int resultValues = 41;        // eight floats, two words each
constexpr int calibrationFactors = 60;  // seven floats, two words each
constexpr int baseHeartRate = 74;
}  // namespace hw

// Bits of header word 0.
namespace content {
constexpr std::uint16_t report = 0x0001;
constexpr std::uint16_t markers = 0x0002;
constexpr std::uint16_t rawEeg = 0x0004;
constexpr std::uint16_t fftData = 0x0008;
constexpr std::uint16_t summary = 0x0010;  // header, names, sums and parameters
constexpr std::uint16_t monitoring = 0x0020;
constexpr std::uint16_t reportText = 0xFF00;
}  // namespace content

// One channel's sample ring. The storage is allocated once and never resized.
struct SampleRing {
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(kRingSamples);
    std::uint32_t count = 0;
    std::uint32_t newCount = 0;
    std::uint32_t start = 0;
    std::uint32_t write = 0;
    std::uint32_t playCount = 0;
    std::uint32_t playIndex = 0;
    std::uint16_t playSecond = 0;
    std::uint16_t playSample = 0;
    std::int32_t state = 0;
};

// Patient information: five text fields and the two numbers behind Age and Sex.
enum PatientField { patientId = 0, patientName = 1, patientAgeField = 2, patientSexField = 3, patientComments = 4 };
constexpr int kPatientFields = 5;
constexpr std::array<std::size_t, kPatientFields> kPatientFieldMax = {80, 80, 3, 3, 16000};
constexpr std::array<const char*, kPatientFields> kPatientFieldLabel = {"ID", "Name", "Age", "Sex", "Comments"};
constexpr int kSexMale = 104;  // the identifiers of the two sex choices of the patient dialogs
constexpr int kSexFemale = 105;

struct PatientSet {
    std::array<std::string, kPatientFields> text;
    std::int32_t patientAge = -1;
    std::int32_t patientSex = kSexMale;

    void clear();
    // Sets the number from the Age text: 1 to 199, anything else -1.
    void ageFromText();
    // Sets the number from the Sex text: 104 or 105, anything else 104.
    void sexFromText();
    // Regenerates the Age and Sex texts from the numbers.
    void textsFromNumbers();
};

// Decimal text of an age, empty outside 1 to 199.
std::string ageText(std::int32_t age);

struct Recording {
    Recording();

    std::array<std::uint16_t, kHeaderWords> header{};
    std::array<float, kResultValues> resultValue{};
    std::array<float, kCalibrationFactors> calibrationFactors{};
    std::string deviceName;
    std::string reportTitle;
    std::string reportText;
    std::array<float, kAdditionalParams> additionalParams{};
    std::array<SampleRing, kChannels> rawChannels;
    std::array<std::vector<std::int16_t>, kConditionSeries> conditionData;
    std::array<std::vector<std::int16_t>, kChannels> fftData;
    std::array<bool, kMaxEpochs> epochMarks{};
    std::array<bool, kMaxEpochs> epochSelected{};
    std::uint32_t epochBase = 0;
    std::int16_t marker56 = -1;
    std::int16_t marker57 = -1;
    PatientSet patient;

    std::uint32_t lengthSeconds = 0;
    std::uint32_t playStartSecond = 0;
    std::uint32_t playEndSecond = 0;

    std::uint16_t contentFlags() const { return header[hw::contentFlags]; }
    std::uint16_t epochCount(int channel) const { return header[hw::epochCount + channel]; }
};

// The two-word float encoding of the header: upper 16 bits first.
float headerFloat(const std::array<std::uint16_t, kHeaderWords>& header, int word);
void setHeaderFloat(std::array<std::uint16_t, kHeaderWords>& header, int word, float value);

// Decodes result values and calibration factors from the header. A calibration
// factor outside 0.7 to 1.3 (or not a number) becomes 1.0.
void decodeHeaderFloats(Recording& rec);
// Encodes result values and calibration factors into the header.
void encodeHeaderFloats(Recording& rec);
bool calibrationFactorValid(float factor);

// (epochBase + i) mod 670.
inline std::uint32_t epochIndex(const Recording& rec, std::uint32_t i) { return (rec.epochBase + i) % kMaxEpochs; }

}  // namespace data
