// The wheel's idle timer over the multimedia timer: a one-shot timeSetEvent per arming, cancelled with
// timeKillEvent when the wheel steps again.
//
// The timer's callback runs on the multimedia timer's thread and does no more than pass its token on
// and wake a thread of this object, which delivers the expiry to the sink. So the callback never
// waits: a synchronous kill (which waits for a callback in progress) cannot deadlock against a sink
// that waits for the device's lock. A one-shot that has already fired cannot be killed and may still
// be running its callback; what that callback touches (its arming and the wake-up state) is shared
// and freed by whoever is done with it last, so it can outlive this object safely.
#pragma once

#include "base/unique_handle_win32.h"

#include "driver/core/wheel_idle_timer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace qvl {

constexpr unsigned kWheelIdleMs = 1000;

class Win32WheelIdleTimer final : public WheelIdleTimer {
public:
    // `delayMs` is the idle time; tests shorten it.
    explicit Win32WheelIdleTimer(unsigned delayMs = kWheelIdleMs);
    ~Win32WheelIdleTimer() override;

    void Connect(WheelIdleSink& sink) override;
    bool Arm(std::uint64_t token) override;
    void Disconnect() override;

    struct Wakeup;
    struct Arming;

private:
    void Deliver();
    void Cancel();

    const unsigned delayMs_;
    std::shared_ptr<Wakeup> wakeup_;
    KernelHandle stop_;             // manual-reset event: the delivering thread ends
    Arming* armed_ = nullptr;       // the timer set last; only the device's thread arms and cancels
    std::mutex deliveryLock_;       // held while the sink runs
    WheelIdleSink* sink_ = nullptr; // under deliveryLock_
    std::thread deliverer_;
};

} // namespace qvl
