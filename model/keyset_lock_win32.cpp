#include "model/keyset_lock_win32.h"

#include <windows.h>

namespace qvl {

Win32KeysetLock::Win32KeysetLock(const char* name, unsigned waitMs)
    : mutex_(CreateMutexA(nullptr, FALSE, name)), waitMs_(waitMs) {}

Win32KeysetLock::~Win32KeysetLock() {
    if (mutex_ != nullptr)
        CloseHandle(mutex_);
}

bool Win32KeysetLock::Acquire() {
    if (mutex_ == nullptr)
        return false;
    // An abandoned mutex (the other program ended in the middle of a save) is ours now; the keysets
    // it left are whatever that save wrote, which the next save replaces whole.
    const DWORD result = WaitForSingleObject(mutex_, waitMs_);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void Win32KeysetLock::Release() {
    if (mutex_ != nullptr)
        ReleaseMutex(mutex_);
}

} // namespace qvl
