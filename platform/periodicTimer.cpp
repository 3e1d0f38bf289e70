#include "platform/periodicTimer.h"

namespace platform {

void PeriodicTimer::start(std::chrono::microseconds period, std::function<void()> callback)
{
    stop();
    stop_ = false;
    period_ = period;
    thread_ = std::thread([this, period, callback = std::move(callback)] {
        auto next = std::chrono::steady_clock::now() + period;
        while (!stop_) {
            std::this_thread::sleep_until(next);
            if (stop_)
                break;
            callback();
            next += period;
        }
    });
}

void PeriodicTimer::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

}  // namespace platform
