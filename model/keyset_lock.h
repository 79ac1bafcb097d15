// Keeps loads and saves of the keysets (whole or one value) apart between the editor and the driver.
//
// A save writes many values; without a lock, a load that runs while the other program is half-way
// through its save sees only part of it, and two writers could each move the record of changes on
// from the same generation, so that a reader that trusts the record misses the first one's keysets.
// The lock is a system-wide named object that a program waits for a bounded time. A write that does
// not get it in that time is not made, and fails as any write does; a load goes on without it, so a
// program that hangs while holding it cannot keep the other one from its keysets.
#pragma once

#include "model/shared_names.h"

namespace qvl {

constexpr unsigned kKeysetLockWaitMs = 3000;

class KeysetLock {
public:
    KeysetLock() = default;
    KeysetLock(const KeysetLock&) = delete;
    KeysetLock& operator=(const KeysetLock&) = delete;
    virtual ~KeysetLock() = default;
    // Wait up to the bounded time; true when this thread now holds the lock.
    virtual bool Acquire() = 0;
    // Give up a lock that Acquire granted.
    virtual void Release() = 0;
};

// Holds the lock for one load or save when it could be had; Held() says whether it was.
class KeysetLockGuard {
public:
    explicit KeysetLockGuard(KeysetLock& lock) : lock_(lock), held_(lock.Acquire()) {}
    KeysetLockGuard(const KeysetLockGuard&) = delete;
    KeysetLockGuard& operator=(const KeysetLockGuard&) = delete;
    ~KeysetLockGuard() {
        if (held_)
            lock_.Release();
    }
    bool Held() const { return held_; }

private:
    KeysetLock& lock_;
    bool held_;
};

} // namespace qvl
