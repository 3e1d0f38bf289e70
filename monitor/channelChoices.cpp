#include "monitor/channelChoices.h"

#include <algorithm>

namespace monitor {

std::vector<int> scaleChoices(int ch, bool fourChannels)
{
    const int factor = bodyChannel(ch, fourChannels) ? 10 : 1;
    std::vector<int> values;
    for (int v = 10; v <= 2000; v += 10)
        values.push_back(v * factor);
    return values;
}

int scaleOfChoice(int listed, int ch, bool fourChannels) { return bodyChannel(ch, fourChannels) ? listed / 10 : listed; }

int scaleIndex(int scale) { return std::clamp((scale - 10) / 10, 0, 199); }

std::vector<int> artifactChoices()
{
    std::vector<int> values;
    for (int v = 20; v <= 1000; v += 10)
        values.push_back(v);
    return values;
}

int artifactIndex(int artifact) { return std::clamp((artifact - 20) / 10, 0, 98); }

std::vector<std::string> signalChoices(int ch)
{
    switch (ch) {
    case 0: return {"EEG1"};
    case 1: return {"EEG2"};
    case 2: return {"EMG", "EEG3"};
    default: return {"ECG", "EEG4"};
    }
}

}  // namespace monitor
