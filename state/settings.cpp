#include "state/settings.h"

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
    for (int c = 0; c < 4; ++c)
        channelSettings[c].scale = defaultScale(c, 0);
}

void AppSettings::reset()
{
    *this = AppSettings{};
    applyDefaults();
}

}  // namespace state
