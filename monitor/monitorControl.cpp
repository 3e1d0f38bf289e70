#include "monitor/monitorControl.h"
#include "platform/commandIds.h"

#include <thread>

#include "data/autoFiling.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/displayThread.h"
#include "monitor/epochEngine.h"
#include "monitor/epochThread.h"
#include "monitor/graphPage.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorReader.h"
#include "monitor/monitorState.h"
#include "platform/periodicTimer.h"
#include "platform/serialDevice.h"

namespace monitor {

namespace {

// The threads the commands start; only the controlling thread touches them.
struct MonitorThreads {
    std::thread reader;
    platform::SerialDevice* line = nullptr;  // the reader's, woken when the session ends
    std::thread display;
    platform::PeriodicTimer timer;
    std::atomic<bool> readerDone{true};

    // At the process's end nothing may still run on them.
    ~MonitorThreads()
    {
        monitorState.playThreadRunning = false;
        monitorState.liveSession = false;
        for (std::thread* t : {&reader, &display})
            if (t->joinable())
                t->join();
    }
};

MonitorThreads threads;

// Microseconds per displayed sample for the speeds 25 % to 500 % (Step has no timer).
constexpr int kSpeedPeriodUs[6] = {0, 20000, 10000, 5000, 2000, 1000};

void join(std::thread& t)
{
    if (t.joinable())
        t.join();
}

// The reader sees the session's end at once: its wait on the line is woken.
void stopReader()
{
    if (threads.reader.joinable() && threads.line)
        threads.line->wakeWaiter();
    join(threads.reader);
    threads.line = nullptr;
}

void startDisplay()
{
    join(threads.display);
    monitorState.playThreadRunning = true;
    threads.display = std::thread([] { runDisplay(455); });
}

void startTimer(int speedIndex)
{
    MonitorState& m = monitorState;
    threads.timer.stop();
    m.ticks = 0;
    m.playSpeed = speedIndex;
    if (speedIndex > 0 && speedIndex < 6)
        threads.timer.start(std::chrono::microseconds(kSpeedPeriodUs[speedIndex]), [&m] { ++m.ticks; });
}

// The spectra the epoch thread computed become the recording's FFT data.
void keepEpochSpectra(data::Recording& rec)
{
    const int channels = rec.header[data::hw::channelMode] == 1 ? 4 : 2;
    for (int c = 0; c < data::kChannels; ++c) {
        std::vector<std::int16_t>& store = rec.fftData[static_cast<std::size_t>(c)];
        std::fill(store.begin(), store.end(), std::int16_t{0});
        if (c >= channels)
            continue;
        for (int slot = 0; slot < data::kMaxEpochs; ++slot)
            std::copy_n(epochData.vector(c, slot), data::kFftValuesPerEpoch,
                        store.begin() + static_cast<long>(slot) * data::kFftValuesPerEpoch);
    }
}

// The monitored samples as a new recording.
void makeRecording(data::Recording& rec, const std::tm& now)
{
    rec.header[data::hw::contentFlags] |= 0x3C;
    keepEpochSpectra(rec);
    rec.header[data::hw::epochCount] = static_cast<std::uint16_t>(rec.rawChannels[0].count / data::kEpochSamples);
    data::stampDateTime(rec, now);
    // The calibration the instrument sent goes into the header, which a file keeps verbatim.
    data::encodeHeaderFloats(rec);
    for (int ch = 0; ch < data::kChannels; ++ch)
        data::channelAlignForPlayback(rec, ch, rec.playStartSecond);
}

}  // namespace

void beginMonitoring(platform::SerialDevice& device, int portNumber)
{
    MonitorState& m = monitorState;
    stopDisplay();
    join(threads.reader);
    data::recordings.ringMode = true;
    data::recordings.limitedMode = false;
    data::recordings.overflow = false;
    // Nothing of the recording before: its FFT store and epoch spectra go too.
    for (auto& store : data::recordings.primary.fftData)
        std::fill(store.begin(), store.end(), std::int16_t{0});
    epochData.reset();
    m.treatmentStarted = false;
    m.lineHeard = false;
    // Live data begins at its first sample, whatever range was played before.
    data::recordings.primary.playStartSecond = data::recordings.primary.playEndSecond = 0;
    m.liveSession = true;
    resetDisplayPart();
    threads.readerDone = false;
    threads.line = &device;
    threads.reader = std::thread([&device, portNumber] {
        runMonitorReader(device, portNumber);
        threads.readerDone = true;
    });
    startDisplay();
}

bool readerEnded() { return threads.readerDone; }

bool endMonitoring(const std::tm& now)
{
    MonitorState& m = monitorState;
    // The display and epoch threads end while the session still counts as
    // live, so the last epochs are computed from the channels; then the reader.
    m.playThreadRunning = false;
    join(threads.display);
    joinEpochThread();
    m.liveSession = false;
    stopReader();
    data::recordings.ringMode = false;
    data::recordings.limitedMode = false;
    data::Recording& rec = data::recordings.primary;
    bool any = false;
    for (const data::SampleRing& ring : rec.rawChannels)
        any = any || ring.count > 0;
    if (!any) {
        for (int ch = 0; ch < data::kChannels; ++ch)
            data::channelClear(rec, ch);
        return false;
    }
    makeRecording(rec, now);
    m.displayComplete = true;
    monitorHooks.toPlayControl(cmd::statusText, "Complete");
    return true;
}

void togglePlayback(int speedIndex)
{
    MonitorState& m = monitorState;
    if (m.playThreadRunning) {
        stopDisplay();
    } else if (!m.liveSession) {
        startTimer(speedIndex);
        startDisplay();
    }
    monitorHooks.toPlayControl(cmd::refreshTool, "");
}

void setPlaySpeed(int speedIndex)
{
    MonitorState& m = monitorState;
    if (m.playThreadRunning && !m.liveSession)
        startTimer(speedIndex);
    else
        m.playSpeed = speedIndex;
}

std::chrono::microseconds playTimerPeriod() { return threads.timer.period(); }

void resetPlayback()
{
    MonitorState& m = monitorState;
    if (!m.playThreadRunning) {
        join(threads.display);
        resetDisplayPart();
        return;
    }
    const int speed = m.playSpeed;
    stopDisplay();
    resetDisplayPart();
    togglePlayback(speed);
}

bool rejectEpoch()
{
    MonitorState& m = monitorState;
    data::Recording& rec = data::recordings.primary;
    if (!m.playThreadRunning)
        join(threads.display);  // a display that just stopped has finished its step
    if (m.playThreadRunning) {
        if (m.epochSample < 0)
            return false;
        monitor::graphPage.rejectColumns(m.epochStartColumn, m.column);
        m.epochRejected = true;
    } else if (m.epochSample >= 0) {
        const bool rejected = !m.epochRejected;
        m.epochRejectedByUser = m.epochRejected = rejected;
        if (rejected)
            monitor::graphPage.rejectColumns(m.epochStartColumn, m.column);
        else
            monitor::graphPage.acceptColumns(m.epochStartColumn, m.column);
    } else if (m.epochComplete) {
        // The completed epoch has been summed (or not) by the epoch thread: wait
        // for it, then move the epoch into or out of the accumulated sums.
        joinEpochThread();
        processPendingEpochs();
        platform::SectionGuard lockA(m.lockA);
        platform::SectionGuard lockB(m.lockB);
        const int slot = (m.currentEpoch + data::kMaxEpochs - 1) % data::kMaxEpochs;
        const bool selected = !rec.epochSelected[static_cast<std::size_t>(slot)];
        auto work = programEpochWork();
        setLastEpochSelected(work, slot, selected);
        const int last = m.epochStartColumn + data::kEpochSamples - 1;
        if (selected)
            monitor::graphPage.acceptColumns(m.epochStartColumn, last % monitor::kPageColumns);
        else
            monitor::graphPage.rejectColumns(m.epochStartColumn, last % monitor::kPageColumns);
        lockB.release();
        lockA.release();
        monitorHooks.selectionChanged(true);
        monitorHooks.spectraChanged();
    } else {
        return false;
    }
    monitorHooks.pageChanged();
    return true;
}

void stopDisplay()
{
    MonitorState& m = monitorState;
    m.playThreadRunning = false;
    m.waitForStep();
    join(threads.display);
    threads.timer.stop();
    joinEpochThread();
}

void stopAll()
{
    MonitorState& m = monitorState;
    stopDisplay();
    m.liveSession = false;
    stopReader();
    data::recordings.ringMode = false;
    data::recordings.limitedMode = false;
}

}  // namespace monitor
