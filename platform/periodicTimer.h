#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace platform {

// A periodic callback on a thread of its own, at a steady rate: a late period
// is made up by the next ones, so the average rate holds. The callback must be
// short and thread-safe.
class PeriodicTimer {
public:
    PeriodicTimer() = default;
    ~PeriodicTimer() { stop(); }
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // Replaces any running period.
    void start(std::chrono::microseconds period, std::function<void()> callback);
    // Returns once the callback can no longer run.
    void stop();
    bool running() const { return thread_.joinable(); }
    // The running period, zero when stopped.
    std::chrono::microseconds period() const { return running() ? period_ : std::chrono::microseconds{0}; }

private:
    std::chrono::microseconds period_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace platform
