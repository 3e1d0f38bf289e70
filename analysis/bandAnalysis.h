#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace analysis {

struct SpectralTables;

// One band's definition and its results for a channel pair.
struct BandRecord {
    std::uint32_t pair = 0;
    std::string name;
    float low = 0;
    float high = 0;
    float powerA = 0;  // raw units, no calibration
    float powerB = 0;
    float relativeA = 0;  // fractions; -1 not computed
    float relativeB = 0;
    float asymmetry = 0;
    float coherence = 0;
};

constexpr int kBandsPerGroup = 7;
using BandGroup = std::array<BandRecord, kBandsPerGroup>;

// The default bands: group 0 for pair 0, group 1 for pair 1. Never changed.
extern const std::array<BandGroup, 2> bandSets;

// Seven bands in table order (lines 4 to 10).
using BandArray = std::array<const BandRecord*, kBandsPerGroup>;
BandArray bandArrayOf(const BandGroup& group);

// The recording a table was computed for, as its band lines need it: its
// channels' calibration gains, and whether the instrument detected a seizure
// (the recorded table is then the seizure one).
struct TableSubject {
    const float* gains = nullptr;
    bool seizure = false;
};

// Fills the record's results from the table of `mode` in `tables`, weighting
// the asymmetry by the channels' `gains`; divisor 0 means no data.
void computeBand(BandRecord& record, const SpectralTables& tables, int mode, std::uint32_t divisor, const float* gains);

// Text forms of the analysis lines.
namespace LineFormat {
constexpr std::uint16_t Tabbed = 0;
constexpr std::uint16_t Csv = 1;
constexpr std::uint16_t Fixed = 2;
}  // namespace LineFormat

constexpr int kSpectralLines = 44;  // lines 0 to 43
constexpr std::size_t kLineBufferSize = 200;

// Line `line` of the power spectral analysis table of a pair (at most 199
// characters), from the table of `mode` in `tables` computed for `subject`.
// `bands` may be null when lines 4 to 10 are not asked for.
std::string formatSpectralLine(const SpectralTables& tables, const TableSubject& subject, int line, const BandArray* bands,
                               int mode, unsigned pair, std::uint16_t format);

}  // namespace analysis
