#include "platform/stopSignals.h"

namespace platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};

}  // namespace

void StopSignals::catchWith(void (*handler)(int))
{
    for (int i = 0; i < 2; ++i) {
        ::sigaction(kSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction replacement {};
        replacement.sa_handler = handler;
        sigemptyset(&replacement.sa_mask);
        ::sigaction(kSignals[i], &replacement, nullptr);
    }
}

void StopSignals::restore()
{
    for (int i = 0; i < 2; ++i)
        ::sigaction(kSignals[i], &previous[i], nullptr);
}

}  // namespace platform
