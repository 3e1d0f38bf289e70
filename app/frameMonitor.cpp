// The frame's part in monitoring and playback: the two tool windows, the
// Tools commands 23, 24, 455 to 458 and 480 to 485, starting and stopping a
// live session, and the hooks through which the monitor threads reach the
// windows (always queued to this thread).
#include <QMdiSubWindow>
#include "platform/commandIds.h"
#include <QThread>
#include <QTimer>
#include <ctime>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingHooks.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "monitor/channelSettingsWindow.h"
#include "monitor/displayThread.h"
#include "monitor/guiRecordingRead.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "monitor/playControlWindow.h"
#include "platform/dialogs.h"
#include "platform/localTime.h"
#include "report/reportWindow.h"
#include "serial/serialPort.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "views/fftWindow.h"
#include "monitor/graphPage.h"
#include "views/graphWindow.h"
#include "views/tableWindow.h"

namespace app {

using state::settings;

namespace {


// The live Graph page is repainted at most once a frame of a 60 Hz screen.
constexpr qint64 kLiveRepaintMs = 16;

// Places a tool window by its saved record, else beside the frame's right edge.
void placeToolWindow(QWidget* window, const WindowRecord& record, QWidget* frame, int offset)
{
    window->adjustSize();
    const bool saved = (record.flags & 1u) && record.x != kDefaultPosition && record.y != kDefaultPosition;
    if (saved)
        window->move(record.x, record.y);
    else
        window->move(frame->geometry().right() - window->width() - 24, frame->geometry().top() + 60 + offset);
    // The saved size (never below what the controls need); it was the outer
    // size, so the frame's decorations come off again once they are known.
    if (saved && record.width > 0 && record.height > 0 && record.width != kDefaultPosition) {
        const QSize least = window->minimumSizeHint();
        window->resize(std::max(record.width, least.width()), std::max(record.height, least.height()));
    }
}

// Takes a shown tool window's decorations off the saved outer size.
void fitSavedToolSize(QWidget* window, const WindowRecord& record)
{
    if (!window->isVisible() || record.width <= 0 || record.width == kDefaultPosition)
        return;
    const QSize extra = window->frameGeometry().size() - window->size();
    if (extra.width() <= 0 && extra.height() <= 0)
        return;
    const QSize least = window->minimumSizeHint();
    window->resize(std::max(record.width - extra.width(), least.width()),
                   std::max(record.height - extra.height(), least.height()));
}

}  // namespace

monitor::PlayControlWindow* FrameWindow::playControlWindow() const { return playControl_; }
monitor::ChannelSettingsWindow* FrameWindow::channelSettingsWindow() const { return channelSettings_; }

void FrameWindow::ensureToolWindows(bool playControl)
{
    if (!channelSettings_) {
        installMonitorHooks();
        channelSettings_ = new monitor::ChannelSettingsWindow(
            this, [this](monitor::ChannelChange c) { channelsChanged(c); }, [this] { onCommand(cmd::channelSettingsWindow, 0, 0); });
        placeToolWindow(channelSettings_, windowLayout.channelSettingsRecord, this, 0);
        if (settings.showChannelSettings)
            channelSettings_->show();
        fitSavedToolSize(channelSettings_, windowLayout.channelSettingsRecord);
    }
    if (playControl && !playControl_) {
        const auto facts = [this] {
            const monitor::MonitorState& m = monitor::monitorState;
            monitor::PlayControlFacts f;
            f.live = m.liveSession;
            f.playing = m.playThreadRunning;
            monitor::readPrimaryFromGui([&](const data::Recording& rec) {
                f.eegOrFft = (rec.contentFlags() & (data::content::rawEeg | data::content::fftData)) != 0;
            });
            f.transferBusy = serial::transferState.transferBusy;
            f.autoUpload = m.autoUploadActive;
            f.portOpen = settings.portBase != state::kNoPort && serial::serialPort.portHandle != nullptr;
            return f;
        };
        // Its buttons are commands like the menu's, checked against the same rules.
        playControl_ = new monitor::PlayControlWindow(this, [this](int id) { onCommand(id, 0, 0); }, facts);
        placeToolWindow(playControl_, windowLayout.playControlRecord, this, channelSettings_->height() + 40);
        if (!monitor::monitorState.liveSession)
            monitor::resetPlayback();
        if (settings.showPlayControl)
            playControl_->show();
        fitSavedToolSize(playControl_, windowLayout.playControlRecord);
    }
    // (also when they existed: a port may have been found since)
    refreshToolWindows();
}

void FrameWindow::toolWindowCommand(int id)
{
    const bool settingsWindow = id == cmd::channelSettingsWindow;
    bool& shown = settingsWindow ? settings.showChannelSettings : settings.showPlayControl;
    QWidget* window = settingsWindow ? static_cast<QWidget*>(channelSettings_) : static_cast<QWidget*>(playControl_);
    if (!window)
        return;
    shown = !shown;
    window->setVisible(shown);
    if (shown)
        window->raise();
}

void FrameWindow::refreshToolWindows()
{
    // The recording in place now decides the channel configuration shown.
    if (channelSettings_)
        channelSettings_->refresh();
    if (playControl_)
        playControl_->refresh();
    if (graphSub_)
        graphSub_->setWindowTitle(views::GraphWindow::title());
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub != reportSub_ && sub != graphSub_ && sub->widget())
            platform::sendCommand(sub->widget(), cmd::relayout, 0, 0);
}

// Disabling nests (a print asks for its file inside a disabled spell): the
// windows come back when the last spell ends.
void FrameWindow::enableToolWindows(bool enabled)
{
    toolWindowsHeld_ = std::max(0, toolWindowsHeld_ + (enabled ? -1 : 1));
    for (QWidget* w : {static_cast<QWidget*>(playControl_), static_cast<QWidget*>(channelSettings_)})
        if (w)
            w->setEnabled(toolWindowsHeld_ == 0);
}

void FrameWindow::channelsChanged(monitor::ChannelChange change)
{
    const data::Recording& rec = data::recordings.primary;
    monitor::graphPage.layOut(rec);
    for (QMdiSubWindow* sub : {graphSub_.data(), fftSub_.data()})
        if (sub && sub->widget())
            sub->widget()->update();
    const bool reportGraph = reportWindow() && reportWindow()->page().showGraph && rec.rawChannels[0].count > 0;
    if (reportGraph && (change == monitor::ChannelChange::layout || change == monitor::ChannelChange::scale))
        platform::sendCommand(reportWindow(), cmd::relayout, 0, 0);
    if (change == monitor::ChannelChange::configuration && rec.header[data::hw::channelMode] == 0)
        for (QMdiSubWindow* sub : mdi_->subWindowList())
            if (sub != reportSub_ && sub != graphSub_ && sub->widget())
                platform::sendCommand(sub->widget(), cmd::firstPair, 0, 0);
}

void FrameWindow::monitorCommand(int id)
{
    monitor::MonitorState& m = monitor::monitorState;
    switch (id) {
    case cmd::playBack:
        if (!m.liveSession)
            monitor::togglePlayback(settings.playSpeedIndex);
        break;
    case cmd::resetPlayback: resetCommand(); break;
    case cmd::rejectEpoch: monitor::rejectEpoch(); break;
    case cmd::monitorLive: m.liveSession ? stopMonitoring() : startMonitoring(); break;
    default:
        if (id >= cmd::speedStep && id <= cmd::speed500) {
            settings.playSpeedIndex = id - cmd::speedStep;
            monitor::setPlaySpeed(settings.playSpeedIndex);
        }
        break;
    }
    refreshToolWindows();
}

void FrameWindow::startMonitoring()
{
    monitor::MonitorState& m = monitor::monitorState;
    if (!m.autoUploadActive && askToSave(this, true, "%s - Monitor", effects()) == platform::IDCANCEL) {
        m.autoUploadActive = false;
        retitle();
        refreshToolWindows();
        return;
    }
    monitor::stopDisplay();
    if (!serial::serialPort.portHandle || !serial::reopenPort(this))
        return;
    serial::configurePort();
    serial::setHandshake(serial::Handshake::receive);
    data::resetPrimary();
    document.reset();
    retitle();
    refreshViews(true);
    monitor::beginMonitoring(*serial::serialPort.portHandle, serial::serialPort.portNumber);
    refreshToolWindows();
    refreshViews(false);
}

void FrameWindow::stopMonitoring()
{
    const bool made = monitor::endMonitoring(platform::localNow());
    if (serial::serialPort.portHandle)
        serial::setHandshake(serial::Handshake::none);
    if (made)
        document.markNewMonitoring();
    retitle();
    refreshToolWindows();
    refreshViews(true);
}

void FrameWindow::resetCommand()
{
    monitor::MonitorState& m = monitor::monitorState;
    if (!m.liveSession) {
        monitor::resetPlayback();
        return;
    }
    // The EEG monitored so far is never thrown away: in auto-upload mode it is
    // filed as before an arriving recording, else the save prompt asks for it.
    if (m.autoUploadActive) {
        stopLiveSession();
        if (m.autoUploadActive)  // (off when the EEG could not be filed)
            startLiveSession();
    } else {
        stopMonitoring();
        startMonitoring();
    }
}

void FrameWindow::startLiveSession()
{
    monitor::MonitorState& m = monitor::monitorState;
    if (m.liveSession)
        return;
    monitor::stopDisplay();
    data::resetPrimary();
    refreshViews(false);
    if (serial::serialPort.portHandle) {
        if (!serial::reopenPort(this)) {
            m.autoUploadActive = false;
            retitle();
            refreshToolWindows();
            return;
        }
        serial::configurePort();
        serial::setHandshake(serial::Handshake::receive);
        monitor::beginMonitoring(*serial::serialPort.portHandle, serial::serialPort.portNumber);
    }
    document.currentFilePath.clear();
    document.currentFileName.clear();
    refreshToolWindows();
    retitle();
}

void FrameWindow::installMonitorHooks()
{
    monitor::MonitorHooks& h = monitor::monitorHooks;
    const auto queued = [this](std::function<void()> f) { gui_.post(std::move(f)); };
    h.postToFrame = [this, queued](int command) {
        queued([this, command] {
            if (command == cmd::monitorLive) {
                if (monitor::monitorState.liveSession)
                    stopMonitoring();
            } else if (command == cmd::autoUpload) {
                if (monitor::monitorState.autoUploadActive)
                    autoUpload();
            } else {
                onCommand(command, 0, 0);
            }
        });
    };
    h.readFailed = [this, queued](const std::string& message, bool) {
        queued([this, message] {
            platform::messageBox(mdi_, message, "Send", platform::Buttons::ok, platform::Icon::exclamation);
        });
    };
    h.channelConfiguration = [this, queued] {
        queued([this] {
            if (channelSettings_)
                channelSettings_->refresh();
        });
    };
    h.toPlayControl = [this, queued](int command, const std::string& text) {
        queued([this, command, text] {
            if (!playControl_)
                return;
            if (command == cmd::refreshTool)
                refreshToolWindows();
            else if (command == cmd::playbackEnded)
                playControl_->onCommand(cmd::playbackEnded, 0, 0);
            else
                playControl_->showText(command, QString::fromStdString(text));
        });
    };
    // The live page: one repaint queued at a time, at most one a frame of a
    // 60 Hz screen (16 ms), of the columns drawn since the last.
    h.pageChanged = [this, queued, repaint = liveRepaint_] {
        if (repaint->queued.exchange(true))
            return;
        queued([this, repaint] {
            const qint64 since = repaint->last.isValid() ? repaint->last.elapsed() : 1000;
            QTimer::singleShot(since >= kLiveRepaintMs ? 0 : static_cast<int>(kLiveRepaintMs - since), this, [this, repaint] {
                repaint->queued = false;
                repaint->last.start();
                if (auto* graph = graphSub_ ? dynamic_cast<views::GraphWindow*>(graphSub_->widget()) : nullptr)
                    graph->liveUpdate(monitor::monitorState.column);
            });
        });
    };
    h.spectraChanged = [this, queued] {
        queued([this] {
            for (QMdiSubWindow* sub : mdi_->subWindowList())
                if (sub != reportSub_ && sub != graphSub_ && sub->widget())
                    platform::sendCommand(sub->widget(), cmd::relayout, 0, 0);
        });
    };
    // What a reset of the recording and the opening of a file ask of the monitor and the windows.
    data::RecordingHooks& r = data::recordingHooks;
    r.clearTraceBuffers = [] { monitor::graphPage.clear(); };
    // A transfer resets the recording on its own thread: the windows are
    // refreshed on theirs.
    const auto onGui = [this, queued](std::function<void()> f) {
        if (QThread::currentThread() == thread())
            f();
        else
            queued(std::move(f));
    };
    r.refreshChannelSettings = [this, onGui] {
        onGui([this] {
            if (channelSettings_)
                channelSettings_->refresh();
        });
    };
    r.resetPlayControl = [this, onGui] {
        if (!playControl_)
            return false;
        monitor::resetPlayback();
        onGui([this] { refreshToolWindows(); });
        return true;
    };
    r.resetEpochState = [](std::uint32_t first) { monitor::resetEpochState(first); };
    r.stopDisplayThread = [] { monitor::stopDisplay(); };
    r.primaryRead = [](data::Recording& rec) { monitor::selectEpochsAfterRead(rec); };
    // A transfer starts or ends (on its thread): Monitor follows `transferBusy`.
    serial::transferHooks.refreshPlayControl = [this, queued] { queued([this] { refreshToolWindows(); }); };
    // The user gave up a port that cannot be reopened.
    serial::serialPort.onPortLost = [this] {
        monitor::monitorState.autoUploadActive = false;
        retitle();
        refreshToolWindows();
    };
    h.selectionChanged = [this, queued](bool edited) {
        queued([edited] {
            document.playbackEdited = edited;
            if (edited)
                document.dataModified = true;
        });
    };
}

}  // namespace app
