#pragma once

namespace analysis {

struct ChannelPair {
    int a;
    int b;
};

// EEG1&2, EEG3&4, EEG1&3, EEG1&4, EEG2&3, EEG2&4.
inline constexpr ChannelPair channelPairs[6] = {{0, 1}, {2, 3}, {0, 2}, {0, 3}, {1, 2}, {1, 3}};

// The pair's channels; a pair number outside 1 to 5 is pair 0.
inline ChannelPair pairChannels(unsigned pair) { return channelPairs[pair <= 5 ? pair : 0]; }

}  // namespace analysis
