#include "driver/core/note_fade.h"

namespace qvl {

std::uint8_t CNoteFade::Alpha(std::uint64_t nowMs) const {
    const std::uint64_t age = nowMs - startMs_;
    if (!shown_ || age >= kHoldMs + kFadeMs)
        return 0;
    if (age < kHoldMs)
        return kFullAlpha;
    // Whole steps only, so that every tick of the timer shows one change.
    const std::uint64_t stepsLeft = (kHoldMs + kFadeMs - age + kStepMs - 1) / kStepMs;
    return static_cast<std::uint8_t>(kFullAlpha * stepsLeft / (kFadeMs / kStepMs + 1));
}

std::optional<unsigned> CNoteFade::NextTickMs(std::uint64_t nowMs) const {
    const std::uint64_t age = nowMs - startMs_;
    if (!shown_ || age >= kHoldMs + kFadeMs)
        return std::nullopt;
    if (age < kHoldMs)
        return static_cast<unsigned>(kHoldMs - age);
    const std::uint64_t intoStep = (age - kHoldMs) % kStepMs;
    return static_cast<unsigned>(kStepMs - intoStep);
}

} // namespace qvl
