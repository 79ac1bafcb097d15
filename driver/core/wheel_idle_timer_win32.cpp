#include "driver/core/wheel_idle_timer_win32.h"

#include <windows.h>

#include <mmsystem.h>

#include <atomic>

namespace qvl {

// What the callbacks tell the delivering thread: the newest token that expired, and an event to wake
// it. Tokens only grow, so a late callback of a replaced timer cannot hide a newer expiry.
struct Win32WheelIdleTimer::Wakeup {
    Wakeup() : event(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;
    void Fired(std::uint64_t token) {
        std::uint64_t seen = fired.load();
        while (seen < token && !fired.compare_exchange_weak(seen, token)) {
        }
        SetEvent(event.Get());
    }
    KernelHandle event;
    std::atomic<std::uint64_t> fired{0};
};

// One timeSetEvent: its token, and two shares (the timer's callback, the arming side). The last one
// to let go frees it.
struct Win32WheelIdleTimer::Arming {
    Arming(std::shared_ptr<Wakeup> to, std::uint64_t value) : wakeup(std::move(to)), token(value) {}
    void Release() {
        if (--shares == 0)
            delete this;
    }
    std::shared_ptr<Wakeup> wakeup;
    std::uint64_t token;
    UINT timerId = 0;
    std::atomic<int> shares{2};
    std::atomic<bool> ran{false};
};

namespace {

void CALLBACK WheelIdleExpired(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* arming = reinterpret_cast<Win32WheelIdleTimer::Arming*>(user);
    arming->ran = true;
    arming->wakeup->Fired(arming->token);
    arming->Release();
}

} // namespace

Win32WheelIdleTimer::Win32WheelIdleTimer(unsigned delayMs)
    : delayMs_(delayMs), wakeup_(std::make_shared<Wakeup>()), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (wakeup_->event && stop_)
        deliverer_ = std::thread([this] { Deliver(); });
}

Win32WheelIdleTimer::~Win32WheelIdleTimer() {
    Disconnect();
    if (deliverer_.joinable()) {
        SetEvent(stop_.Get());
        deliverer_.join();
    }
}

void Win32WheelIdleTimer::Connect(WheelIdleSink& sink) {
    std::lock_guard<std::mutex> hold(deliveryLock_);
    sink_ = &sink;
}

// Synchronous kill: once timeKillEvent returns, the timer's callback has finished or never runs. A
// successful kill of a timer whose callback has not run means it never will, so its share is let go
// here; otherwise the callback lets go of it. A timer that has fired is not killed at all: its id may
// already belong to a newer timer.
void Win32WheelIdleTimer::Cancel() {
    if (armed_ == nullptr)
        return;
    if (!armed_->ran && timeKillEvent(armed_->timerId) == TIMERR_NOERROR && !armed_->ran)
        armed_->Release();
    armed_->Release();
    armed_ = nullptr;
}

bool Win32WheelIdleTimer::Arm(std::uint64_t token) {
    Cancel();
    if (!wakeup_->event)
        return false;
    auto* arming = new Arming(wakeup_, token);
    const UINT id = timeSetEvent(delayMs_, 0, &WheelIdleExpired, reinterpret_cast<DWORD_PTR>(arming),
                                 TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    if (id == 0) {
        delete arming; // no timer: nothing will call back
        return false;
    }
    arming->timerId = id;
    armed_ = arming;
    return true;
}

void Win32WheelIdleTimer::Deliver() {
    const HANDLE events[] = {stop_.Get(), wakeup_->event.Get()};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        const std::uint64_t token = wakeup_->fired.exchange(0);
        if (token == 0)
            continue;
        std::lock_guard<std::mutex> hold(deliveryLock_);
        if (sink_ != nullptr)
            sink_->OnWheelIdle(token);
    }
}

void Win32WheelIdleTimer::Disconnect() {
    Cancel();
    std::lock_guard<std::mutex> hold(deliveryLock_); // waits for a delivery in progress
    sink_ = nullptr;
}

} // namespace qvl
