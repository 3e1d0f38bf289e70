#include "platform/signalDeferral.h"

#include "platform/stopSignals.h"

#include <csignal>
#include <mutex>

namespace platform {

namespace {

// The deferral's state: how many deferrals live, the handlers they replaced
// and the signal noted meanwhile.
struct DeferralState {
    std::mutex mutex;
    int depth = 0;
    StopSignals signals;
    volatile std::sig_atomic_t pending = 0;
};

DeferralState& state()
{
    static DeferralState s;
    return s;
}

void note(int signal)
{
    state().pending = signal;
}

}  // namespace

SignalDeferral::SignalDeferral()
{
    DeferralState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.depth++ > 0)
        return;
    s.pending = 0;
    s.signals.catchWith(note);
}

SignalDeferral::~SignalDeferral()
{
    DeferralState& s = state();
    std::lock_guard lock(s.mutex);
    if (--s.depth > 0)
        return;
    s.signals.restore();
    if (const int signal = s.pending; signal != 0) {
        s.pending = 0;
        std::raise(signal);
    }
}

}  // namespace platform
