// What the keystroke object and the mouse object both take from an assignment.
#pragma once

#include "driver/output/input_synth.h"
#include "driver/output/modifier_keys.h"
#include "model/keyset_record.h"

#include <cstdint>

namespace qvl {

// The modifier code that goes with an assignment's key. A hot key brings its own flags; the extended-
// key flag only says which of two keys with one code was recorded (arrow, not keypad) and is dropped,
// so Ctrl+Alt on an arrow key keeps its Ctrl and Alt. A special key carries its flags in its high word.
std::int16_t ModifierCodeFor(const ControlAssignment& assignment);

class COutputAction {
public:
    explicit COutputAction(InputSynth& input) : input_(input), modifiers(input) {}
    COutputAction(const COutputAction&) = delete;
    COutputAction& operator=(const COutputAction&) = delete;
    virtual ~COutputAction() = default;

    // Take the assignment's modifier code, so a click or a drag presses the same keys as its keystroke.
    void LoadModifiers(const ControlAssignment& assignment) { modifiers.SetModifierCode(ModifierCodeFor(assignment)); }

    bool WheelDriven() const { return wheelDriven != 0; }
    int SpeedSetting() const { return speedSetting; }
    int SkipCount() const { return skipCount; }
    std::int16_t ModifierCode() const { return modifiers.ModifierCode(); }

protected:
    InputSynth& input_;
    std::int32_t wheelDriven = 0;  // the assignment belongs to a wheel direction
    std::int32_t speedSetting = 0; // the assignment's wheelSpeed, 1 to 128
    char targetClass[sizeof(ControlAssignment::windowClass)] = {};
    char targetTitle[sizeof(ControlAssignment::windowTitle)] = {};
    std::int32_t skipCount = 0; // wheel steps still to skip before the next keystroke
    std::uint32_t targetThreadId = 0;
    CModifierKeys modifiers;
};

} // namespace qvl
