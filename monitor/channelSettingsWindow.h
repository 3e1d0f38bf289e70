#pragma once

#include <array>
#include <functional>

#include "monitor/toolDialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace monitor {

// What a change in the channel-settings window asks the frame to redraw.
enum class ChannelChange {
    layout,         // a channel switched on or off: new strip layout everywhere
    scale,          // a display scale: the strips and the Report window's graph
    artifact,       // an artifact limit: the Graph window's lines
    configuration,  // two or four EEG channels
};

// The channel-settings tool window ("Setting"): per channel a switch, the
// signal, the display scale and the artifact limit. It edits the channel
// settings and the recording's channel configuration and tells the frame what
// to redraw.
class ChannelSettingsWindow : public ToolDialog {
public:
    // `changed` redraws; `close` carries out the frame's command 23.
    ChannelSettingsWindow(QWidget* frame, std::function<void(ChannelChange)> changed, std::function<void()> close);

    // 600: refresh from the recording's channel configuration.
    bool onCommand(int id, long wParam, long lParam) override;
    void refresh();

private:
    struct Channel {
        QGroupBox* group = nullptr;
        QCheckBox* on = nullptr;
        QComboBox* signal = nullptr;
        QLabel* scaleLabel = nullptr;
        QComboBox* scale = nullptr;
        QLabel* artifactLabel = nullptr;
        QComboBox* artifact = nullptr;
    };

    void build(int ch);
    void toggled(int ch);
    void scaleChosen(int ch, int index);
    void artifactChosen(int ch, int index);
    void configurationChosen(int index);
    // Fills the scale and artifact lists of a channel for the configuration.
    void fillLists(int ch);
    void enableControls(int ch);
    bool fourChannels() const { return configuration_.fourChannels; }
    // Takes the recording's configuration into `configuration_`; false while
    // another thread is filling the recording (a transfer), which leaves it as it was.
    bool readConfiguration();

    // The recording's channel configuration as the window last read it. The
    // live reader changes the recording under lock B and a transfer under the
    // recording lock, so the window reads it only through readConfiguration().
    struct Configuration {
        bool fourChannels = false;      // channels 3 and 4 record EEG
        bool fourChannelsCopy = false;  // the header's second copy of that choice
        bool listsLocked = false;       // the recording carries content: its configuration holds
    };
    Configuration configuration_;
    std::function<void(ChannelChange)> changed_;
    std::array<Channel, 4> channels_;
};

}  // namespace monitor
