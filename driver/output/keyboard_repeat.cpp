#include "driver/output/keyboard_repeat.h"

#include <algorithm>

namespace qvl {

RepeatTiming RepeatTimingFor(int delaySetting, int speedSetting) {
    const int delay = std::clamp(delaySetting, 0, 3);
    const int speed = std::clamp(speedSetting, 0, 31);
    RepeatTiming timing;
    timing.delayMs = static_cast<std::uint32_t>((delay + 1) * 250);
    // The rate rises evenly from 2.5 a second at 0 to 30 at 31: 2.5 + speed x 27.5 / 31 repeats a second,
    // so the interval is 1000 / that = 62000 / (155 + 55 x speed) ms, rounded.
    const int divisor = 155 + 55 * speed;
    timing.intervalMs = static_cast<std::uint32_t>((62000 + divisor / 2) / divisor);
    return timing;
}

} // namespace qvl
