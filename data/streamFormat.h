#pragma once

#include <cstdint>

namespace data {

// Section tags of the recording stream.
namespace tag {
constexpr std::uint8_t header = 4;
constexpr std::uint8_t rawFirst = 8, rawLast = 11;
constexpr std::uint8_t conditionFirst = 12, conditionLast = 15;
constexpr std::uint8_t sumsFirst = 16, sumsLast = 19;
constexpr std::uint8_t additionalParams = 20;
constexpr std::uint8_t fftFirst = 24, fftLast = 27;
constexpr std::uint8_t empty = 28;
constexpr std::uint8_t deviceNameSent = 32;
constexpr std::uint8_t deviceName = 36;
constexpr std::uint8_t patientFirst = 40, patientLast = 44;
constexpr std::uint8_t textRecordA = 45, textRecordB = 46, textRecordC = 47;
constexpr std::uint8_t reportTitle = 48;
constexpr std::uint8_t reportLine = 49;
constexpr std::uint8_t textRecordD = 50, textRecordE = 51;
constexpr std::uint8_t epochFlags = 52;
constexpr std::uint8_t wordRecordA = 53, wordRecordB = 54, wordRecordC = 55;
constexpr std::uint8_t parameterRecord = 56;
constexpr std::uint8_t wordRecordD = 57, wordRecordE = 58, wordRecordF = 59;
constexpr std::uint8_t doubleWordRecord = 60;
constexpr std::uint8_t filler = 0xF4;
constexpr std::uint8_t endOfStream = 0xFC;
}  // namespace tag

constexpr int kSumRows = 32;
constexpr int kSumCount = 128;  // the count byte of a spectral-sum set: 32 rows of 4 floats

inline bool isPatientTag(int t) { return t >= tag::patientFirst && t <= tag::patientLast; }

}  // namespace data
