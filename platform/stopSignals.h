#pragma once

#include <csignal>

namespace platform {

// The handlers of Ctrl+C (SIGINT) and SIGTERM replaced for a while; the ones
// they replaced come back with restore().
struct StopSignals {
    struct sigaction previous[2]{};

    // Installs `handler` for both; a signal ignored since the start stays ignored.
    void catchWith(void (*handler)(int));
    void restore();
};

}  // namespace platform
