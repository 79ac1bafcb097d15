// The wheel's one-second idle timer as the driver runs it: armed on the device's thread at every wheel
// step, expiring on a thread of its own.
//
// Each arming carries a token that comes back with its expiry. An expiry can be on its way while the
// device's thread arms the timer again; the receiver compares the token with the one it armed last
// and ignores an older one, so a wheel that moved again is not taken for idle.
#pragma once

#include <cstdint>

namespace qvl {

// Receives expiries, on the timer's own thread.
class WheelIdleSink {
public:
    WheelIdleSink() = default;
    WheelIdleSink(const WheelIdleSink&) = delete;
    WheelIdleSink& operator=(const WheelIdleSink&) = delete;
    virtual void OnWheelIdle(std::uint64_t token) = 0;

protected:
    ~WheelIdleSink() = default;
};

class WheelIdleTimer {
public:
    WheelIdleTimer() = default;
    WheelIdleTimer(const WheelIdleTimer&) = delete;
    WheelIdleTimer& operator=(const WheelIdleTimer&) = delete;
    virtual ~WheelIdleTimer() = default;

    // Send expiries to `sink` from now on.
    virtual void Connect(WheelIdleSink& sink) = 0;
    // Cancel a pending expiry and arm a one-shot that reports `token` after the idle time. Never waits
    // for the sink, so it may be called while the sink's caller waits for the caller of this. False
    // when no timer could be set.
    virtual bool Arm(std::uint64_t token) = 0;
    // Cancel a pending expiry and wait until none is being delivered; nothing reaches the sink after
    // this returns. Must not be called while holding what the sink waits for.
    virtual void Disconnect() = 0;
};

} // namespace qvl
