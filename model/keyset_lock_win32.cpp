#include "model/keyset_lock_win32.h"

#include <windows.h>

namespace qvl {

Win32KeysetLock::Win32KeysetLock(const char* name, unsigned waitMs)
    : mutex_(CreateMutexA(nullptr, FALSE, name)), waitMs_(waitMs) {}

bool Win32KeysetLock::Acquire() {
    if (!mutex_)
        return false;
    // An abandoned mutex (the other program ended in the middle of a save) is ours now. The keysets
    // it left are whatever that save wrote; its record of changes, written before anything else,
    // names every subkey it was about to touch, so readers read those again.
    const DWORD result = WaitForSingleObject(mutex_.Get(), waitMs_);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void Win32KeysetLock::Release() {
    if (mutex_)
        ReleaseMutex(mutex_.Get());
}

} // namespace qvl
