#include "data/recording.h"

#include <bit>
#include <cmath>
#include <cstdlib>

namespace data {

void PatientSet::clear()
{
    for (auto& field : text)
        field.clear();
    patientAge = -1;
    patientSex = kSexMale;
}

// Converts a decimal text as the C library's atoi does: leading blanks, an
// optional sign, digits up to the first non-digit; no digits give 0.
static long decimalValue(const std::string& text)
{
    return std::strtol(text.c_str(), nullptr, 10);
}

void PatientSet::ageFromText()
{
    long value = decimalValue(text[patientAgeField]);
    patientAge = (value >= 1 && value <= 199) ? static_cast<std::int32_t>(value) : -1;
}

void PatientSet::sexFromText()
{
    long value = decimalValue(text[patientSexField]);
    patientSex = (value == kSexMale || value == kSexFemale) ? static_cast<std::int32_t>(value) : kSexMale;
}

void PatientSet::textsFromNumbers()
{
    text[patientAgeField] = ageText(patientAge);
    text[patientSexField] = std::to_string(patientSex);
}

std::string ageText(std::int32_t age)
{
    return (age >= 1 && age <= 199) ? std::to_string(age) : std::string();
}

Recording::Recording()
{
    for (auto& series : conditionData)
        series.assign(kMaxEpochs, 0);
    for (auto& channel : fftData)
        channel.assign(kFftValues, 0);
    deviceName.reserve(kDeviceNameMax);
    reportTitle.reserve(kReportTitleMax);
    reportText.reserve(kReportTextMax);
    epochMarks.fill(true);
    epochSelected.fill(true);
    calibrationFactors.fill(1.0f);
}

float headerFloat(const std::array<std::uint16_t, kHeaderWords>& header, int word)
{
    std::uint32_t bits = (std::uint32_t{header[word]} << 16) | header[word + 1];
    return std::bit_cast<float>(bits);
}

void setHeaderFloat(std::array<std::uint16_t, kHeaderWords>& header, int word, float value)
{
    std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    header[word] = static_cast<std::uint16_t>(bits >> 16);
    header[word + 1] = static_cast<std::uint16_t>(bits & 0xFFFF);
}

bool calibrationFactorValid(float factor)
{
    return factor >= 0.7f && factor <= 1.3f;  // false for NaN too
}

void decodeHeaderFloats(Recording& rec)
{
    for (int k = 0; k < kResultValues; ++k)
        rec.resultValue[k] = headerFloat(rec.header, hw::resultValues + 2 * k);
    for (int k = 0; k < kCalibrationFactors; ++k) {
        float factor = headerFloat(rec.header, hw::calibrationFactors + 2 * k);
        rec.calibrationFactors[k] = calibrationFactorValid(factor) ? factor : 1.0f;
    }
}

void encodeHeaderFloats(Recording& rec)
{
    for (int k = 0; k < kResultValues; ++k)
        setHeaderFloat(rec.header, hw::resultValues + 2 * k, rec.resultValue[k]);
    for (int k = 0; k < kCalibrationFactors; ++k)
        setHeaderFloat(rec.header, hw::calibrationFactors + 2 * k, rec.calibrationFactors[k]);
}

}  // namespace data
