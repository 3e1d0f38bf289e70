#include "platform/guiQueue.h"

#include <QSocketNotifier>
#include <QThread>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace platform {

GuiQueue::GuiQueue() : wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (wake_ < 0)
        throw std::runtime_error("No event descriptor for the user-interface queue");
    notifier_ = std::make_unique<QSocketNotifier>(wake_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { drain(); });
}

GuiQueue::~GuiQueue()
{
    close();
    *alive_ = false;
    // The notifier may be the sender of the signal running now (a task that
    // destroyed the queue's owner), so it goes when control is back in the loop.
    notifier_->disconnect();
    notifier_->setEnabled(false);
    notifier_.release()->deleteLater();
    std::lock_guard<std::mutex> held(lock_);
    ::close(wake_);
    wake_ = -1;
}

void GuiQueue::post(std::function<void()> task)
{
    // The wake-up is written under the lock too, so it never meets a closed descriptor.
    std::lock_guard<std::mutex> held(lock_);
    if (closed_)
        return;
    tasks_.push_back(std::move(task));
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

bool GuiQueue::runAndWait(const std::function<void()>& task)
{
    if (notifier_ && QThread::currentThread() == notifier_->thread()) {
        task();
        return true;
    }
    // The task marks itself done under the lock; a close wakes the waiter too.
    // The flag is shared, so a waiter released by close() leaves nothing behind
    // that the task could still write.
    auto done = std::make_shared<bool>(false);
    post([this, task, done] {
        task();
        std::lock_guard<std::mutex> held(lock_);
        *done = true;
        finished_.notify_all();
    });
    std::unique_lock<std::mutex> held(lock_);
    finished_.wait(held, [&] { return *done || closed_; });
    return *done;
}

void GuiQueue::close()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> held(lock_);
        closed_ = true;
        dropped.swap(tasks_);
        finished_.notify_all();
    }
}

// Runs the queued tasks one at a time with the lock released, so a task may
// post again or close the queue (the owner going away), after which nothing more runs.
void GuiQueue::drain()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
    const std::shared_ptr<bool> alive = alive_;
    while (*alive) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> held(lock_);
            if (closed_ || tasks_.empty())
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace platform
