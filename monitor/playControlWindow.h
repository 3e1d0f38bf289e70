#pragma once

#include <functional>

#include "monitor/toolDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace monitor {

// What the play-control window shows about the program.
struct PlayControlFacts {
    bool live = false;
    bool playing = false;
    bool eegOrFft = false;      // the recording holds raw EEG or FFT data
    bool transferBusy = false;
    bool autoUpload = false;
    bool portOpen = false;
};

// The play-control tool window ("Control"): the time display, the play range,
// the speed, and the buttons Play&Back (455), Reset (456), Reject (457) and
// Monitor (458), which it hands to the frame. A view over the monitor state
// and the primary recording.
class PlayControlWindow : public ToolDialog {
public:
    // `command` carries out 24 (close) and 455 to 458; `facts` tells the state.
    PlayControlWindow(QWidget* frame, std::function<void(int)> command, std::function<PlayControlFacts()> facts);

    // 600 refresh; 604 playback ended; 605, 452 and 453 with a text: use showText.
    bool onCommand(int id, long wParam, long lParam) override;
    // 451/605 time display, 452 Time Set field, 453 status.
    void showText(int id, const QString& text);
    void refresh();

private:
    void showPlayRange();
    void timeSetLeft();
    void speedChosen(int index);

    std::function<void(int)> command_;
    std::function<PlayControlFacts()> facts_;
    QLabel* time_ = nullptr;
    QLineEdit* timeSet_ = nullptr;
    QLabel* status_ = nullptr;
    QComboBox* speed_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* reject_ = nullptr;
    QPushButton* monitor_ = nullptr;
};

}  // namespace monitor
