// The keyset lock as a named mutex of the session, shared by the editor and the driver.
#pragma once

#include "model/keyset_lock.h"

namespace qvl {

class Win32KeysetLock final : public KeysetLock {
public:
    explicit Win32KeysetLock(const char* name = kKeysetLockName, unsigned waitMs = kKeysetLockWaitMs);
    ~Win32KeysetLock() override;
    bool Acquire() override;
    void Release() override;

private:
    void* mutex_; // null when the name is taken by another kind of object: loads and saves go on unlocked
    unsigned waitMs_;
};

} // namespace qvl
