#include "state/settings.h"

#include "data/recordingStore.h"

namespace state {

AppSettings settings;

std::int32_t defaultScale(int channel, std::uint16_t channelMode)
{
    return channel < 2 || channelMode != 0 ? 200 : 100;
}

void AppSettings::applyDefaults()
{
    const std::uint16_t keptPort = portBase;
    *this = AppSettings{};
    portBase = keptPort;
    data::Recording& primary = data::recordings.primary;
    primary.header[data::hw::channelMode] = 0;
    primary.header[data::hw::channelModeCopy] = 0;
    for (int c = 0; c < 4; ++c)
        channelSettings[c].scale = defaultScale(c, 0);
    primary.calibrationFactors.fill(1.0f);
}

void AppSettings::reset()
{
    *this = AppSettings{};
    applyDefaults();
}

}  // namespace state
