#include "analysis/spectralTable.h"

#include <cmath>

#include "analysis/channelPairs.h"
#include "analysis/spectralSums.h"

namespace analysis {

SpectralTables spectralTables;

void SpectralTables::reset()
{
    *this = SpectralTables{};
}

namespace {

// Coherence and asymmetry need both powers above these (raw units): 7.2e-5 and
// 0.00024 in the instrument's units of 2.5e-7 per raw unit.
constexpr double kBinThreshold = 288.0;
constexpr double kTotalThreshold = 960.0;

void resetTable(SpectralTables& tables, int mode)
{
    for (auto& row : tables.spectralTable[mode])
        for (int c = 0; c < kTableColumns; ++c)
            row[c] = (c >= col::relative && c < col::crossRe) || c >= col::asymmetry ? -1.0f : 0.0f;
    for (float& f : tables.meanFrequency[mode])
        f = 0.0f;
}

// The half-power frequency found walking the bins from one end.
double halfPowerFrequency(const float (*t)[kTableColumns], int c, bool fromBelow)
{
    const double half = t[kTotalRow][c] / 2.0;
    double sum = 0.0;
    for (int i = 0; i < 32; ++i) {
        const int k = fromBelow ? i + 1 : 32 - i;
        const double p = t[k - 1][c];
        if (p == 0.0)
            continue;
        sum += p;
        if (sum >= half)
            return fromBelow ? (k + 0.5 - (sum - half) / p) * 100.0 / 128.0 : (k - 0.5 + (sum - half) / p) * 100.0 / 128.0;
    }
    return 0.0;
}

void channelRows(SpectralTables& tables, int mode, const SpectralSource& s)
{
    float (*t)[kTableColumns] = tables.spectralTable[mode];
    const SpectralKind& sums = *s.sums;
    for (int c = 0; c < s.channels; ++c) {
        double total = 0.0;
        for (int j = 0; j < kBins; ++j)
            total += static_cast<double>(sums.power[c][j]) / s.divisor;
        t[kTotalRow][c] = static_cast<float>(total);
        for (int j = 0; j < kBins; ++j) {
            const double p = static_cast<double>(sums.power[c][j]) / s.divisor;
            t[j][c] = static_cast<float>(p);
            if (t[kTotalRow][c] > 0)
                t[j][col::relative + c] = static_cast<float>(p / t[kTotalRow][c]);
        }
        tables.meanFrequency[mode][c] =
            static_cast<float>((halfPowerFrequency(t, c, true) + halfPowerFrequency(t, c, false)) / 2.0);
    }
}

// 2|a - b| / (a + b), or -1 when the sum is not positive.
float asymmetryOf(double a, double b)
{
    return a + b > 0 ? static_cast<float>(2.0 * std::fabs(a - b) / (a + b)) : -1.0f;
}

void pairRows(SpectralTables& tables, int mode, const SpectralSource& s)
{
    float (*t)[kTableColumns] = tables.spectralTable[mode];
    const SpectralKind& sums = *s.sums;
    for (int p = 0; p < s.pairs; ++p) {
        const int a = channelPairs[p].a, b = channelPairs[p].b;
        const double ga = static_cast<double>(s.gains[a]) * s.gains[a], gb = static_cast<double>(s.gains[b]) * s.gains[b];
        double products = 0.0, cross = 0.0;
        for (int j = 0; j < kBins; ++j) {
            const double pa = t[j][a], pb = t[j][b];
            const double re = static_cast<double>(sums.crossRe[p][j]) / s.divisor;
            const double im = static_cast<double>(sums.crossIm[p][j]) / s.divisor;
            t[j][col::crossRe + p] = static_cast<float>(re);
            t[j][col::crossIm + p] = static_cast<float>(im);
            products += pa * pb;
            cross += re * re + im * im;
            if (pa > kBinThreshold && pb > kBinThreshold) {
                if (pa > 0 && pb > 0)
                    t[j][col::coherence + p] = static_cast<float>((re * re + im * im) / pa / pb);
                t[j][col::asymmetry + p] = asymmetryOf(pa * ga, pb * gb);
            }
        }
        t[kTotalRow][col::crossRe + p] = static_cast<float>(products);
        t[kTotalRow][col::crossIm + p] = static_cast<float>(cross);
        const double ta = t[kTotalRow][a], tb = t[kTotalRow][b];
        if (ta > kTotalThreshold && tb > kTotalThreshold) {
            if (t[kTotalRow][col::crossRe + p] > 0)
                t[kTotalRow][col::coherence + p] = static_cast<float>(
                    static_cast<double>(t[kTotalRow][col::crossIm + p]) / t[kTotalRow][col::crossRe + p]);
            t[kTotalRow][col::asymmetry + p] = asymmetryOf(ta * ga, tb * gb);
        }
    }
}

}  // namespace

void resetSpectralTable(SpectralTables& tables, int mode)
{
    if (mode >= 0 && mode < kModes)
        resetTable(tables, mode);
}

std::uint32_t computeSpectralTable(SpectralTables& tables, int mode, const SpectralSource& source)
{
    if (mode < 0 || mode >= kModes)
        return 0;
    resetTable(tables, mode);
    if (source.divisor == 0 || !source.sums)
        return 0;
    channelRows(tables, mode, source);
    pairRows(tables, mode, source);
    return source.divisor;
}

}  // namespace analysis
