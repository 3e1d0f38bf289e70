#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace analysis {

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

// Fills the record's results from the mode's table; divisor 0 means no data.
void computeBand(BandRecord& record, int mode, std::uint32_t divisor);

// Text forms of the analysis lines; bit 8 of a format selects the secondary recording.
namespace LineFormat {
constexpr std::uint16_t Tabbed = 0;
constexpr std::uint16_t Csv = 1;
constexpr std::uint16_t Fixed = 2;
constexpr std::uint16_t Secondary = 0x100;
}  // namespace LineFormat

constexpr int kSpectralLines = 44;  // lines 0 to 43
constexpr std::size_t kLineBufferSize = 200;

// Line `line` of the power spectral analysis table of a pair (at most 199
// characters). `bands` may be null when lines 4 to 10 are not asked for.
std::string formatSpectralLine(int line, const BandArray* bands, int mode, unsigned pair, std::uint16_t format);

}  // namespace analysis
