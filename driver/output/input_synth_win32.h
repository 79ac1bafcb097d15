// Synthetic input through SendInput, one event per call so each goes out in the order it was made.
#pragma once

#include "driver/output/input_synth.h"

namespace qvl {

class Win32InputSynth final : public InputSynth {
public:
    void Key(std::uint8_t vk, bool up) override;
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;
};

} // namespace qvl
