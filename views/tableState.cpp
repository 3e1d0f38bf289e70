#include "views/tableState.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "analysis/channelPairs.h"

namespace views {

namespace {

constexpr std::size_t kBandsStateSize = 504;
constexpr std::size_t kSpectrumStateSize = 196;
constexpr std::size_t kFontOffset = 52;
constexpr std::size_t kFaceOffset = kFontOffset + 28;
constexpr std::size_t kFaceSize = 32;
constexpr std::size_t kPairOffset = 180;
constexpr std::size_t kBandsOffset = 196;
constexpr std::size_t kBandRecordSize = 40;

void putWord(std::vector<std::uint8_t>& block, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        block[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::optional<std::uint32_t> word(const std::vector<std::uint8_t>& block, std::size_t at)
{
    if (at + 4 > block.size())
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(block[at + static_cast<std::size_t>(i)]) << (8 * i);
    return value;
}

float asFloat(std::uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::uint32_t bitsOf(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

bool bandLimitsValid(float low, float high)
{
    return low >= 0.7f && low <= 25.0f && high >= 0.7f && high <= 25.0f && low < high;
}

std::vector<std::uint8_t> encodeTableState(const TableWindowSettings& s, bool bands)
{
    std::vector<std::uint8_t> block(bands ? kBandsStateSize : kSpectrumStateSize, 0);
    const unsigned pair = s.pair <= 5 ? s.pair : 0;
    const auto [a, b] = analysis::pairChannels(pair);
    if (!s.fontFamily.empty()) {
        putWord(block, kFontOffset, static_cast<std::uint32_t>(-(s.fontPointSize * 96 + 36) / 72));
        putWord(block, kFontOffset + 16, s.fontBold ? 700u : 400u);
        block[kFontOffset + 20] = s.fontItalic ? 1 : 0;
        const std::size_t n = std::min(s.fontFamily.size(), kFaceSize - 1);
        std::memcpy(&block[kFaceOffset], s.fontFamily.data(), n);
    }
    putWord(block, kPairOffset, pair);
    putWord(block, kPairOffset + 4, static_cast<std::uint32_t>(a));
    putWord(block, kPairOffset + 8, static_cast<std::uint32_t>(b));
    putWord(block, kPairOffset + 12, s.currentSegment ? 1u : 0u);
    if (bands)
        for (int i = 0; i < analysis::kBandsPerGroup; ++i) {
            const std::size_t at = kBandsOffset + kBandRecordSize * static_cast<std::size_t>(i);
            putWord(block, at, pair);
            putWord(block, at + 8, bitsOf(s.limits[static_cast<std::size_t>(i)].first));
            putWord(block, at + 12, bitsOf(s.limits[static_cast<std::size_t>(i)].second));
        }
    return block;
}

TableWindowSettings decodeTableState(const std::vector<std::uint8_t>& block, bool bands)
{
    TableWindowSettings s;
    for (int i = 0; i < analysis::kBandsPerGroup; ++i) {
        const analysis::BandRecord& d = analysis::bandSets[0][static_cast<std::size_t>(i)];
        s.limits[static_cast<std::size_t>(i)] = {d.low, d.high};
    }
    if (block.size() >= kFaceOffset + kFaceSize) {
        const auto* face = reinterpret_cast<const char*>(&block[kFaceOffset]);
        const std::string family(face, strnlen(face, kFaceSize));
        const int height = static_cast<std::int32_t>(*word(block, kFontOffset));
        const int points = (std::abs(height) * 72 + 48) / 96;
        if (!family.empty() && points >= 4 && points <= 72) {
            s.fontFamily = family;
            s.fontPointSize = points;
            s.fontBold = *word(block, kFontOffset + 16) >= 600;
            s.fontItalic = block[kFontOffset + 20] != 0;
        }
    }
    if (const auto pair = word(block, kPairOffset); pair && *pair <= 5)
        s.pair = *pair;
    if (const auto mode = word(block, kPairOffset + 12))
        s.currentSegment = *mode != 0;
    if (!bands)
        return s;
    // Band 0 ("Total") is never changed; the others keep their stored limits when SetBands would take them.
    for (int i = 1; i < analysis::kBandsPerGroup; ++i) {
        const std::size_t at = kBandsOffset + kBandRecordSize * static_cast<std::size_t>(i);
        const auto low = word(block, at + 8), high = word(block, at + 12);
        if (low && high && bandLimitsValid(asFloat(*low), asFloat(*high)))
            s.limits[static_cast<std::size_t>(i)] = {asFloat(*low), asFloat(*high)};
    }
    return s;
}

std::optional<std::pair<float, float>> parseBandLimits(const std::string& text)
{
    float low = 25.0f, high = 0.7f;
    for (const char* pattern : {" %f - %f", " %f %f", " %f , %f"}) {
        std::sscanf(text.c_str(), pattern, &low, &high);  // each read keeps the values it did not match
        if (bandLimitsValid(low, high))
            return std::make_pair(low, high);
    }
    return std::nullopt;
}

std::string bandMenuText(const analysis::BandRecord& band)
{
    char text[64];
    std::snprintf(text, sizeof text, "&%s... %6.1f  -%6.1f", band.name.c_str(), band.low, band.high);
    return text;
}

std::string bandEditText(float low, float high)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.1f  -%.1f", low, high);
    return text;
}

std::string bandDefaultText(float low, float high)
{
    char text[48];
    std::snprintf(text, sizeof text, "%6.1f  -%6.1f", low, high);
    return text;
}

}  // namespace views
