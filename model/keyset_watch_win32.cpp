#include "model/keyset_watch_win32.h"

#include <windows.h>

namespace qvl {

namespace {

constexpr DWORD kWhat = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// Not tied to the thread that asks (Windows 8 on): a reader's thread may end (the driver's port
// reader does). Where the system does not know the flag, a thread's end sets the event, which costs
// one full read and loses nothing.
constexpr DWORD kThreadAgnostic = 0x10000000L;

} // namespace

Win32KeysetWatch::Win32KeysetWatch()
    : written_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

Win32KeysetWatch::~Win32KeysetWatch() {
    OnWritten(nullptr);
}

void Win32KeysetWatch::Arm(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (armed_ && path == path_ && !Written())
        return; // watching already, and nothing was written since
    armed_ = false;
    if (!written_)
        return;
    if (!key_ || path != path_)
        Open(path);
    armed_ = Notify();
    if (!armed_) {
        // A key deleted since it was opened ("Keysets" rewritten whole) is opened again by its path.
        Open(path);
        armed_ = Notify();
    }
    if (!armed_)
        ResetEvent(written_.Get()); // nothing to wait for until the key can be watched again
}

void Win32KeysetWatch::Open(const std::string& path) {
    path_ = path;
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_NOTIFY, &opened);
    key_.Reset(result == ERROR_SUCCESS ? opened : nullptr);
}

bool Win32KeysetWatch::Notify() {
    if (!key_)
        return false;
    ResetEvent(written_.Get());
    LONG result = RegNotifyChangeKeyValue(key_.Get(), TRUE, kWhat | kThreadAgnostic, written_.Get(), TRUE);
    if (result == ERROR_INVALID_PARAMETER)
        result = RegNotifyChangeKeyValue(key_.Get(), TRUE, kWhat, written_.Get(), TRUE);
    return result == ERROR_SUCCESS;
}

bool Win32KeysetWatch::Changed() {
    std::lock_guard<std::mutex> hold(lock_);
    return !armed_ || Written();
}

bool Win32KeysetWatch::Written() {
    if (WaitForSingleObject(written_.Get(), 0) != WAIT_TIMEOUT)
        return true;
    // The key can be deleted after the watch was armed on it ("Keysets" rewritten whole), and a watch
    // on a deleted key tells nothing more: that counts as written, and arming again opens the new key.
    return RegQueryInfoKeyA(key_.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_KEY_DELETED;
}

void Win32KeysetWatch::OnWritten(std::function<void()> written) {
    if (waiter_.joinable()) {
        SetEvent(stop_.Get());
        waiter_.join();
        ResetEvent(stop_.Get());
    }
    onWritten_ = std::move(written);
    if (onWritten_ && written_ && stop_)
        waiter_ = std::thread([this] { Wait(); });
}

void Win32KeysetWatch::Wait() {
    const HANDLE events[] = {stop_.Get(), written_.Get()};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        onWritten_(); // arms again, which clears the event
}

} // namespace qvl
