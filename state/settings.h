#pragma once

#include <array>
#include <cstdint>

namespace state {

constexpr std::uint16_t kNoPort = 0xFFFF;

struct ChannelSetting {
    std::int32_t scale = 200;     // 10 to 2000 in steps of 10
    std::int32_t artifact = 1000;  // 20 to 1000 in steps of 10
    bool on = true;
};

// The persisted application settings. The calibration factors and the channel
// configuration are the primary recording's own members (reading a recording
// replaces them); everything else lives here. One instance.
struct AppSettings {
    std::uint16_t portBase = kNoPort;
    std::int32_t savedPortBase = 0x3F8;
    bool showChannelSettings = false;
    bool showPlayControl = false;
    bool spectrumCurrentSegment = false;
    std::int32_t playSpeedIndex = 3;
    std::array<ChannelSetting, 4> channelSettings{};
    bool autoUploadAtStart = false;
    bool reportPatientInfo = true;
    bool reportBands = false;
    bool reportSpectrum = false;
    bool reportGraph = false;
    bool reportGraphColor = false;
    std::int32_t reportTimeScale = 4;

    // The defaults; `portBase` is left alone. (The recording's part of the
    // configuration has its own defaults: app::applyDefaultConfiguration.)
    void applyDefaults();
    // Everything back to start-up values, `portBase` included.
    void reset();
};

extern AppSettings settings;

// The default scale of a channel (0 to 3) for a channel configuration.
std::int32_t defaultScale(int channel, std::uint16_t channelMode);

}  // namespace state
