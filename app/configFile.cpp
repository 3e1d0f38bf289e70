#include "app/configFile.h"

#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>

#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"

namespace app {

using state::settings;
using state::startup;
using state::kNoPort;
using state::AppSettings;
using state::ChannelSetting;
using state::defaultScale;

WindowLayout windowLayout;

namespace {

constexpr double kVersion = 6.81;
constexpr int kReservedWords = 14;

// Reads little-endian fields from a byte block; any read past its end marks it short.
class FieldReader {
public:
    explicit FieldReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    std::uint32_t word()
    {
        if (pos_ + 4 > bytes_.size()) {
            short_ = true;
            pos_ = bytes_.size();
            return 0;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t{bytes_[pos_ + i]} << (8 * i);
        pos_ += 4;
        return v;
    }
    std::int32_t integer() { return static_cast<std::int32_t>(word()); }
    bool flag() { return word() != 0; }
    std::vector<std::uint8_t> block(std::size_t size)
    {
        if (pos_ + size > bytes_.size()) {
            short_ = true;
            return {};
        }
        pos_ += size;
        return std::vector<std::uint8_t>(bytes_.begin() + static_cast<long>(pos_ - size), bytes_.begin() + static_cast<long>(pos_));
    }
    bool isShort() const { return short_; }
    bool atEnd() const { return pos_ >= bytes_.size(); }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t pos_ = 0;
    bool short_ = false;
};

// The settings block as read, applied only when complete.
struct StoredSettings {
    AppSettings values;
    std::uint16_t channelMode = 0;
    std::array<float, 7> calibration{};
};

std::int32_t steppedOr(std::int32_t value, std::int32_t low, std::int32_t high, std::int32_t fallback)
{
    return value >= low && value <= high ? value / 10 * 10 : fallback;
}

bool readVersion(FieldReader& in)
{
    const std::uint64_t bits = in.word() | (std::uint64_t{in.word()} << 32);
    return !in.isShort() && std::bit_cast<double>(bits) == kVersion;
}

bool readSettings(FieldReader& in, StoredSettings& s)
{
    AppSettings& v = s.values;
    v.savedPortBase = in.integer();
    v.showChannelSettings = in.flag();
    v.showPlayControl = in.flag();
    v.spectrumCurrentSegment = in.flag();
    s.channelMode = static_cast<std::uint16_t>(in.word() & 0xFFFF);
    const std::int32_t speed = in.integer();
    v.playSpeedIndex = speed >= 0 ? speed % 6 : 3;  // a negative speed has no meaning: the default
    for (int c = 0; c < 4; ++c) {
        v.channelSettings[c].scale = steppedOr(in.integer(), 10, 2000, defaultScale(c, s.channelMode));
        v.channelSettings[c].artifact = steppedOr(in.integer(), 20, 1000, 1000);
        v.channelSettings[c].on = in.flag();
    }
    v.autoUploadAtStart = in.flag() || startup.autoUpload;
    for (float& f : s.calibration) {
        f = std::bit_cast<float>(in.word());
        if (!(f >= 0.7f && f <= 1.3f))
            f = 1.0f;
    }
    const std::uint32_t report = in.word();
    v.reportPatientInfo = report & 1;
    v.reportBands = report & 2;
    v.reportSpectrum = report & 4;
    v.reportGraph = report & 8;
    v.reportGraphColor = report & 16;
    const std::int32_t scale = in.integer();
    v.reportTimeScale = scale >= 0 && scale <= 8 ? scale : 4;
    for (int i = 0; i < kReservedWords; ++i)
        in.word();
    return !in.isShort();
}

std::optional<WindowRecord> readRecord(FieldReader& in)
{
    WindowRecord r;
    r.commandId = in.integer();
    r.x = in.integer();
    r.y = in.integer();
    r.width = in.integer();
    r.height = in.integer();
    r.flags = in.word();
    if (in.isShort())
        return std::nullopt;
    return r;
}

// The records after the frame's, until the file ends or a record is cut short.
std::vector<SavedWindow> readWindows(FieldReader& in)
{
    std::vector<SavedWindow> windows;
    while (!in.atEnd()) {
        const auto record = readRecord(in);
        if (!record)
            break;
        SavedWindow w{*record, {}};
        if (record->commandId == 26 || record->commandId == 27) {
            w.state = in.block(record->commandId == 26 ? kBandsStateSize : kSpectrumStateSize);
            if (in.isShort())
                break;
        }
        windows.push_back(std::move(w));
    }
    return windows;
}

void apply(const StoredSettings& s)
{
    const std::uint16_t port = settings.portBase;
    settings = s.values;
    settings.portBase = port;
    data::Recording& primary = data::recordings.primary;
    primary.header[data::hw::channelMode] = s.channelMode;
    primary.header[data::hw::channelModeCopy] = s.channelMode;
    primary.calibrationFactors = s.calibration;
}

class FieldWriter {
public:
    void word(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void record(const WindowRecord& r)
    {
        for (std::int32_t v : {r.commandId, r.x, r.y, r.width, r.height})
            word(static_cast<std::uint32_t>(v));
        word(r.flags);
    }
    std::vector<std::uint8_t> bytes;
};

void writeSettings(FieldWriter& out)
{
    const AppSettings& v = settings;
    const data::Recording& primary = data::recordings.primary;
    const std::uint64_t version = std::bit_cast<std::uint64_t>(kVersion);
    out.word(static_cast<std::uint32_t>(version));
    out.word(static_cast<std::uint32_t>(version >> 32));
    out.word(v.portBase == kNoPort ? 0x3F8u : v.portBase);
    out.word(v.showChannelSettings);
    out.word(v.showPlayControl);
    out.word(v.spectrumCurrentSegment);
    out.word(primary.header[data::hw::channelMode]);
    out.word(static_cast<std::uint32_t>(v.playSpeedIndex));
    for (const ChannelSetting& c : v.channelSettings) {
        out.word(static_cast<std::uint32_t>(c.scale));
        out.word(static_cast<std::uint32_t>(c.artifact));
        out.word(c.on);
    }
    out.word(v.autoUploadAtStart);
    for (float f : primary.calibrationFactors)
        out.word(std::bit_cast<std::uint32_t>(f));
    out.word((v.reportPatientInfo ? 1u : 0u) | (v.reportBands ? 2u : 0u) | (v.reportSpectrum ? 4u : 0u) |
             (v.reportGraph ? 8u : 0u) | (v.reportGraphColor ? 16u : 0u));
    out.word(static_cast<std::uint32_t>(v.reportTimeScale));
    for (int i = 0; i < kReservedWords; ++i)
        out.word(0);
}

}  // namespace

void applyDefaultConfiguration(state::AppSettings& settings, data::Recording& recording)
{
    settings.applyDefaults();
    recording.header[data::hw::channelMode] = 0;
    recording.header[data::hw::channelModeCopy] = 0;
    recording.calibrationFactors.fill(1.0f);
}

bool readConfiguration(const std::string& path)
{
    windowLayout.frame.reset();
    windowLayout.windows.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    FieldReader in(bytes);
    StoredSettings stored;
    stored.values.portBase = settings.portBase;
    if (!readVersion(in) || !readSettings(in, stored))
        return false;
    apply(stored);
    windowLayout.frame = readRecord(in);
    if (windowLayout.frame)
        windowLayout.windows = readWindows(in);
    return true;
}

std::vector<std::uint8_t> configurationBytes(const std::vector<SavedWindow>& windows)
{
    FieldWriter out;
    writeSettings(out);
    for (const SavedWindow& w : windows) {
        out.record(w.record);
        // Bands and Spectrum records carry their state block at its full size.
        const std::size_t size = w.record.commandId == 26 ? kBandsStateSize : w.record.commandId == 27 ? kSpectrumStateSize : 0;
        std::vector<std::uint8_t> state = w.state;
        state.resize(size, 0);
        out.bytes.insert(out.bytes.end(), state.begin(), state.end());
    }
    return out.bytes;
}

bool writeConfiguration(const std::string& path, const std::vector<SavedWindow>& windows)
{
    const std::vector<std::uint8_t> bytes = configurationBytes(windows);
    return data::writeWholeFile(path, bytes.data(), bytes.size());
}

}  // namespace app
