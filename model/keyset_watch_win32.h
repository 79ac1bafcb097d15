// The keyset watch over RegNotifyChangeKeyValue: a key opened for notification, an event the registry
// sets when anything under the key is written, renamed, made or deleted, and a thread that waits for
// that event.
#pragma once

#include "base/unique_handle_win32.h"
#include "model/keyset_watch.h"

#include <mutex>
#include <thread>

namespace qvl {

class Win32KeysetWatch final : public KeysetWatch {
public:
    Win32KeysetWatch();
    ~Win32KeysetWatch() override;
    void Arm(const std::string& path) override;
    bool Changed() override;
    void OnWritten(std::function<void()> written) override;

private:
    void Open(const std::string& path);
    bool Notify();
    bool Written();
    void Wait();

    std::mutex lock_; // the key and the state below: the thread's call arms too
    std::string path_;
    RegistryKey key_;
    bool armed_ = false;
    KernelHandle written_; // set by the registry, cleared when armed again
    KernelHandle stop_;
    std::function<void()> onWritten_;
    std::thread waiter_;
};

} // namespace qvl
