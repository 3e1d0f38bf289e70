#include "support/courseFiles.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "data/loadedRecording.h"
#include "data/recordingReset.h"
#include "data/sampleRing.h"

namespace testing_support {

namespace {

const char kText7[] =
    "\"% Energy Set\",50,\" %\"\r\"Charge Delivered\",160.0,\" mC\"\r\"Current\",0.90,\" A\"\r"
    "\"Pulse Width\",0.50,\" mSec\"\r\"Frequency\",60,\" Hz\"\r\"Stimulus Duration\",4.0,\" Sec\"\r"
    "\"Static Impedance\",1500,\" Ohm\"\r\"Dynamic Impedance\",250,\" Ohm\"\r\"EEG Endpoint\",45,\" Sec\"\r"
    "\"EMG Endpoint\",30,\" Sec\"\r\"Base Heart Rate\",72,\" b/m\"\r\"Peak Heart Rate\",118,\" b/m\"\r"
    "\"Average Seizure Energy Index\",\"N/A,\"\r\"Postictal Suppression Index\",80.5,\" %\"\r"
    "\"Maximum Sustained Coherence\",90.0,\" %\"\r";

}  // namespace

void writeTreatment(const std::string& path, const Treatment& t)
{
    namespace hw = data::hw;
    auto own = std::make_unique<data::LoadedRecording>();
    data::Recording& rec = own->rec;
    data::emptyRecording(rec);
    std::uint16_t flags = data::content::summary | (t.monitoring ? data::content::monitoring : data::content::report);
    if (!t.reportText.empty())
        flags |= 0x0100;
    if (t.samples > 0)
        flags |= data::content::rawEeg;
    for (int ch = 0; ch < data::kChannels; ++ch)
        for (unsigned i = 0; i < t.samples; ++i)
            data::channelAppend(rec, ch, static_cast<std::int16_t>((i * 37 + ch * 101) % 2001 - 1000));
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
    for (int ch = 0; ch < 4; ++ch)  // the epochs of each channel's condition series
        rec.header[static_cast<std::size_t>(hw::epochCount + ch)] = static_cast<std::uint16_t>(t.samples / data::kEpochSamples);
    rec.resultValue.fill(0.0f);
    rec.calibrationFactors.fill(1.0f);
    data::encodeHeaderFloats(rec);
    rec.reportText = t.reportText;
    rec.patient.text[data::patientId] = t.id;
    rec.patient.text[data::patientName] = t.name;
    rec.patient.text[data::patientComments] = t.comments;
    rec.patient.text[data::patientAgeField] = t.age;
    rec.patient.patientAge = t.age.empty() ? -1 : std::atoi(t.age.c_str());
    rec.patient.text[data::patientSexField] = t.sex;
    rec.patient.patientSex = t.sex == "F" ? data::kSexFemale : data::kSexMale;
    if (t.rejectedEpoch >= 0)
        rec.epochSelected[static_cast<std::size_t>(data::epochIndex(rec, static_cast<std::uint32_t>(t.rejectedEpoch)))] = false;
    if (t.markedEpoch >= 0)
        rec.conditionData[0][data::epochIndex(rec, static_cast<std::uint32_t>(t.markedEpoch))] = 1;
    if (!data::saveRecording(path, *own))
        throw std::runtime_error("could not write " + path);
}

Treatment on(int month, int day, unsigned charge, unsigned eeg, unsigned emg)
{
    Treatment t;
    t.month = month;
    t.day = day;
    t.charge = charge;
    t.eegEpochs = eeg;
    t.emgEpochs = emg;
    return t;
}

CourseFolder::CourseFolder()
{
    writeTreatment(dir.file("t1.dat"), on(1, 5, 1000, 30));
    writeTreatment(dir.file("t2.dat"), on(1, 8, 1000, 30));
    Treatment missed = on(1, 12, 1000, 0);
    missed.seizure = false;
    writeTreatment(dir.file("t3a.dat"), missed);
    Treatment restim = on(1, 12, 1500, 16);
    restim.minute = 20;
    writeTreatment(dir.file("t3b.dat"), restim);
    writeTreatment(dir.file("t4.dat"), on(3, 14, 1500, 15));
    writeTreatment(dir.file("t5.dat"), on(5, 13, 1700, 15, 10));
    Treatment four = on(5, 15, 1700, 40);
    four.fourChannels = true;
    writeTreatment(dir.file("t6.edt"), four);
    Treatment text = on(5, 18, 1600, 0);
    text.reportText = kText7;
    writeTreatment(dir.file("t7.dat"), text);
    writeTreatment(dir.file("t8.dat"), on(5, 20, 1600, 100));
    Treatment interrupted = on(5, 22, 1600, 30);
    interrupted.interrupted = true;
    writeTreatment(dir.file("t9.dat"), interrupted);
    Treatment monitoring = on(1, 6, 1000, 30);
    monitoring.monitoring = true;
    writeTreatment(dir.file("m1.mon"), monitoring);
    Treatment other = on(2, 1, 2000, 30);
    other.id = "Q-200";
    other.name = "Bo Other";
    writeTreatment(dir.file("q1.dat"), other);
    other.day = 4;
    writeTreatment(dir.file("q2.dat"), other);
    auto bytes = fileBytes(dir.file("t1.dat"));
    bytes.resize(bytes.size() / 2);
    writeBytes(dir.file("broken.dat"), bytes);
    std::ofstream(dir.file("notes.txt")) << "Patient asked about memory.\n";
}

const char* const kBidsSecrets[] = {"ZQ-7731", "ZQ7731", "Ysolde", "Quarnby", "KV-0042", "KV0042", "Brannoch",
                                     "Vell", "Fernhill", "quetiapine"};

BidsCourse::BidsCourse()
{
    // Six treatments of the first patient (one four-channel, one on a day of
    // two), four of the second, who began later; all with raw EEG.
    const struct {
        const char* file;
        int month, day, hour;
        bool second, four;
    } sessions[] = {{"a1.dat", 3, 2, 9, false, false},  {"a2.dat", 3, 4, 9, false, false}, {"a3.dat", 3, 9, 9, false, true},
                    {"a4.dat", 3, 9, 11, false, false}, {"a5.dat", 5, 11, 9, false, false}, {"a6.dat", 5, 14, 8, false, false},
                    {"b1.dat", 4, 1, 10, true, false},  {"b2.dat", 4, 3, 10, true, false},  {"b3.dat", 4, 6, 10, true, false},
                    {"b4.dat", 7, 20, 10, true, false}};
    for (const auto& s : sessions) {
        Treatment t = on(s.month, s.day, 1000, 30);
        t.hour = s.hour;
        t.samples = 2000;
        t.fourChannels = s.four;
        t.id = s.second ? "KV-0042" : "ZQ-7731";
        t.name = s.second ? "Brannoch Vell" : "Ysolde Quarnby";
        t.comments = "Allergic to quetiapine; Fernhill ward";
        t.age = s.second ? "93" : "47";
        t.sex = s.second ? "M" : "F";
        t.rejectedEpoch = 2;
        t.markedEpoch = 4;
        writeTreatment(dir.file(s.file), t);
    }
}

}  // namespace testing_support
