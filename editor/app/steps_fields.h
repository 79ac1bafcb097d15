// The panel's steps controls as plain values: "Steps:" (what a press sends), "On release:" and "Repeat
// while held" (the transport keys only; the wheel's two directions have steps alone).
//
// A steps field is stored when it is left, never while it is typed in: a half-typed sequence would
// otherwise reach the driver. Leaving it checks the text: a text that reads is stored in its printed
// form (which the field then shows), an emptied field stores no steps, and a text that does not read
// is refused with the reason, nothing stored. A field left as it was filled stores nothing, so a
// stored text that cannot be read stays as it is until the user types another.
#pragma once

#include "model/keyset_record.h"
#include "model/keyset_steps.h"
#include "model/steps.h"

#include <optional>
#include <string>

namespace qvl {

// The most a steps field takes, in UTF-16 units: what steps may be.
constexpr int kMaxStepsFieldLength = static_cast<int>(kStepsMaxCharacters);

enum class StepsField { kPress, kRelease };

// Whether "On release:" and "Repeat while held" apply to control `slot`.
bool ReleaseAndRepeatApply(int slot);

// What leaving a steps field does.
struct StepsFieldLeft {
    enum class Outcome {
        kKeep,   // nothing to store
        kStore,  // store `steps`
        kRefuse, // tell `message`, give the field the focus again, store nothing
    };
    Outcome outcome = Outcome::kKeep;
    AssignmentSteps steps; // kStore: the control's steps with the field's new text
    std::string shown;     // kKeep, kStore: what the field shows from now on
    std::string message;   // kRefuse: `Step 2, "Ctrl+Foo": there is no key named "Foo".`
};

// Leaving field `field` of control `slot` that was filled with `shown` (UTF-8), while the control's
// stored steps are `stored`, and now holds `typed`.
StepsFieldLeft LeaveStepsField(int slot, StepsField field, const AssignmentSteps& stored, const std::string& shown,
                               const std::string& typed);

// Why a stored text cannot be read (DescribeStepsError's text); nothing when it reads or is empty.
std::optional<std::string> UnreadableSteps(const std::string& stored);

// The note the panel shows beside a control whose stored steps cannot be read (patterns 1766 and 1767
// of the editor's string table, `caption` the control's caption); empty when they all read.
std::string UnreadableStepsNote(const StringSource& strings, int slot, const std::string& caption,
                                const AssignmentSteps& stored);

} // namespace qvl
