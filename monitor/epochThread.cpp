#include "monitor/epochThread.h"

#include <mutex>
#include <thread>

#include "analysis/spectralTable.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"

namespace monitor {

namespace {

// The one epoch thread; started by the display thread or the user-interface
// thread, joined by whoever stops monitoring or playback.
struct EpochWorker {
    std::mutex mutex;
    std::thread thread;

    ~EpochWorker()
    {
        if (thread.joinable())
            thread.join();
    }
};

EpochWorker worker;

}  // namespace

void processPendingEpochs()
{
    MonitorState& m = monitorState;
    bool changed = false;
    // Lock B is taken epoch by epoch, so the reader and the display go on
    // between two epochs of a long backlog.
    for (int e = m.processedEpoch; e != m.currentEpoch; e = m.processedEpoch) {
        monitorHooks.beforeEpoch(e);
        platform::SectionGuard lockB(m.lockB);
        auto work = programEpochWork();
        processEpoch(work, e, m.liveSession);
        const int next = (e + 1) % 670;
        if (next == 0 && m.liveSession)
            m.ringWrapped = true;
        m.processedEpoch = next;
        changed = true;
    }
    if (changed)
        monitorHooks.spectraChanged();
}

void startEpochThread()
{
    MonitorState& m = monitorState;
    std::lock_guard guard(worker.mutex);
    if (m.epochThreadBusy.exchange(true))
        return;  // the running thread sees the new epoch before it ends
    if (worker.thread.joinable())
        worker.thread.join();
    worker.thread = std::thread([&m] {
        do {
            processPendingEpochs();
            m.epochThreadBusy = false;
            // An epoch completed while the thread was ending is not left behind.
        } while (m.processedEpoch != m.currentEpoch && !m.epochThreadBusy.exchange(true));
    });
}

void joinEpochThread()
{
    std::lock_guard guard(worker.mutex);
    if (worker.thread.joinable())
        worker.thread.join();
}

}  // namespace monitor
