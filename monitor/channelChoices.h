#pragma once

#include <string>
#include <vector>

namespace monitor {

// The choices of the channel-settings window for channel `ch` (0 to 3) in a
// channel configuration (`fourChannels`: four EEG channels).

// Whether the channel is EMG or ECG: channels 3 and 4 of a two-channel configuration.
inline bool bodyChannel(int ch, bool fourChannels) { return ch >= 2 && !fourChannels; }

// The listed display scales: 10 to 2000 in steps of 10, ten times larger for EMG and ECG.
std::vector<int> scaleChoices(int ch, bool fourChannels);
// The stored scale of a listed value, and the list index of a stored scale.
int scaleOfChoice(int listed, int ch, bool fourChannels);
int scaleIndex(int scale);

// The artifact limits: 20 to 1000 in steps of 10.
std::vector<int> artifactChoices();
int artifactIndex(int artifact);

// The signal names a channel offers: "EEG1"; "EEG2"; "EMG", "EEG3"; "ECG", "EEG4".
std::vector<std::string> signalChoices(int ch);

}  // namespace monitor
