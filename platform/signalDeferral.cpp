#include "platform/signalDeferral.h"

#include <csignal>
#include <mutex>

namespace platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};

// The deferral's state: how many deferrals live, the handlers they replaced
// and the signal noted meanwhile.
struct DeferralState {
    std::mutex mutex;
    int depth = 0;
    struct sigaction previous[2] {};
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
    for (int i = 0; i < 2; ++i) {
        ::sigaction(kSignals[i], nullptr, &s.previous[i]);
        if (s.previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction noting {};
        noting.sa_handler = note;
        sigemptyset(&noting.sa_mask);
        ::sigaction(kSignals[i], &noting, nullptr);
    }
}

SignalDeferral::~SignalDeferral()
{
    DeferralState& s = state();
    std::lock_guard lock(s.mutex);
    if (--s.depth > 0)
        return;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSignals[i], &s.previous[i], nullptr);
    if (const int signal = s.pending; signal != 0) {
        s.pending = 0;
        std::raise(signal);
    }
}

}  // namespace platform
