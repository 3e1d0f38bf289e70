#include "analysis/bandAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "analysis/channelPairs.h"
#include "analysis/spectralTable.h"

namespace analysis {

namespace {

BandGroup defaultGroup(std::uint32_t pair)
{
    const char* names[kBandsPerGroup] = {"Total", "Delta", "Theta", "Alpha", "Beta ", "X Band", "Y Band"};
    const float limits[kBandsPerGroup][2] = {{0.7f, 25.0f}, {0.7f, 3.5f}, {3.5f, 8.0f}, {8.0f, 13.0f},
                                             {13.0f, 25.0f}, {4.0f, 7.5f}, {8.5f, 12.0f}};
    BandGroup group;
    for (int i = 0; i < kBandsPerGroup; ++i) {
        group[i].pair = pair;
        group[i].name = names[i];
        group[i].low = limits[i][0];
        group[i].high = limits[i][1];
    }
    return group;
}

// A bin row of the first band limit.
int binRow(float limit)
{
    return static_cast<int>(std::floor((static_cast<double>(limit) + 0.01) * 128.0 / 100.0));
}

}  // namespace

const std::array<BandGroup, 2> bandSets = {defaultGroup(0), defaultGroup(1)};

BandArray bandArrayOf(const BandGroup& group)
{
    BandArray a;
    for (int i = 0; i < kBandsPerGroup; ++i)
        a[i] = &group[i];
    return a;
}

void computeBand(BandRecord& r, const SpectralTables& tables, int mode, std::uint32_t divisor, const float* g)
{
    r.powerA = r.powerB = 0;
    r.relativeA = r.relativeB = r.asymmetry = r.coherence = -1;
    if (divisor == 0 || mode < 0 || mode >= kModes)
        return;
    const auto [a, b] = pairChannels(r.pair);
    const unsigned pair = r.pair <= 5 ? r.pair : 0;
    const float (*t)[kTableColumns] = tables.spectralTable[mode];
    if (r.low == 0.7f && r.high == 25.0f) {
        r.powerA = t[kTotalRow][a];
        r.powerB = t[kTotalRow][b];
        r.relativeA = r.relativeB = 1.0f;
        r.asymmetry = t[kTotalRow][col::asymmetry + pair];
        r.coherence = t[kTotalRow][col::coherence + pair];
        return;
    }
    // Bands reaching past the analysed bins take the bins that exist.
    const int first = std::max(0, binRow(r.low)), end = std::min(32, binRow(r.high));
    double powerA = 0, powerB = 0, sumCross = 0, sumProduct = 0;
    for (int j = first; j < end; ++j) {
        powerA += t[j][a];
        powerB += t[j][b];
        sumCross += static_cast<double>(t[j][col::crossRe + pair]) * t[j][col::crossRe + pair] +
                    static_cast<double>(t[j][col::crossIm + pair]) * t[j][col::crossIm + pair];
        sumProduct += static_cast<double>(t[j][a]) * t[j][b];
    }
    r.powerA = static_cast<float>(powerA);
    r.powerB = static_cast<float>(powerB);
    if (t[kTotalRow][a] > 0)
        r.relativeA = static_cast<float>(powerA / t[kTotalRow][a]);
    if (t[kTotalRow][b] > 0)
        r.relativeB = static_cast<float>(powerB / t[kTotalRow][b]);
    if (r.powerA > 960 && r.powerB > 960) {
        if (sumProduct > 0)
            r.coherence = static_cast<float>(sumCross / sumProduct);
        const double wa = r.powerA * static_cast<double>(g[a]) * g[a], wb = r.powerB * static_cast<double>(g[b]) * g[b];
        if (wa + wb > 0)
            r.asymmetry = static_cast<float>(2.0 * std::fabs(wa - wb) / (wa + wb));
    }
}

namespace {

// Appends printf output to a line held to the 200-byte buffer.
class LineText {
public:
    void add(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char piece[kLineBufferSize];
        va_list args;
        va_start(args, format);
        std::vsnprintf(piece, sizeof piece, format, args);
        va_end(args);
        if (text_.size() < kLineBufferSize - 1)
            text_.append(piece, 0, kLineBufferSize - 1 - text_.size());
    }
    int length() const { return static_cast<int>(text_.size()); }
    std::string text_;
};

struct LineContext {
    std::uint16_t form;  // Tabbed, Csv or Fixed
    unsigned a, b, pair;
    int mode;
    const float* gains;
    bool seizure;
    const SpectralTables* tables;
};

double microVolts(double raw, const LineContext& c, unsigned channel)
{
    const double g = c.gains[channel];
    return raw * g * g * 62500.0 * 2.5e-7 / 1.5 / 2.0;
}

void percent(LineText& t, const LineContext& c, float fraction)
{
    const bool shown = !(fraction < 0);
    if (c.form == LineFormat::Csv)
        shown ? t.add(",%5.1f", fraction * 100.0) : t.add(",\"N/A\"");
    else if (c.form == LineFormat::Fixed)
        shown ? t.add("%8.1f", fraction * 100.0) : t.add("%8s", "N/A");
    else
        shown ? t.add("\t%5.1f\b", fraction * 100.0) : t.add("\tN/A\b");
}

void title(LineText& t, const LineContext& c)
{
    const char* kind = c.seizure ? "Seizure" : "Total";
    t.add(c.form == LineFormat::Csv ? "\"%s Power Spectral Analysis for EEG%u and EEG%u:\""
                                    : "%s Power Spectral Analysis for EEG%u and EEG%u:",
          kind, c.a + 1, c.b + 1);
}

void headings(LineText& t, const LineContext& c)
{
    if (c.form == LineFormat::Csv) {
        t.add("\"Frequency Hz\",\"Absolute \xB5V\xB2\",\" \",\"Relative %%\",\" \",\"Asym %%\",\"Coh %%\"");
    } else if (c.form == LineFormat::Fixed) {
        t.add("Frequency Hz");
        t.add("%*s%16s%10s%8s", 36 - t.length(), "Absolute \xB5V\xB2", "Relative %", "Asym %", "Coh %");
    } else {
        t.add("Frequency Hz\t\t\t\tAbsolute \xB5V\xB2\b\t\tRelative %%\b\tAsym %%\b\tCoh %%\b");
    }
}

void channelHeadings(LineText& t, const LineContext& c)
{
    const unsigned numbers[4] = {c.a + 1, c.b + 1, c.a + 1, c.b + 1};
    const int widths[4] = {25, 10, 7, 7};
    if (c.form == LineFormat::Csv)
        t.add("\"\"");
    else if (c.form == LineFormat::Tabbed)
        t.add("\t\t");
    for (int i = 0; i < 4; ++i) {
        if (c.form == LineFormat::Csv)
            t.add(",\"%s%u\"", "EEG", numbers[i]);
        else if (c.form == LineFormat::Fixed)
            t.add("%*s%u", widths[i], "EEG", numbers[i]);
        else
            t.add("\t%s%u\b", "EEG", numbers[i]);
    }
}

void absolutePair(LineText& t, const LineContext& c, double rawA, double rawB, bool binRow)
{
    const double ua = microVolts(rawA, c, c.a), ub = microVolts(rawB, c, c.b);
    if (c.form == LineFormat::Csv)
        t.add(",%8.1f,%8.1f", ua, ub);
    else if (c.form == LineFormat::Fixed)
        t.add("%*.1f%11.1f", 26 - t.length(), ua, ub);
    else
        t.add(binRow ? "\t\t%8.1f\b\t%8.1f\b" : "\t%8.1f\b\t%8.1f\b", ua, ub);
}

void bandRow(LineText& t, const LineContext& c, const BandRecord& r)
{
    if (c.form == LineFormat::Csv)
        t.add("\"%s%4.1f-%4.1f\"", r.name.c_str(), static_cast<double>(r.low), static_cast<double>(r.high));
    else if (c.form == LineFormat::Fixed)
        t.add("%s%5.1f-%4.1f", r.name.c_str(), static_cast<double>(r.low), static_cast<double>(r.high));
    else
        t.add("%s\t\t%4.1f-%4.1f  \b", r.name.c_str(), static_cast<double>(r.low), static_cast<double>(r.high));
    absolutePair(t, c, r.powerA, r.powerB, false);
    for (float f : {r.relativeA, r.relativeB, r.asymmetry, r.coherence})
        percent(t, c, f);
}

void binRowLine(LineText& t, const LineContext& c, int j)
{
    const float (*table)[kTableColumns] = c.tables->spectralTable[c.mode];
    const double frequency = (j + 1) * 100.0 / 128.0;
    if (c.form == LineFormat::Csv)
        t.add("%5.2f", frequency);
    else if (c.form == LineFormat::Fixed)
        t.add("%11.2f", frequency);
    else
        t.add("\t%5.2f\b", frequency);
    absolutePair(t, c, table[j][c.a], table[j][c.b], true);
    for (int column : {col::relative + static_cast<int>(c.a), col::relative + static_cast<int>(c.b),
                       col::asymmetry + static_cast<int>(c.pair), col::coherence + static_cast<int>(c.pair)})
        percent(t, c, table[j][column]);
}

void meanFrequencies(LineText& t, const LineContext& c)
{
    const double fa = c.tables->meanFrequency[c.mode][c.a], fb = c.tables->meanFrequency[c.mode][c.b];
    if (c.form == LineFormat::Csv) {
        t.add("\"Mean Frequencies Hz:\"");
        t.add(",%5.2f,%5.2f", fa, fb);
    } else if (c.form == LineFormat::Fixed) {
        t.add("Mean Frequencies Hz:");
        t.add("%*.2f%11.2f", 26 - t.length(), fa, fb);
    } else {
        t.add("Mean Frequencies Hz:\t\t");
        t.add("\t%5.2f\b\t%5.2f\b", fa, fb);
    }
}

}  // namespace

std::string formatSpectralLine(const SpectralTables& tables, const TableSubject& subject, int line, const BandArray* bands,
                               int mode, unsigned pair, std::uint16_t format)
{
    if (line < 0 || line >= kSpectralLines || mode < 0 || mode >= kModes)
        return std::string();
    const std::uint16_t form = (format & 0xFF) == 1 ? LineFormat::Csv : (format & 0xFF) == 2 ? LineFormat::Fixed : LineFormat::Tabbed;
    const ChannelPair channels = pairChannels(pair);
    const LineContext c{form, static_cast<unsigned>(channels.a), static_cast<unsigned>(channels.b),
                        pair <= 5 ? pair : 0u, mode, subject.gains, subject.seizure, &tables};
    LineText t;
    if (line == 0)
        t.add(form == LineFormat::Csv ? "\"\"" : " ");
    else if (line == 1)
        title(t, c);
    else if (line == 2)
        headings(t, c);
    else if (line == 3)
        channelHeadings(t, c);
    else if (line <= 10) {
        if (bands && (*bands)[line - 4])
            bandRow(t, c, *(*bands)[line - 4]);
    } else if (line <= 42)
        binRowLine(t, c, line - 11);
    else
        meanFrequencies(t, c);
    return t.text_;
}

}  // namespace analysis
