#pragma once

namespace platform {

// Holds Ctrl+C (SIGINT) and SIGTERM back while a file is being replaced, so
// that a save or rewrite always completes or rolls back and removes its
// temporary file. While any deferral lives, such a signal is only noted; when
// the last one ends, the previous handlers come back and a noted signal is
// raised again, to act as it would have. A signal that was ignored stays ignored.
class SignalDeferral {
public:
    SignalDeferral();
    ~SignalDeferral();
    SignalDeferral(const SignalDeferral&) = delete;
    SignalDeferral& operator=(const SignalDeferral&) = delete;
};

}  // namespace platform
