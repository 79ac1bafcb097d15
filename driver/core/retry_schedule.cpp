#include "driver/core/retry_schedule.h"

namespace qvl {

void CRetrySchedule::Start(std::uint64_t nowMs) {
    active_ = true;
    nextMs_ = nowMs + kPeriodMs;
}

bool CRetrySchedule::Due(std::uint64_t nowMs) const {
    return active_ && nowMs + kSlackMs >= nextMs_;
}

} // namespace qvl
