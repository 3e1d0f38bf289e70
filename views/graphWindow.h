#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "platform/commands.h"
#include "monitor/graphPage.h"

namespace views {

// The Graph window: the EEG page of the primary recording, one strip per
// switched-on channel. While monitoring or playback runs it shows the live
// page the threads fill; otherwise it shows a page of the recording, which
// Page Up, Page Down, Home and End turn.
class GraphWindow : public QWidget, public platform::CommandWindow {
public:
    platform::WindowKind windowKind() const override { return platform::WindowKind::graph; }
    explicit GraphWindow(QWidget* parent = nullptr);

    bool onCommand(int id, long wParam, long lParam) override;
    // The title: "Graph %s %s" with the monitor's mode and "(Auto Upload)".
    static QString title();
    // The page the window shows now (its current view).
    monitor::GraphSnapshot shownPage() const;
    // The page shown while nothing plays (0-based).
    std::uint32_t idlePage() const { return idlePage_; }

    // The live page changed while the display is at `column`: repaints the
    // columns drawn since the last call (and the ones cleared ahead of the
    // display), or the whole page when more than columns changed.
    void liveUpdate(int column);

    // Opens the channel-settings window; set by the frame.
    std::function<void()> openChannelSettings;

private:
    // The accessible name and description: the recording and the page or epoch shown.
    void describeShown(const monitor::GraphSnapshot& page);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh(bool newRecording);
    QRect columnsRect(int first, int last) const;
    std::uint32_t idlePage_ = 0;
    int liveColumn_ = -1;           // the display's column at the last live update
    std::uint64_t liveOutline_ = 0;  // the page's outline version then
    QRect liveRect_;                 // what live updates asked to repaint since the last paint
};

}  // namespace views
