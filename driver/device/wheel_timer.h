// The wheel's one-second idle timer: a movement counts as ended one second after its last step.
#pragma once

namespace qvl {

class WheelTimer {
public:
    WheelTimer() = default;
    WheelTimer(const WheelTimer&) = delete;
    WheelTimer& operator=(const WheelTimer&) = delete;
    virtual ~WheelTimer() = default;
    // Cancel a pending expiry and arm a new one-shot of 1000 ms; false when no timer could be set.
    virtual bool Start() = 0;
};

} // namespace qvl
