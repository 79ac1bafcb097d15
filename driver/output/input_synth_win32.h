// Synthetic input through SendInput: each key or mouse event in a call of its own, so each goes out in the
// order it was made; a typed text in one call, so that its characters go out together.
#pragma once

#include "driver/output/input_synth.h"

namespace qvl {

class Win32InputSynth final : public InputSynth {
public:
    void Key(std::uint8_t vk, bool up) override;
    void StepKey(std::uint8_t vk, bool up) override;
    void Text(std::u16string_view text) override;
    void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;
};

} // namespace qvl
