// What Windows tests share: finding the helper programs built beside them, running them as separate
// processes, and waiting for what another thread or program does.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace qvl::wintest {

// How long a test waits for something that should happen at once: a busy machine can hold a thread
// or a program back for seconds, and only a fault makes it take this long.
constexpr DWORD kPatienceMs = 30000;

// Poll `condition` until it holds or `ms` pass; whether it held. For state that changes without
// telling anyone (a window that appears, a cursor that moves).
bool WaitUntil(const std::function<bool()>& condition, DWORD ms = kPatienceMs);

// A flag one thread raises and another waits for.
class Latch {
public:
    void Set() {
        std::lock_guard<std::mutex> hold(lock_);
        set_ = true;
        changed_.notify_all();
    }
    // Whether it was raised within `ms`.
    bool Wait(DWORD ms = kPatienceMs) {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return set_; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool set_ = false;
};

// The folder of the running test program, with its trailing backslash.
std::string ProgramFolder();

// A child process that is ended and closed with its owner.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Start `program` (a file name beside the test program, or a full path) with `arguments`.
    bool Start(const std::string& program, const std::string& arguments = "");
    // Wait for the end; the exit code, or nothing on time-out.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_ = {};
};

// Run a helper program to its end; its exit code, or nothing when it could not start or did not end.
std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments,
                                DWORD timeoutMs = kPatienceMs);

} // namespace qvl::wintest
