#include "instrumentModel.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/spectralSums.h"
#include "data/loadedRecording.h"
#include "data/recordingReset.h"
#include "data/sampleRing.h"
#include "report/reportLines.h"

namespace sim {

namespace {

using data::Recording;
namespace hw = data::hw;
constexpr double kPi = 3.14159265358979323846;

// The instrument's epoch spectrum: every second sample of the epoch, mean
// removed, raised-cosine window, amplitudes 2|X[k]|/N as 16-bit values.
void epochSpectrum(const std::int16_t* epoch, std::int16_t* out)
{
    constexpr int n = 128;
    double x[n], mean = 0;
    for (int i = 0; i < n; ++i)
        mean += (x[i] = epoch[1 + 2 * i]);
    mean /= n;
    for (int i = 0; i < n; ++i)
        x[i] = (x[i] - mean) * (1.0 - std::cos(2 * kPi * i / n));
    for (int k = 0; k < n / 2; ++k) {
        double re = 0, im = 0;
        for (int i = 0; i < n; ++i) {
            re += x[i] * std::cos(2 * kPi * k * i / n);
            im -= x[i] * std::sin(2 * kPi * k * i / n);
        }
        out[k] = static_cast<std::int16_t>(std::clamp(std::lround(2 * re / n), -32768L, 32767L));
        out[n / 2 + k] = k == 0 ? 0 : static_cast<std::int16_t>(std::clamp(std::lround(2 * im / n), -32768L, 32767L));
    }
    out[1] = static_cast<std::int16_t>(out[1] + out[0]);
}

void addSums(analysis::SpectralKind& kind, const Recording& rec, int epoch, int pairs)
{
    for (int p = 0; p < pairs; ++p) {
        const std::int16_t* a = &rec.fftData[2 * p][epoch * 128];
        const std::int16_t* b = &rec.fftData[2 * p + 1][epoch * 128];
        for (int j = 0; j < analysis::kBins; ++j) {
            const double ar = a[j + 1], ai = a[65 + j], br = b[j + 1], bi = b[65 + j];
            kind.power[2 * p][j] += static_cast<float>(ar * ar + ai * ai);
            kind.power[2 * p + 1][j] += static_cast<float>(br * br + bi * bi);
            kind.crossRe[p][j] += static_cast<float>(ar * br + ai * bi);
            kind.crossIm[p][j] += static_cast<float>(ai * br - ar * bi);
        }
    }
}

double epochPower(const Recording& rec, int epoch)
{
    double sum = 0;
    for (int j = 1; j <= analysis::kBins; ++j) {
        const double re = rec.fftData[0][epoch * 128 + j], im = rec.fftData[0][epoch * 128 + 64 + j];
        sum += re * re + im * im;
    }
    return sum;
}

int epochsOf(double seconds) { return static_cast<int>(seconds * 200.0 / 256.0); }
// The first epoch that starts at or after a moment.
int firstEpochAfter(double seconds) { return static_cast<int>(std::ceil(seconds * 200.0 / 256.0)); }

void fillSpectra(data::LoadedRecording& sums, const std::array<std::vector<std::int16_t>, 4>& raw,
                 const RecordingOptions& o, const TreatmentCourse& c, int epochs)
{
    Recording& rec = sums.rec;
    const int channels = o.session.fourChannels ? 4 : 2;
    for (int e = 0; e < epochs; ++e)
        for (int ch = 0; ch < channels; ++ch)
            epochSpectrum(&raw[ch][static_cast<std::size_t>(e) * 256], &rec.fftData[ch][e * 128]);
    // The seizure sums leave out every epoch the stimulus artefact touches.
    const int seizureFirst = firstEpochAfter(c.stimulusEnd), seizureLast = epochsOf(c.seizureEnd);
    for (int e = 0; e < epochs; ++e) {
        const bool seizure = !o.session.monitoring && e >= seizureFirst && e < seizureLast;
        rec.conditionData[0][e] = seizure ? 1 : 0;
        if (channels == 2) {
            rec.conditionData[1][e] = e >= epochsOf(c.stimulusEnd) && e < epochsOf(c.motorEnd) ? 1 : 0;
            rec.conditionData[2][e] = 0;
        }
        addSums(sums.total, rec, e, channels / 2);
        if (seizure)
            addSums(sums.seizure, rec, e, channels / 2);
    }
}

void setResults(Recording& rec, const TreatmentCourse& c, int epochs)
{
    const int first = std::min(firstEpochAfter(c.stimulusEnd), epochs), last = std::min(epochsOf(c.seizureEnd), epochs);
    double energy = 0, peak = 0, early = 0, post = 0;
    int peakEpoch = first;
    for (int e = first; e < last; ++e) {
        const double p = epochPower(rec, e);
        energy += p;
        if (p > peak) {
            peak = p;
            peakEpoch = e;
        }
    }
    for (int e = first; e < std::min(first + 3, last); ++e)
        early += epochPower(rec, e) / 3;
    for (int e = last; e < std::min(last + 5, epochs); ++e)
        post += epochPower(rec, e) / 5;
    const float values[8] = {static_cast<float>(energy), static_cast<float>(peak), 0.86f, static_cast<float>(post),
                             static_cast<float>(early), static_cast<float>(post), static_cast<float>(peak),
                             static_cast<float>(post)};
    std::copy(values, values + 8, rec.resultValue.begin());
    rec.header[hw::timeToPeakPower] = static_cast<std::uint16_t>(peakEpoch - first);
    rec.header[hw::timeToPeakCoherence] = static_cast<std::uint16_t>((peakEpoch - first) / 2 + 1);
}

void setHeader(Recording& rec, const RecordingOptions& o, const TreatmentCourse& c, int epochs)
{
    const Session& s = o.session;
    std::uint16_t flags = data::content::fftData | data::content::summary;
    flags |= s.monitoring ? data::content::monitoring : data::content::report;
    if (o.rawEeg)
        flags |= data::content::rawEeg;
    if (o.reportText)
        flags |= 0x0100;
    const std::uint16_t words[][2] = {
        {hw::contentFlags, flags}, {hw::month, static_cast<std::uint16_t>(o.month)},
        {hw::day, static_cast<std::uint16_t>(o.day)}, {hw::year, static_cast<std::uint16_t>(o.year)}, {hw::hour, 9},
        {hw::minute, static_cast<std::uint16_t>(15 + s.seed % 40)}, {hw::second, 0},
        {hw::energySet, static_cast<std::uint16_t>(40 + s.seed % 50)}, {hw::energyDelivered, 0},
        {hw::stimulusDuration, static_cast<std::uint16_t>((c.stimulusEnd - c.stimulusStart) * 10)},
        {hw::staticImpedance, static_cast<std::uint16_t>(1200 + s.seed % 600)}, {hw::dynamicImpedance, 230},
        {hw::chargeDelivered, static_cast<std::uint16_t>(2000 + s.seed % 900)}, {hw::current, 90},
        {hw::frequencyCode, 5}, {hw::pulseWidthCode, 1}, {hw::programIndex, static_cast<std::uint16_t>(s.seed % 5)},
        {hw::channelMode, s.fourChannels ? std::uint16_t{1} : std::uint16_t{0}},
        {hw::channelModeCopy, s.fourChannels ? std::uint16_t{1} : std::uint16_t{0}},
        {hw::baselineAvailable, 1}, {hw::eegSeizureDetected, s.monitoring ? std::uint16_t{0} : std::uint16_t{1}},
        {hw::eegEndpoint, static_cast<std::uint16_t>((c.seizureEnd - c.stimulusEnd) / 1.28)},
        {hw::ecgEndpoint, static_cast<std::uint16_t>((c.seizureEnd - c.stimulusEnd) / 1.28 + 4)},
        {hw::emgEndpoint, static_cast<std::uint16_t>((c.motorEnd - c.stimulusEnd) / 1.28)},
        {hw::emgActivityDetected, s.fourChannels ? std::uint16_t{0} : std::uint16_t{1}},
        {hw::peakHeartRate, static_cast<std::uint16_t>(c.peakHeartRate)}, {hw::alarmTest, 1}, {hw::alarmResult, 1},
        {hw::totalEpochs, static_cast<std::uint16_t>(epochs)},
        {hw::seizureEpochs, static_cast<std::uint16_t>(std::max(0, epochsOf(c.seizureEnd) - firstEpochAfter(c.stimulusEnd)))},
        {hw::baseHeartRate, static_cast<std::uint16_t>(c.baseHeartRate)}};
    for (const auto& [word, value] : words)
        rec.header[word] = value;
    for (int ch = 0; ch < 4; ++ch)
        rec.header[hw::epochCount + ch] = static_cast<std::uint16_t>(epochs);
    for (int k = 0; k < data::kCalibrationFactors; ++k)
        rec.calibrationFactors[k] = 0.98f + 0.01f * static_cast<float>((s.seed + k) % 5);
}

// The instrument's report lines of `rec` in CSV form, one CR after each.
std::string instrumentReport(Recording& rec, const analysis::SpectralKind& seizureSums)
{
    const report::ReportSource source{rec, seizureSums};
    std::string text;
    for (int i = 2; i <= 25; ++i) {
        const std::string line = report::reportLineBuilders[i](source, report::ReportMode::Csv);
        if (!line.empty())
            text += line + "\r";
    }
    return text;
}

void setTexts(Recording& rec, const RecordingOptions& o)
{
    rec.deviceName = "Corvane EEG Monitor";
    rec.reportTitle = o.session.monitoring ? "MONITORING" : "";
    data::PatientSet& p = rec.patient;
    p.text[data::patientId] = "SIM-" + std::to_string(1000 + o.session.seed);
    p.text[data::patientName] = "Simulated Patient " + std::to_string(o.session.seed);
    p.patientAge = static_cast<std::int32_t>(25 + o.session.seed % 60);
    p.patientSex = o.session.seed % 2 ? data::kSexFemale : data::kSexMale;
    p.text[data::patientComments] = o.session.monitoring ? "Monitoring session" : "Right unilateral, session 3";
}

}  // namespace

void recordSession(const RecordingOptions& o, data::LoadedRecording& into)
{
    data::emptyRecording(into.rec);
    into.total.clear();
    into.seizure.clear();
    Recording& rec = into.rec;
    rec.header[hw::channelMode] = o.session.fourChannels ? 1 : 0;
    const TreatmentCourse course = courseFor(o.session);
    const auto raw = synthesise(o.session, course);
    const int epochs = std::min<int>(data::kMaxEpochs, static_cast<int>(raw[0].size() / 256));
    if (o.rawEeg)
        for (int ch = 0; ch < data::kChannels; ++ch)
            for (std::int16_t sample : raw[ch])
                data::channelAppend(rec, ch, sample);
    fillSpectra(into, raw, o, course, epochs);
    setHeader(rec, o, course, epochs);
    setResults(rec, course, epochs);
    data::encodeHeaderFloats(rec);
    setTexts(rec, o);
    rec.marker56 = 0;
    rec.marker57 = static_cast<std::int16_t>(epochsOf(course.stimulusStart));
    rec.epochSelected.fill(true);
    if (o.reportText) {
        const std::uint16_t flags = rec.header[hw::contentFlags];
        rec.header[hw::contentFlags] = flags & 0x00FF;  // the lines are built from the header alone
        rec.reportText = instrumentReport(rec, into.seizure);
        rec.header[hw::contentFlags] = flags;
    }
}

}  // namespace sim
