#include "monitor/channelSettingsWindow.h"
#include "platform/commandIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

#include "data/recordingStore.h"
#include "monitor/channelChoices.h"
#include "monitor/guiRecordingRead.h"
#include "monitor/monitorState.h"
#include "state/settings.h"

namespace monitor {

namespace {

using data::hw::channelMode;
using data::hw::channelModeCopy;

state::ChannelSetting& setting(int ch) { return state::settings.channelSettings[static_cast<std::size_t>(ch)]; }

}  // namespace

ChannelSettingsWindow::ChannelSettingsWindow(QWidget* frame, std::function<void(ChannelChange)> changed, std::function<void()> close)
    : ToolDialog(frame, std::move(close)), changed_(std::move(changed))
{
    setObjectName("SettingDialog");
    setWindowTitle("Setting");
    auto* grid = new QGridLayout(this);
    for (int ch = 0; ch < 4; ++ch) {
        build(ch);
        grid->addWidget(channels_[static_cast<std::size_t>(ch)].group, ch / 2, ch % 2);
    }
    refresh();
}

void ChannelSettingsWindow::build(int ch)
{
    Channel& c = channels_[static_cast<std::size_t>(ch)];
    c.group = new QGroupBox(QString("Channel &%1").arg(ch + 1), this);
    c.group->setObjectName(QString("Channel%1").arg(400 + ch));
    auto* grid = new QGridLayout(c.group);
    c.on = new QCheckBox("&On", c.group);
    c.on->setObjectName(QString("On%1").arg(424 + ch));
    c.on->setChecked(setting(ch).on);
    c.signal = new QComboBox(c.group);
    c.signal->setObjectName(QString("Signal%1").arg(404 + ch));
    for (const std::string& s : signalChoices(ch))
        c.signal->addItem(QString::fromStdString(s));
    c.scaleLabel = new QLabel("&Scale:", c.group);
    c.scale = new QComboBox(c.group);
    c.scale->setObjectName(QString("Scale%1").arg(408 + ch));
    c.scaleLabel->setBuddy(c.scale);
    c.artifactLabel = new QLabel("&Artifact:", c.group);
    c.artifact = new QComboBox(c.group);
    c.artifact->setObjectName(QString("Artifact%1").arg(416 + ch));
    c.artifactLabel->setBuddy(c.artifact);
    grid->addWidget(c.on, 0, 0);
    grid->addWidget(c.signal, 0, 1);
    grid->addWidget(c.scaleLabel, 1, 0);
    grid->addWidget(c.scale, 1, 1);
    grid->addWidget(c.artifactLabel, 2, 0);
    grid->addWidget(c.artifact, 2, 1);
    connect(c.on, &QCheckBox::clicked, this, [this, ch] { toggled(ch); });
    connect(c.scale, &QComboBox::activated, this, [this, ch](int i) { scaleChosen(ch, i); });
    connect(c.artifact, &QComboBox::activated, this, [this, ch](int i) { artifactChosen(ch, i); });
    if (ch >= 2)
        connect(c.signal, &QComboBox::activated, this, [this](int i) { configurationChosen(i); });
    fillLists(ch);
}

bool ChannelSettingsWindow::readConfiguration()
{
    return readPrimaryFromGui([this](const data::Recording& rec) {
        configuration_.fourChannels = rec.header[channelMode] != 0;
        configuration_.fourChannelsCopy = rec.header[channelModeCopy] != 0;
        // The recording's own configuration holds while it carries any content.
        configuration_.listsLocked = (rec.contentFlags() & 0x00FF) != 0;
    });
}

void ChannelSettingsWindow::fillLists(int ch)
{
    Channel& c = channels_[static_cast<std::size_t>(ch)];
    const QSignalBlocker blockScale(c.scale), blockArtifact(c.artifact);
    c.scale->clear();
    for (int v : scaleChoices(ch, fourChannels()))
        c.scale->addItem(QString::number(v));
    c.scale->setCurrentIndex(scaleIndex(setting(ch).scale));
    c.artifact->clear();
    if (!bodyChannel(ch, fourChannels())) {
        for (int v : artifactChoices())
            c.artifact->addItem(QString::number(v));
        c.artifact->setCurrentIndex(artifactIndex(setting(ch).artifact));
    }
    enableControls(ch);
}

void ChannelSettingsWindow::enableControls(int ch)
{
    Channel& c = channels_[static_cast<std::size_t>(ch)];
    c.signal->setEnabled(ch >= 2 && !configuration_.listsLocked);
    const bool artifact = !bodyChannel(ch, fourChannels());
    c.artifact->setEnabled(artifact);
    c.artifactLabel->setEnabled(artifact);
}

void ChannelSettingsWindow::refresh()
{
    if (!readConfiguration())
        return;
    const QSignalBlocker block3(channels_[2].signal), block4(channels_[3].signal);
    channels_[2].signal->setCurrentIndex(configuration_.fourChannels ? 1 : 0);
    channels_[3].signal->setCurrentIndex(configuration_.fourChannelsCopy ? 1 : 0);
    for (int ch = 0; ch < 4; ++ch) {
        channels_[static_cast<std::size_t>(ch)].on->setChecked(setting(ch).on);
        fillLists(ch);
    }
    // As if the user had chosen the configuration: the layout, and the pair of
    // every analysis window in a two-channel recording.
    changed_(ChannelChange::configuration);
}

void ChannelSettingsWindow::toggled(int ch)
{
    setting(ch).on = !setting(ch).on;
    channels_[static_cast<std::size_t>(ch)].on->setChecked(setting(ch).on);
    enableControls(ch);
    changed_(ChannelChange::layout);
}

void ChannelSettingsWindow::scaleChosen(int ch, int index)
{
    const std::vector<int> values = scaleChoices(ch, fourChannels());
    if (index < 0 || index >= static_cast<int>(values.size()))
        return;
    setting(ch).scale = scaleOfChoice(values[static_cast<std::size_t>(index)], ch, fourChannels());
    if (setting(ch).on)
        changed_(ChannelChange::scale);
}

void ChannelSettingsWindow::artifactChosen(int ch, int index)
{
    const std::vector<int> values = artifactChoices();
    if (index < 0 || index >= static_cast<int>(values.size()))
        return;
    setting(ch).artifact = values[static_cast<std::size_t>(index)];
    if (setting(ch).on)
        changed_(ChannelChange::artifact);
}

void ChannelSettingsWindow::configurationChosen(int index)
{
    {
        platform::SectionGuard lockB(monitorState.lockB);
        data::Recording& rec = data::recordings.primary;
        rec.header[channelMode] = rec.header[channelModeCopy] = index != 0 ? 1 : 0;
    }
    configuration_.fourChannels = configuration_.fourChannelsCopy = index != 0;
    for (int ch = 2; ch < 4; ++ch) {
        const QSignalBlocker block(channels_[static_cast<std::size_t>(ch)].signal);
        channels_[static_cast<std::size_t>(ch)].signal->setCurrentIndex(index != 0 ? 1 : 0);
        fillLists(ch);
    }
    changed_(ChannelChange::configuration);
}

bool ChannelSettingsWindow::onCommand(int id, long, long)
{
    if (id != cmd::refreshTool)
        return false;
    refresh();
    return true;
}

}  // namespace monitor
