// What each control of a keyset sends beyond its keystroke, as it is stored beside the assignment: the
// steps of a press and of the release, in their text form (model/steps.h), and whether the press
// repeats while the button is held. The text is kept as stored, read or not: a text that cannot be read
// stays as it is until somebody replaces it, and the driver then plays the keystroke instead.
//
// In a bank's subkey each control may have three values beside its assignment, which older programs
// ignore, and only when they are set: "Play Steps" and "Play Release" (text), "Play Repeat" (1). The
// wheel's two directions have steps alone; release steps and repeat belong to the transport buttons.
#pragma once

#include "model/keyset_record.h"

#include <array>
#include <cstddef>
#include <string>

namespace qvl {

// Suffixes of the values beside a control's value ("Play" + " Steps").
constexpr const char* kStepsValueSuffix = " Steps";
constexpr const char* kReleaseValueSuffix = " Release";
constexpr const char* kRepeatValueSuffix = " Repeat";

struct AssignmentSteps {
    std::string press;   // UTF-8; empty: the press sends the keystroke
    std::string release; // UTF-8; empty: nothing beyond letting go of what is down
    bool repeat = false; // the press repeats while the button is held

    bool Empty() const { return press.empty() && release.empty() && !repeat; }
    bool operator==(const AssignmentSteps& other) const {
        return press == other.press && release == other.release && repeat == other.repeat;
    }
    bool operator!=(const AssignmentSteps& other) const { return !(*this == other); }
};

// The steps of every control of one keyset, bank by bank. An index outside the keyset reads as no steps
// and is never written.
class KeysetSteps {
public:
    const AssignmentSteps& Get(int bank, int control) const;
    void Set(int bank, int control, const AssignmentSteps& steps);
    bool Empty() const;
    bool operator==(const KeysetSteps& other) const { return steps_ == other.steps_; }
    bool operator!=(const KeysetSteps& other) const { return !(*this == other); }

private:
    static std::size_t Slot(int bank, int control) { return static_cast<std::size_t>(bank * kControlCount + control); }

    std::array<AssignmentSteps, kBankCount * kControlCount> steps_;
};

} // namespace qvl
