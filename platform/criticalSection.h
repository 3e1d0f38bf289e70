#pragma once

#include <mutex>

namespace platform {

// A re-entrant lock: the same thread may enter it again, as the program's
// nested file and recording operations expect.
class CriticalSection {
public:
    void enter() { mutex_.lock(); }
    void leave() { mutex_.unlock(); }
    bool tryEnter() { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
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

}  // namespace platform
