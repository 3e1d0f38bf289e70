#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QSocketNotifier;

namespace platform {

// Work that the program's other threads hand to the user-interface thread.
// A thread posts a task; the queue wakes the user-interface thread through an
// eventfd, and that thread runs the tasks in the order they came. The hand-over
// goes through the queue's own lock, so the tasks' captures are seen whole by
// the thread that runs them (and ThreadSanitizer sees the same ordering).
//
// The queue's lock is the last lock taken: nothing else is locked while it is
// held, and a task runs with it released.
//
// Made and closed on the user-interface thread. Tasks posted after close() are
// dropped; a thread waiting in runAndWait() is released with false.
class GuiQueue {
public:
    GuiQueue();
    ~GuiQueue();
    GuiQueue(const GuiQueue&) = delete;
    GuiQueue& operator=(const GuiQueue&) = delete;

    // Any thread: queues the task for the user-interface thread.
    void post(std::function<void()> task);
    // Any thread: runs the task on the user-interface thread and waits for it
    // (at once when called there). False when the queue closed first.
    bool runAndWait(const std::function<void()>& task);
    // Drops what is still queued and refuses what comes after.
    void close();

private:
    void drain();

    std::mutex lock_;
    std::condition_variable finished_;
    std::deque<std::function<void()>> tasks_;
    bool closed_ = false;
    int wake_ = -1;
    // False once the queue is gone: a task may destroy its owner, and the queue with it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace platform
