#include "monitor/playControlWindow.h"
#include "platform/commandIds.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/recordingStore.h"
#include "monitor/epochThread.h"
#include "monitor/guiRecordingRead.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorState.h"
#include "monitor/playRange.h"
#include "state/settings.h"

namespace monitor {

namespace {

QPushButton* button(QWidget* parent, const char* text, int id, QGridLayout* grid, int row, int col)
{
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString("Button%1").arg(id));
    b->setAutoDefault(false);
    grid->addWidget(b, row, col);
    return b;
}

}  // namespace

PlayControlWindow::PlayControlWindow(QWidget* frame, std::function<void(int)> command, std::function<PlayControlFacts()> facts)
    : ToolDialog(frame, [this] { command_(cmd::playControlWindow); }), command_(std::move(command)), facts_(std::move(facts))
{
    setObjectName("ControlDialog");
    setWindowTitle("Control");
    auto* grid = new QGridLayout(this);
    time_ = new QLabel(this);
    time_->setObjectName("Time");
    time_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    time_->setMinimumWidth(70);
    status_ = new QLabel(this);
    status_->setObjectName("Status");
    grid->addWidget(time_, 0, 0);
    grid->addWidget(status_, 0, 1);
    auto* timeLabel = new QLabel("&Time Set:", this);
    timeSet_ = new QLineEdit(this);
    timeSet_->setObjectName("TimeSet");
    timeSet_->setMaxLength(10);
    timeLabel->setBuddy(timeSet_);
    grid->addWidget(timeLabel, 1, 0);
    grid->addWidget(timeSet_, 1, 1);
    auto* speedLabel = new QLabel("&Speed:", this);
    speed_ = new QComboBox(this);
    speed_->setObjectName("Speed");
    speed_->addItems({"Step", "25%", "50%", "100%", "250%", "500%"});
    speed_->setCurrentIndex(std::clamp(state::settings.playSpeedIndex, 0, 5));
    speedLabel->setBuddy(speed_);
    grid->addWidget(speedLabel, 2, 0);
    grid->addWidget(speed_, 2, 1);
    play_ = button(this, "Play&Back", 455, grid, 3, 0);
    reset_ = button(this, "&Reset", 456, grid, 3, 1);
    reject_ = button(this, "Re&ject", 457, grid, 4, 0);
    monitor_ = button(this, "&Monitor", 458, grid, 4, 1);
    for (auto [b, id] : {std::pair{play_, 455}, {reset_, 456}, {reject_, 457}, {monitor_, 458}})
        connect(b, &QPushButton::clicked, this, [this, id = id] { command_(id); });
    connect(timeSet_, &QLineEdit::editingFinished, this, [this] { timeSetLeft(); });
    connect(speed_, &QComboBox::activated, this, [this](int index) { speedChosen(index); });
    refresh();
}

void PlayControlWindow::refresh()
{
    const PlayControlFacts f = facts_();
    const MonitorState& m = monitorState;
    speed_->setEnabled(!f.live);
    timeSet_->setEnabled(!f.live);
    play_->setEnabled(f.eegOrFft && !f.live);
    reject_->setEnabled(f.eegOrFft && !f.live);
    monitor_->setEnabled(!f.transferBusy && !f.autoUpload && f.portOpen);
    if (!timeSet_->hasFocus())
        showPlayRange();
    monitor_->setText(f.live ? "Stop &Mon" : "&Monitor");
    play_->setText(f.playing && !f.live ? "Stop&Back" : "Play&Back");
    if (speed_->currentIndex() != state::settings.playSpeedIndex)
        speed_->setCurrentIndex(std::clamp(state::settings.playSpeedIndex, 0, 5));
    if (m.displayComplete)
        status_->setText("Complete");
}

// While a transfer fills the recording, the text stays as it was until the
// refresh at the transfer's end.
void PlayControlWindow::showPlayRange()
{
    readPrimaryFromGui([this](const data::Recording& rec) {
        timeSet_->setText(QString::fromStdString(playRangeText({rec.playStartSecond, rec.playEndSecond})));
    });
}

bool PlayControlWindow::onCommand(int id, long, long)
{
    switch (id) {
    case cmd::refreshTool: refresh(); return true;
    case cmd::playbackEnded:
        play_->setText("Play&Back");
        status_->setText(monitorState.displayComplete ? "Complete" : "");
        return true;
    case cmd::playBack: case cmd::resetPlayback: case cmd::rejectEpoch: case cmd::monitorLive: command_(id); return true;
    case cmd::startEpochThread: startEpochThread(); return true;
    default: return false;
    }
}

void PlayControlWindow::showText(int id, const QString& text)
{
    if (id == cmd::timeText || id == cmd::playedTime)
        time_->setText(text);
    else if (id == cmd::timeSetText && !timeSet_->hasFocus())
        timeSet_->setText(text);
    else if (id == cmd::statusText)
        status_->setText(text);
}

void PlayControlWindow::timeSetLeft()
{
    data::Recording& rec = data::recordings.primary;
    if (!monitorState.liveSession) {
        const PlayRange r = parsePlayRange(timeSet_->text().toStdString(), {rec.playStartSecond, rec.playEndSecond}, rec.lengthSeconds);
        rec.playStartSecond = r.start;
        rec.playEndSecond = r.end;
    }
    timeSet_->setText(QString::fromStdString(playRangeText({rec.playStartSecond, rec.playEndSecond})));
}

void PlayControlWindow::speedChosen(int index)
{
    state::settings.playSpeedIndex = index;
    setPlaySpeed(index);
}

}  // namespace monitor
