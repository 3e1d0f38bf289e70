#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/bandAnalysis.h"

namespace views {

// What a Bands or Spectrum window keeps across a restart: its pair, its mode
// and (Bands) the limits of its seven bands.
struct TableWindowSettings {
    unsigned pair = 0;
    bool currentSegment = false;
    // The window's font; an empty family means the default (Arial Bold 8).
    std::string fontFamily;
    int fontPointSize = 8;
    bool fontBold = true;
    bool fontItalic = false;
    std::array<std::pair<float, float>, analysis::kBandsPerGroup> limits{};  // Bands only
};

// The saved state block of a window: 504 bytes for Bands, 196 for Spectrum,
// little-endian, with the font description at 52 (height in pixels at 96 per
// inch, negative; weight at 16; italic at 20; face name at 28), the pair, its
// two channels and the mode at 180 to 195 and (Bands) seven 40-byte band
// records from 196, low and high at 8 and 12. Other fields are zeros.
std::vector<std::uint8_t> encodeTableState(const TableWindowSettings& settings, bool bands);

// Reads a saved block back. A pair outside 0 to 5 becomes the first pair; band
// limits that SetBands would refuse become the defaults; a font without a face
// name or of a size outside 4 to 72 points is the default font; a block too
// short for a field leaves that field at its default.
TableWindowSettings decodeTableState(const std::vector<std::uint8_t>& block, bool bands);

// The band limits typed in the SetBands dialog: "3.5-8", "3.5 8", "3.5,8" and
// the like, tried in that order. Empty when the text gives no valid pair
// (0.7 <= low < high <= 25.0, as single-precision values).
std::optional<std::pair<float, float>> parseBandLimits(const std::string& text);
bool bandLimitsValid(float low, float high);

// The text of a Bands menu item for a band: "&%s... %6.1f  -%6.1f".
std::string bandMenuText(const analysis::BandRecord& band);
// The SetBands dialog's text for a band's limits ("%.1f  -%.1f"), and for its
// defaults ("%6.1f  -%6.1f").
std::string bandEditText(float low, float high);
std::string bandDefaultText(float low, float high);

}  // namespace views
