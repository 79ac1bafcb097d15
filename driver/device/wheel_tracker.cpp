#include "driver/device/wheel_tracker.h"

#include <algorithm>
#include <cstdint>

namespace qvl {

std::int32_t CWheelTracker::SpeedFor(std::int32_t position) {
    std::int32_t value = 0;
    if (position > kDeadBand)
        value = position - kDeadBand;
    else if (position < -kDeadBand)
        value = position + kDeadBand;
    if (value > kFastestSpeed)
        value = kFastestSpeed;
    if (value < kSlowestSpeed)
        value = kSlowestSpeed;
    return value;
}

bool CWheelTracker::Step(int stepDirection) {
    direction = stepDirection;
    if (running == 0) {
        running = stepDirection;
        speed = 0;
        position = 0;
        return false;
    }
    // running keeps the direction that started the movement, even when the wheel turns back.
    // A wheel turned for days without a pause saturates instead of wrapping round.
    const std::int64_t moved = static_cast<std::int64_t>(position) + (stepDirection == 2 ? magnitude : -magnitude);
    position = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, INT32_MIN, INT32_MAX));
    speed = SpeedFor(position);
    return true;
}

} // namespace qvl
