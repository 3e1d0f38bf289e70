#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace platform {

// The threads a batch of independent files should use: one per core.
inline unsigned batchThreads()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

// Runs prepare(i) for every i in [0, count) on `threads` worker threads and
// hands each result to consume(i, result) on the calling thread, in the order
// of i, so that what a batch shows and writes never depends on which worker
// was faster. Workers run at most `window` items ahead of consume, which
// bounds the results held at once. consume answers false to stop: no further
// item is started, and the ones being prepared are finished and dropped.
// An exception from prepare reaches the caller when its item's turn comes.
// Returns false when consume stopped the run.
template <class Result>
bool runInOrder(std::size_t count, unsigned threads, std::size_t window,
                const std::function<Result(std::size_t)>& prepare,
                const std::function<bool(std::size_t, Result&)>& consume)
{
    if (threads <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            Result result = prepare(i);
            if (!consume(i, result))
                return false;
        }
        return true;
    }
    struct Slot {
        std::optional<Result> result;
        std::exception_ptr error;
        bool done = false;
    };
    std::vector<Slot> slots(count);
    // `slotsLock` guards every member of `slots`, `next`, `consumed` and `stopped`.
    std::mutex slotsLock;
    std::condition_variable changed;
    std::size_t next = 0;
    std::size_t consumed = 0;
    bool stopped = false;
    window = std::max<std::size_t>(window, 1);

    auto work = [&] {
        std::unique_lock<std::mutex> lock(slotsLock);
        for (;;) {
            changed.wait(lock, [&] { return stopped || next >= count || next < consumed + window; });
            if (stopped || next >= count)
                return;
            const std::size_t i = next++;
            lock.unlock();
            std::optional<Result> result;
            std::exception_ptr error;
            try {
                result.emplace(prepare(i));
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            slots[i].result = std::move(result);
            slots[i].error = error;
            slots[i].done = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::min<std::size_t>(threads, count); ++t)
        workers.emplace_back(work);

    bool finished = true;
    std::exception_ptr failure;
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<Result> result;
        std::exception_ptr error;
        {
            std::unique_lock<std::mutex> lock(slotsLock);
            changed.wait(lock, [&] { return slots[i].done; });
            result = std::move(slots[i].result);
            error = slots[i].error;
            slots[i].result.reset();
        }
        bool goOn = false;
        if (error) {
            failure = error;
        } else {
            try {
                goOn = consume(i, *result);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        std::lock_guard<std::mutex> lock(slotsLock);
        consumed = i + 1;
        if (!goOn)
            stopped = true;
        changed.notify_all();
        if (!goOn) {
            finished = false;
            break;
        }
    }
    for (std::thread& worker : workers)
        worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return finished;
}

}  // namespace platform
