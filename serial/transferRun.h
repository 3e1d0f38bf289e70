#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "serial/transfers.h"

namespace serial {

// One transfer as its progress dialog runs it: opening starts the thread,
// Cancel (the user's, or the thread's own when it ends) closes it with the
// result: true when the transfer finished its work.
class TransferRun {
public:
    TransferRun(TransferKind kind, data::ProgressSink* progress);
    ~TransferRun();
    TransferRun(const TransferRun&) = delete;
    TransferRun& operator=(const TransferRun&) = delete;

    // The dialog opens: the stop request is cleared and the thread started.
    void start();
    // The user's Cancel: the dialog closes at once with result false, and the
    // thread ends at its next check (sending 0xF8 after a reception).
    void cancel();
    // Waits until the dialog has closed; false when the time ran out.
    bool waitClosed(std::chrono::milliseconds timeout);
    // Waits for the thread to end.
    void join();

    bool closed() const;
    bool result() const;
    // Called once when the dialog closes, on the thread that closed it (set before start()).
    std::function<void()> onClosed;

private:
    void close();
    void run();

    TransferKind kind_;
    data::ProgressSink* progress_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
    bool result_ = false;
    std::thread thread_;
};

}  // namespace serial
