#include "support/courseFiles.h"

#include <memory>
#include <stdexcept>

#include "data/loadedRecording.h"
#include "data/recordingReset.h"

namespace testing_support {

void writeTreatment(const std::string& path, const Treatment& t)
{
    namespace hw = data::hw;
    auto own = std::make_unique<data::LoadedRecording>();
    data::Recording& rec = own->rec;
    data::emptyRecording(rec);
    std::uint16_t flags = data::content::summary | (t.monitoring ? data::content::monitoring : data::content::report);
    if (!t.reportText.empty())
        flags |= 0x0100;
    const std::pair<int, unsigned> words[] = {
        {hw::contentFlags, flags}, {hw::year, static_cast<unsigned>(t.year)}, {hw::month, static_cast<unsigned>(t.month)},
        {hw::day, static_cast<unsigned>(t.day)}, {hw::hour, static_cast<unsigned>(t.hour)},
        {hw::minute, static_cast<unsigned>(t.minute)}, {hw::energySet, 50}, {hw::energyDelivered, 500},
        {hw::stimulusDuration, 40}, {hw::staticImpedance, 1500}, {hw::dynamicImpedance, 250},
        {hw::chargeDelivered, t.charge}, {hw::current, 90}, {hw::frequencyCode, 5}, {hw::pulseWidthCode, 1},
        {hw::programIndex, 1}, {hw::channelMode, t.fourChannels ? 1u : 0u}, {hw::channelModeCopy, t.fourChannels ? 1u : 0u},
        {hw::treatmentInterrupted, t.interrupted ? 1u : 0u}, {hw::baselineAvailable, 1}, {hw::eegEndpoint, t.eegEpochs},
        {hw::emgEndpoint, t.emgEpochs}, {hw::eegSeizureDetected, t.seizure ? 1u : 0u}, {hw::emgActivityDetected, 1},
        {hw::peakHeartRate, 120}, {hw::baseHeartRate, 70},
    };
    for (const auto& [word, value] : words)
        rec.header[word] = static_cast<std::uint16_t>(value);
    rec.resultValue.fill(0.0f);
    rec.calibrationFactors.fill(1.0f);
    data::encodeHeaderFloats(rec);
    rec.reportText = t.reportText;
    rec.patient.text[data::patientId] = t.id;
    rec.patient.text[data::patientName] = t.name;
    if (!data::saveRecording(path, *own))
        throw std::runtime_error("could not write " + path);
}

}  // namespace testing_support
