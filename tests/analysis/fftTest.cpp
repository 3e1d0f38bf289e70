#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "analysis/epochSpectra.h"
#include "analysis/fft.h"
#include "analysis/fftTables.h"
#include "analysis/spectralSums.h"
#include "support/sampleRecording.h"

using namespace analysis;

namespace {

// The reference: a double-precision DFT of every second sample of the epoch
// (starting with the second), mean removed, raised-cosine window 1 - cos;
// amplitudes 2 X[k] / N in the epoch vector layout, the DC value X[0] / N
// (a real sequence has no second half to pair it with) folded into bin 1.
std::vector<double> referenceVector(const std::vector<std::int16_t>& epoch)
{
    constexpr int n = 128;
    double x[n], mean = 0;
    for (int i = 0; i < n; ++i)
        mean += x[i] = epoch[1 + 2 * i];
    mean /= n;
    for (int i = 0; i < n; ++i)
        x[i] = (x[i] - mean) * (1.0 - std::cos(2 * M_PI * i / n));
    std::vector<double> out(n, 0.0);
    for (int k = 0; k < n / 2; ++k) {
        std::complex<double> sum = 0;
        for (int i = 0; i < n; ++i)
            sum += x[i] * std::polar(1.0, -2 * M_PI * k * i / n);
        out[k] = (k == 0 ? 1 : 2) * sum.real() / n;
        if (k > 0)
            out[n / 2 + k] = 2 * sum.imag() / n;
    }
    out[1] += out[0];
    return out;
}

std::vector<std::int16_t> sinusoid(double amplitude, double cyclesPerEpoch, double phase)
{
    std::vector<std::int16_t> epoch(256);
    for (int i = 0; i < 256; ++i)
        epoch[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * cyclesPerEpoch * i / 256 + phase)));
    return epoch;
}

struct Transformed {
    std::int16_t x[128];
    std::int16_t y[128];
};

Transformed transformPair(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b)
{
    Transformed t{};
    fftTwoReal(128, a.data(), 1, 2, b.data(), 1, 2, t.x, t.y);
    return t;
}

double worstDeviation(const std::int16_t* vector, const std::vector<double>& reference)
{
    double worst = 0;
    for (int i = 0; i < 128; ++i)
        worst = std::max(worst, std::fabs(vector[i] - reference[i]));
    return worst;
}

}  // namespace

TEST(Fft, TablesHoldTheirCorrectedEntries)
{
    EXPECT_EQ(cosTable()[0], 4096);
    EXPECT_EQ(cosTable()[64], 0);
    EXPECT_EQ(cosTable()[128], -4096);
    EXPECT_EQ(cosTable()[14], 3856);
    EXPECT_EQ(cosTable()[242], 3856);
    EXPECT_EQ(cosTable()[114], -3856);
    EXPECT_EQ(cosTable()[142], -3856);
    EXPECT_EQ(cosTable()[13], 3889);
    EXPECT_EQ(bitReverse8[1], 128);
    EXPECT_EQ(bitReverse8[0x0F], 0xF0);
}

TEST(Fft, MatchesAnIndependentDftForEverySinusoidNoiseAndEeg)
{
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 400.0);
    double worst = 0;
    for (int k = 1; k <= 32; ++k) {
        // Bin k of the 128-point sequence is k cycles per epoch of 256 samples.
        const auto a = sinusoid(2000.0, k, 0.3), b = sinusoid(700.0, k, 1.9);
        const Transformed t = transformPair(a, b);
        worst = std::max({worst, worstDeviation(t.x, referenceVector(a)), worstDeviation(t.y, referenceVector(b))});
        if (k > 1) {  // window mean 1: |bin k| is A (bin 1 also carries the DC leakage)
            EXPECT_NEAR(std::hypot(t.x[k], t.x[64 + k]), 2000.0, 2.0) << k;
        }
    }
    for (int trial = 0; trial < 50; ++trial) {
        std::vector<std::int16_t> a(256), b(256);
        for (int i = 0; i < 256; ++i) {
            a[i] = static_cast<std::int16_t>(std::clamp(noise(random), -4000.0, 4000.0));
            b[i] = static_cast<std::int16_t>(300 * std::sin(2 * M_PI * 9.7 * i / 200) + 150 * std::sin(2 * M_PI * 3.1 * i / 200) +
                                             noise(random) / 10 + 40);
        }
        const Transformed t = transformPair(a, b);
        worst = std::max({worst, worstDeviation(t.x, referenceVector(a)), worstDeviation(t.y, referenceVector(b))});
    }
    RecordProperty("worstDeviation", std::to_string(worst));
    EXPECT_LE(worst, 2.0);
}

TEST(Fft, ConstantEpochGivesZeroVectorAndAbsentInputsAreZeros)
{
    const std::vector<std::int16_t> flat(256, 1234);
    std::int16_t x[128], y[128];
    fftTwoReal(128, flat.data(), 1, 2, nullptr, 0, 0, x, y);
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(x[i], 0) << i;
        EXPECT_EQ(y[i], 0) << i;
    }
}

TEST(Fft, ExtremeSamplesWrapAsThirtyTwoBitArithmetic)
{
    std::vector<std::int16_t> a(256), b(256);
    for (int i = 0; i < 256; ++i) {
        a[i] = (i / 2) % 2 ? 32767 : -32768;  // a full-scale square wave at the Nyquist rate
        b[i] = i % 4 < 2 ? -32768 : 32767;
    }
    std::int16_t x[128], y[128];
    fftTwoReal(128, a.data(), 1, 2, b.data(), 1, 2, x, y);  // must run clean under the sanitizers
    std::int16_t v[128] = {};
    v[1] = -32768;
    v[65] = -32768;
    testing_support::resetCore();
    addEpochPower(spectralSums, 128, v, 2, 0, true);
    // (-32768)^2 * 2 = 2^31 wraps to -2^31 in 32-bit arithmetic.
    EXPECT_EQ(spectralSums.kind(3).power[0][0], -2147483648.0f);
    EXPECT_EQ(spectralSums.kind(2).power[0][0], -2147483648.0f);
    testing_support::resetCore();
}
