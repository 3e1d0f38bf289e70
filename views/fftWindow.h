#pragma once

#include <QWidget>
#include <functional>

#include "platform/commands.h"
#include "views/fftPage.h"

#include <optional>

class QMenu;

namespace views {

// The FFT window: per switched-on EEG channel the amplitude spectrum of the
// current epoch or the average over the accumulated epochs. Before playback or
// monitoring has processed an epoch it shows the recording's own spectrum (its
// last epoch, or the average over all its selected epochs), computed once.
class FftWindow : public QWidget, public platform::CommandWindow {
public:
    platform::WindowKind windowKind() const override { return platform::WindowKind::fft; }
    explicit FftWindow(QWidget* parent = nullptr);
    bool onCommand(int id, long wParam, long lParam) override;
    // "FFT (%s)%s %s": the mode, the monitor's mode, "(Auto Upload)".
    static QString title();

    // Fills the right-button menu with the FFT menu's "&Spectrum" items; set by the frame.
    std::function<void(QMenu*)> fillContextMenu;
    // Tells the frame that the mode changed (its title and menus follow).
    std::function<void()> modeChanged;

    // The page the window shows now (its current view).
    FftSnapshot shownPage();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::optional<FftSnapshot> idle_;
};

}  // namespace views
