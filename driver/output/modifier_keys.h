// The modifier keys that go with a keystroke or a click: a code with the hot-key control's flags
// (1 Shift, 2 Ctrl, 4 Alt). Codes 1 to 7 press their keys; every other code presses none.
#pragma once

#include "driver/output/input_synth.h"

#include <cstdint>

namespace qvl {

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12; // Alt

class CModifierKeys {
public:
    explicit CModifierKeys(InputSynth& input) : input_(input) {}
    CModifierKeys(const CModifierKeys&) = delete;
    CModifierKeys& operator=(const CModifierKeys&) = delete;

    void SetModifierCode(std::int16_t code) { modifierCode = code; }
    std::int16_t ModifierCode() const { return modifierCode; }

    void PressModifiers() { Send(input_, modifierCode, false); }
    void ReleaseModifiers() { Send(input_, modifierCode, true); }

    // The key-downs or key-ups of `code`: Ctrl, then Shift, then Alt. Releases go in the same order as
    // presses, not in reverse.
    static void Send(InputSynth& input, std::int16_t code, bool up);

private:
    InputSynth& input_;
    std::int16_t modifierCode = 0;
};

} // namespace qvl
