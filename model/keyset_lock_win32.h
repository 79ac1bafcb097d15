// The keyset lock as a named mutex of the session, shared by the editor and the driver.
#pragma once

#include "base/unique_handle_win32.h"
#include "model/keyset_lock.h"

namespace qvl {

class Win32KeysetLock final : public KeysetLock {
public:
    explicit Win32KeysetLock(const char* name = kKeysetLockName, unsigned waitMs = kKeysetLockWaitMs);
    bool Acquire() override;
    void Release() override;

private:
    KernelHandle mutex_; // empty when the name is taken by another kind of object: never held
    unsigned waitMs_;
};

} // namespace qvl
