// How a held key repeats on this system: the delay before the first repeat and the time between repeats,
// from the user's keyboard settings. A button whose assignment repeats while held follows them, as a
// held key on the keyboard does.
#pragma once

#include <cstdint>

namespace qvl {

struct RepeatTiming {
    std::uint32_t delayMs = 500;   // from the press to the first repeat
    std::uint32_t intervalMs = 33; // from one repeat to the next
};

// The timing for the system's two settings: the delay 0 to 3 (250 ms to 1 s in steps of 250 ms) and the
// speed 0 to 31 (about 2.5 to about 30 repeats a second). Settings outside their range are taken at the
// nearest end.
RepeatTiming RepeatTimingFor(int delaySetting, int speedSetting);

class KeyboardRepeat {
public:
    KeyboardRepeat() = default;
    KeyboardRepeat(const KeyboardRepeat&) = delete;
    KeyboardRepeat& operator=(const KeyboardRepeat&) = delete;
    // The settings as they are now (the user may change them while the driver runs).
    virtual RepeatTiming Timing() = 0;

protected:
    ~KeyboardRepeat() = default;
};

} // namespace qvl
