#pragma once

#include <atomic>
#include <mutex>

namespace platform {

// A re-entrant lock: the same thread may enter it again, as the program's
// nested file and recording operations expect. It counts the threads blocked
// on it, so a caller (a test) can tell that a thread is held there.
class CriticalSection {
public:
    void enter()
    {
        if (mutex_.try_lock())
            return;
        ++waiting_;
        mutex_.lock();
        --waiting_;
    }
    void leave() { mutex_.unlock(); }
    bool tryEnter() { return mutex_.try_lock(); }
    int waiting() const { return waiting_; }

private:
    std::recursive_mutex mutex_;
    std::atomic<int> waiting_{0};
};

// Holds a critical section for the lifetime of a scope; release() leaves it early.
class SectionGuard {
public:
    explicit SectionGuard(CriticalSection& section) : section_(&section) { section_->enter(); }
    ~SectionGuard() { release(); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;
    void release()
    {
        if (section_) {
            section_->leave();
            section_ = nullptr;
        }
    }

private:
    CriticalSection* section_;
};

// Takes a critical section only when it is free (or already this thread's),
// for a user-interface thread that must never wait on a long operation.
class TrySectionGuard {
public:
    explicit TrySectionGuard(CriticalSection& section) : section_(section.tryEnter() ? &section : nullptr) {}
    ~TrySectionGuard()
    {
        if (section_)
            section_->leave();
    }
    TrySectionGuard(const TrySectionGuard&) = delete;
    TrySectionGuard& operator=(const TrySectionGuard&) = delete;
    bool held() const { return section_ != nullptr; }

private:
    CriticalSection* section_;
};

}  // namespace platform
