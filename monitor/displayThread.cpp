#include "monitor/displayThread.h"
#include "platform/commandIds.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "analysis/spectralTable.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/epochEngine.h"
#include "monitor/epochThread.h"
#include "monitor/graphPage.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "monitor/spectralModes.h"

namespace monitor {

namespace {

using data::kEpochSamples;
using data::kMaxEpochs;
constexpr int kClearAhead = 16;
constexpr int kMaxSecond = 30000;
constexpr int kMaxPendingTicks = 50;  // a stall is not made up by a burst longer than this

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool hasRawEeg(const data::Recording& rec) { return (rec.contentFlags() & data::content::rawEeg) != 0; }

void showTime()
{
    const MonitorState& m = monitorState;
    char text[16];
    std::snprintf(text, sizeof text, "%c%d", m.timeOverflow ? '>' : ' ', m.displaySecond.load());
    monitorHooks.toPlayControl(cmd::playedTime, text);
}

// The play range; the live reader lengthens it, so it is read under lock B.
std::string playRange(const data::Recording& rec)
{
    platform::SectionGuard lockB(monitorState.lockB);
    return std::to_string(rec.playStartSecond) + "-" + std::to_string(rec.playEndSecond);
}

// Waits for the next timer period while playing back at a set speed; false
// when the display was stopped meanwhile.
bool waitForTick(bool live)
{
    MonitorState& m = monitorState;
    if (live || m.playSpeed == 0)
        return m.playThreadRunning;
    while (m.ticks <= 0 && m.playThreadRunning && m.playSpeed != 0)
        sleepMs(1);
    if (m.ticks > kMaxPendingTicks)
        m.ticks = kMaxPendingTicks;
    if (m.ticks > 0)
        --m.ticks;
    return m.playThreadRunning;
}

// The next sample of channel `ch` from its play cursor, under lock B; while
// live, waits for the reader. kNoSample when the data (or the display) ended.
std::int16_t nextSample(int ch, bool live)
{
    MonitorState& m = monitorState;
    for (;;) {
        std::int16_t s;
        {
            platform::SectionGuard lockB(m.lockB);
            s = data::channelNextPlayed(data::recordings.primary, ch, data::recordings);
        }
        if (s != data::kNoSample || !live || !m.playThreadRunning)
            return s;
        sleepMs(5);
    }
}

// Whether the sample raises an artifact, by the strip scales of the live page.
bool artifact(int ch, std::int16_t s, bool fourChannels, const monitor::StripScale& sc, int unit)
{
    const bool eeg = ch < 2 || fourChannels;
    if (!eeg || !sc.on || sc.scale <= 0)
        return false;  // a channel switched off raises no artifact
    const int y = static_cast<int>(std::trunc(s * (sc.factor * unit / sc.scale)));
    return std::abs(y) > sc.limit;
}

// Draws one column from the four channels; false when the data ended.
bool drawColumn(int column, bool live)
{
    MonitorState& m = monitorState;
    const data::Recording& rec = data::recordings.primary;
    bool marked = false, fourChannels = false;
    {
        // The reader writes both while monitoring.
        platform::SectionGuard lockB(m.lockB);
        marked = rec.conditionData[0][static_cast<std::size_t>(m.currentEpoch.load())] != 0;
        fourChannels = rec.header[data::hw::channelMode] != 0;
    }
    monitor::graphPage.clearColumns(column + 1, kClearAhead);
    monitor::graphPage.setMark(column, marked);
    const auto [scales, unit] = monitor::graphPage.scales();
    for (int ch = 0; ch < 4; ++ch) {
        const std::int16_t s = nextSample(ch, live);
        if (s == data::kNoSample) {
            m.playThreadRunning = false;
            if (!live)
                m.displayComplete = true;
            return false;
        }
        monitor::graphPage.setSample(ch, column, s);
        if (artifact(ch, s, fourChannels, scales[static_cast<std::size_t>(ch)], unit))
            m.epochRejectedByUser = true;
    }
    monitorHooks.pageChanged();
    return true;
}

void numberEpoch(int column)
{
    const MonitorState& m = monitorState;
    monitor::SegmentNumbers n = monitor::graphPage.segments();
    n.current = m.playedEpochs + 1;
    (column < monitor::kPageColumns / 2 ? n.firstHalf : n.secondHalf) = n.current;
    monitor::graphPage.setSegments(n);
}

// The finished epoch's selection and its rejected columns; the next epoch begins.
void completeEpoch(bool live)
{
    MonitorState& m = monitorState;
    data::Recording& rec = data::recordings.primary;
    const int finished = m.currentEpoch;
    const bool selected = !(m.epochRejectedByUser || m.epochRejected);
    {
        platform::SectionGuard lockB(m.lockB);
        const int next = (finished + 1) % kMaxEpochs;
        if (next == 0 && live)
            m.epochBaseFollows = true;
        if (m.epochBaseFollows)
            rec.epochBase = static_cast<std::uint32_t>((next + 1) % kMaxEpochs);
        rec.epochSelected[static_cast<std::size_t>(finished)] = selected;
        // The spectra are those of the samples just shown, whatever the reader
        // writes into the ring before the epoch thread sums them.
        auto work = programEpochWork();
        captureEpoch(work, finished, live);
        m.currentEpoch = next;
    }
    m.playedEpochs += 1;
    if (selected != rec.epochMarks[static_cast<std::size_t>(finished)])
        monitorHooks.selectionChanged(true);
    if (!selected)
        monitor::graphPage.rejectColumns(m.epochStartColumn, m.column);
    // Counting restarts at -1, so every epoch of the display is 256 samples,
    // exactly an epoch of the data.
    m.epochSample = -1;
    m.epochComplete = true;
    m.epochRejectedByUser = false;
    m.epochRejected = !rec.epochMarks[static_cast<std::size_t>(m.currentEpoch.load())];
    // Step ends here, once the epoch's state is whole.
    if (m.playSpeed == 0 && !live)
        m.playThreadRunning = false;
}

// One sample's step of the epoch clock.
void advanceClock(bool live)
{
    MonitorState& m = monitorState;
    m.epochComplete = false;
    if (++m.epochSample == 0) {
        m.epochStartColumn = m.column.load();
        numberEpoch(m.column);
    }
    const int second = m.displaySecond;
    const bool overflow = m.timeOverflow;
    if (++m.secondSample >= data::kSamplesPerSecond) {
        m.secondSample = 0;
        if (m.displaySecond < kMaxSecond)
            ++m.displaySecond;
        else
            m.timeOverflow = true;
    }
    if (m.epochSample == kEpochSamples - 1)
        completeEpoch(live);
    if (second != m.displaySecond || overflow != m.timeOverflow) {
        if (live)
            monitorHooks.toPlayControl(cmd::timeSetText, playRange(data::recordings.primary));
        showTime();
    }
    if (m.currentEpoch != m.processedEpoch)
        startEpochThread();
}

// One column of the display; false when the display ends.
bool step(bool live)
{
    MonitorState& m = monitorState;
    const data::Recording& rec = data::recordings.primary;
    if (!waitForTick(live))
        return false;
    m.column = (m.column + 1) % monitor::kPageColumns;
    if (!live && !hasRawEeg(rec)) {
        if (rec.epochCount(0) <= static_cast<std::uint32_t>(m.playedEpochs) ||
            rec.playEndSecond <= static_cast<std::uint32_t>(m.displaySecond)) {
            m.playThreadRunning = false;
            m.displayComplete = true;
            return false;
        }
    } else if (!drawColumn(m.column, live)) {
        return false;
    }
    advanceClock(live);
    return m.playThreadRunning;
}

void endRun()
{
    MonitorState& m = monitorState;
    if (m.displayComplete)
        monitorHooks.toPlayControl(cmd::statusText, "Complete");
    monitorHooks.toPlayControl(cmd::refreshTool, "");
    // An epoch paused part-way is shaded when it is rejected, whether by the
    // user, by its file's flag or by an artifact met so far.
    m.epochRejected = m.epochRejected || m.epochRejectedByUser;
    if (m.epochRejected && m.epochSample >= 0)
        monitor::graphPage.rejectColumns(m.epochStartColumn, m.column);
    monitorHooks.pageChanged();
}

}  // namespace

void selectEpochsAfterRead(data::Recording& rec)
{
    MonitorState& m = monitorState;
    data::selectStoredEpochs(rec, m.processedEpoch);
    m.currentEpoch = 0;
    m.epochRejected = !rec.epochMarks[0];
}

void resetEpochState(std::uint32_t firstEpoch)
{
    MonitorState& m = monitorState;
    data::Recording& rec = data::recordings.primary;
    m.epochBaseFollows = false;
    m.ringWrapped = false;
    m.timeOverflow = false;
    m.playedEpochs = static_cast<std::int32_t>(firstEpoch);
    const auto epoch = static_cast<std::int32_t>(data::epochIndex(rec, firstEpoch));
    m.processedEpoch = m.currentEpoch = epoch;
    m.displaySecond = static_cast<std::int32_t>(firstEpoch * kEpochSamples / data::kSamplesPerSecond);
    m.secondSample = static_cast<std::int32_t>(firstEpoch * kEpochSamples % data::kSamplesPerSecond);
    m.displayComplete = false;
    m.epochSample = -1;
    m.epochComplete = false;
    m.epochRejectedByUser = false;
    m.epochRejected = !rec.epochMarks[static_cast<std::size_t>(epoch)];
    rec.epochSelected.fill(true);
    auto work = programEpochWork();
    startAccumulation(work, static_cast<std::int32_t>(firstEpoch));
    monitorHooks.selectionChanged(false);
}

void resetDisplayPart()
{
    MonitorState& m = monitorState;
    data::Recording& rec = data::recordings.primary;
    const bool live = m.liveSession;
    {
        platform::SectionGuard lockB(m.lockB);
        m.displayComplete = false;
        m.column = -1;
        monitor::graphPage.clear();
        for (int ch = 0; ch < 4; ++ch) {
            if (live)
                data::channelClear(rec, ch);
            else
                data::channelAlignForPlayback(rec, ch, rec.playStartSecond);
        }
        resetEpochState(rec.playStartSecond * data::kSamplesPerSecond / kEpochSamples);
        computeSpectralTable(analysis::Accumulated);
        computeSpectralTable(analysis::Current);
    }
    showTime();
    monitorHooks.toPlayControl(cmd::statusText, "");
    monitorHooks.spectraChanged();
    monitorHooks.pageChanged();
}

void runDisplay(int command)
{
    MonitorState& m = monitorState;
    if (command == cmd::resetPlayback || m.displayComplete)
        resetDisplayPart();
    if (command == cmd::resetPlayback)
        return;
    platform::SectionGuard lockA(m.lockA);
    const bool live = m.liveSession;
    while (step(live)) {
    }
    endRun();
}

}  // namespace monitor
