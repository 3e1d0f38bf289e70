#include "syntheticEeg.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace sim {

namespace {

constexpr double kRate = 200.0;
constexpr double kPi = 3.14159265358979323846;

std::int16_t clampSample(double v)
{
    return static_cast<std::int16_t>(std::clamp(std::lround(v), -4095L, 4095L));
}

// Background EEG: alpha and theta rhythms with slowly drifting amplitude.
double background(double t, double phase, double scale)
{
    const double drift = 1.0 + 0.25 * std::sin(2 * kPi * 0.05 * t + phase);
    return scale * drift * (60.0 * std::sin(2 * kPi * 10.0 * t + phase) + 35.0 * std::sin(2 * kPi * 6.0 * t + 2 * phase));
}

// Ictal spike-and-wave near 3 Hz: builds up, then slows and fades towards the endpoint.
double spikeAndWave(double t, const TreatmentCourse& c, double phase)
{
    const double length = c.seizureEnd - c.stimulusEnd;
    const double x = (t - c.stimulusEnd) / length;  // 0 to 1 over the seizure
    const double envelope = std::sin(kPi * std::min(1.0, x * 1.6)) * (x < 0.6 ? 1.0 : (1.0 - x) / 0.4) + 0.05;
    const double frequency = 3.6 - 1.2 * x;
    const double cycle = std::fmod((t - c.stimulusEnd) * frequency + phase, 1.0);
    const double spike = std::exp(-std::pow((cycle - 0.1) / 0.03, 2)) * 1.0;
    const double wave = -0.45 * std::sin(2 * kPi * cycle);
    return 900.0 * envelope * (spike + wave);
}

// Amplitude of the post-ictal EEG: suppressed, recovering slowly.
double suppression(double t, const TreatmentCourse& c)
{
    return 0.15 + 0.6 * (1.0 - std::exp(-(t - c.seizureEnd) / 60.0));
}

double eeg(double t, const Session& s, const TreatmentCourse& c, double phase, double scale, std::mt19937& r)
{
    std::normal_distribution<double> noise(0.0, 12.0);
    if (s.monitoring || t < c.stimulusStart)
        return background(t, phase, scale) + noise(r);
    if (t < c.stimulusEnd)  // stimulus artefact: the amplifier saturates
        return (std::fmod(t * 60.0, 1.0) < 0.5 ? 3900.0 : -3900.0) * (0.8 + 0.2 * scale);
    if (t < c.seizureEnd)
        return scale * spikeAndWave(t, c, phase) + 0.3 * background(t, phase, scale) + noise(r);
    return suppression(t, c) * background(t, phase, scale) + noise(r);
}

double emg(double t, const Session& s, const TreatmentCourse& c, std::mt19937& r)
{
    std::normal_distribution<double> noise(0.0, 1.0);
    const bool motor = !s.monitoring && t >= c.stimulusEnd && t < c.motorEnd;
    const double burst = motor ? 300.0 * (0.5 + 0.5 * std::sin(2 * kPi * 3.0 * t) * std::sin(2 * kPi * 3.0 * t)) : 8.0;
    return burst * noise(r);
}

double heartRate(double t, const Session& s, const TreatmentCourse& c)
{
    if (s.monitoring || t < c.stimulusEnd)
        return c.baseHeartRate;
    const double rise = std::min(1.0, (t - c.stimulusEnd) / 15.0);
    const double fall = t > c.seizureEnd ? std::exp(-(t - c.seizureEnd) / 40.0) : 1.0;
    return c.baseHeartRate + (c.peakHeartRate - c.baseHeartRate) * rise * fall;
}

// ECG: a QRS complex at every beat, with a small T wave.
std::vector<std::int16_t> ecg(std::size_t count, const Session& s, const TreatmentCourse& c)
{
    std::vector<std::int16_t> out(count);
    double beatPhase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        beatPhase += heartRate(t, s, c) / 60.0 / kRate;
        const double x = std::fmod(beatPhase, 1.0);
        const double qrs = 600.0 * std::exp(-std::pow((x - 0.2) / 0.012, 2)) - 120.0 * std::exp(-std::pow((x - 0.23) / 0.015, 2));
        const double tWave = 120.0 * std::exp(-std::pow((x - 0.5) / 0.06, 2));
        out[i] = clampSample(qrs + tWave);
    }
    return out;
}

}  // namespace

TreatmentCourse courseFor(const Session& session)
{
    TreatmentCourse c;
    const double length = session.seconds;
    c.stimulusStart = std::min(10.0, length * 0.1);
    c.stimulusEnd = c.stimulusStart + std::min(4.0, length * 0.04);
    c.seizureEnd = c.stimulusEnd + std::min(36.0 + (session.seed % 7), length * 0.45);
    c.motorEnd = c.stimulusEnd + (c.seizureEnd - c.stimulusEnd) * 0.6;
    c.baseHeartRate = 64.0 + session.seed % 16;
    c.peakHeartRate = c.baseHeartRate + 50.0 + session.seed % 20;
    return c;
}

std::array<std::vector<std::int16_t>, 4> synthesise(const Session& session, const TreatmentCourse& course)
{
    const auto count = static_cast<std::size_t>(session.seconds * kRate);
    std::array<std::vector<std::int16_t>, 4> channels;
    std::mt19937 random(session.seed);
    const double phases[4] = {0.0, 0.4, 1.1, 1.7};
    const double scales[4] = {1.0, 0.9, 0.95, 0.85};
    const int eegChannels = session.fourChannels ? 4 : 2;
    for (int ch = 0; ch < eegChannels; ++ch) {
        channels[ch].resize(count);
        for (std::size_t i = 0; i < count; ++i)
            channels[ch][i] = clampSample(eeg(static_cast<double>(i) / kRate, session, course, phases[ch], scales[ch], random));
    }
    if (!session.fourChannels) {
        channels[2].resize(count);
        for (std::size_t i = 0; i < count; ++i)
            channels[2][i] = clampSample(emg(static_cast<double>(i) / kRate, session, course, random));
        channels[3] = ecg(count, session, course);
    }
    return channels;
}

}  // namespace sim
