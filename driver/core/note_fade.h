// How long an on-screen note stays and how it goes: fully there for a moment and a half, then fading
// in a few steps to nothing. The window asks at each of its timer's ticks; once the note has faded no
// timer runs, so a faded note costs nothing. A new note starts the schedule again at once.
#pragma once

#include <cstdint>
#include <optional>

namespace qvl {

class CNoteFade {
public:
    static constexpr std::uint64_t kHoldMs = 1500;
    static constexpr std::uint64_t kFadeMs = 300;
    static constexpr std::uint64_t kStepMs = 50;
    static constexpr std::uint8_t kFullAlpha = 235; // a note is never quite opaque

    void Start(std::uint64_t nowMs) {
        startMs_ = nowMs;
        shown_ = true;
    }
    // The note's opacity at `nowMs`: full while it holds, falling during the fade, 0 once faded (and
    // before any note).
    std::uint8_t Alpha(std::uint64_t nowMs) const;
    // How long until the opacity changes next; nothing once the note has faded.
    std::optional<unsigned> NextTickMs(std::uint64_t nowMs) const;

private:
    std::uint64_t startMs_ = 0;
    bool shown_ = false;
};

} // namespace qvl
