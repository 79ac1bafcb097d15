// Sends an assignment's keystroke: its modifier keys, then its key. A transport button's key stays
// down until the button comes up; while the wheel turns, every key is tapped (down and up at once).
//
// A wheel direction sends its keystroke on one step and then on every (137 - speed)-th step after
// it: the countdown (skipCount) runs across wheel movements, assignments and keysets, so a slow
// setting needs many steps in total, not many steps in one turn.
#pragma once

#include "driver/device/wheel_tracker.h"
#include "driver/output/output_action.h"

#include <cstdint>

namespace qvl {

// The key and the modifier code that one press sent, so that its release sends exactly those.
struct SentKeystroke {
    std::uint16_t keyCode = 0;     // 0: no key went down
    std::int16_t modifierCode = 0; // 0: no modifier key went down
};

class CKeystrokeAction : public COutputAction {
public:
    explicit CKeystrokeAction(InputSynth& input) : COutputAction(input) {}

    // Take the key, the wheel speed and the modifier code of `assignment` for control `controlIndex`.
    // A hot key wins over a special key. The throttle countdown is kept.
    void Load(const ControlAssignment& assignment, int controlIndex);
    // Send the keystroke `count` times (the event's magnitude), subject to the wheel throttle. True
    // when the key went down at least once.
    bool Execute(int count, const CWheelTracker& wheel);
    // The wheel throttle alone, for steps sent in the keystroke's place: of `count` passes, how many send.
    int Passes(int count);
    // The key-up and the modifier key-ups of the loaded keystroke; nothing when it has no key.
    void Release() {
        if (VirtualKey(keyCode) != 0)
            Release(Loaded());
    }
    // The key-up and the modifier key-ups of an earlier press: the ones it sent.
    void Release(const SentKeystroke& sent);

    SentKeystroke Loaded() const { return {keyCode, modifiers.ModifierCode()}; }
    std::uint16_t KeyCode() const { return keyCode; }
    // Only the low byte of a key code is a virtual key; a code whose low byte is 0 names no key.
    static std::uint8_t VirtualKey(std::uint16_t code) { return static_cast<std::uint8_t>(code & 0xFF); }

private:
    bool Throttled();

    std::uint16_t keyCode = 0;
};

} // namespace qvl
