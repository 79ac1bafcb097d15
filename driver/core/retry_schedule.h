// When the driver tries to open a lost port again: every period (2 seconds) while it is retrying, and
// at once when the system says the port may be back (resume from sleep, a device arrival). The window
// thread asks on each tick of its timer; the clock is the caller's, in milliseconds.
#pragma once

#include <cstdint>

namespace qvl {

class CRetrySchedule {
public:
    static constexpr std::uint32_t kPeriodMs = 2000;
    // A timer tick that comes this much early still counts: a periodic timer is not exact.
    static constexpr std::uint32_t kSlackMs = 100;

    // Begin retrying at `nowMs`; the first try is due one period later.
    void Start(std::uint64_t nowMs);
    void Stop() { active_ = false; }
    bool Active() const { return active_; }
    // True when a try is due at `nowMs`.
    bool Due(std::uint64_t nowMs) const;
    // A try was made at `nowMs` (on schedule or at once): the next one is due a period later.
    void Tried(std::uint64_t nowMs) { nextMs_ = nowMs + kPeriodMs; }

private:
    bool active_ = false;
    std::uint64_t nextMs_ = 0;
};

} // namespace qvl
