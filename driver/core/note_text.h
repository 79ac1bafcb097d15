// The words of the driver's on-screen note: the name of the keyset now in use, or what one press did
// ("Play: Space", "Option+Play: Ctrl+Home", "Wheel: Right x3", "Record: Left click"), with the keys
// named as the editor names them; a press with steps shows them as they are written ("Play: Ctrl+S, Tab,
// Enter"), cut after a few steps when they are long.
#pragma once

#include "model/keyset_record.h"
#include "model/steps.h"

#include <string>

namespace qvl {

// What the action of `control` in `bank` did when it was sent `magnitude` times: the control (a
// transport control with its OPTION and SHIFT bank), then its keystroke (or the `steps` sent in its place)
// and its mouse action. Empty when the assignment does nothing, so that no note is shown.
std::string ActionNoteText(int bank, int control, const ControlAssignment& assignment, int magnitude,
                           const Steps* steps = nullptr);

// `steps` as the note shows them: their text, cut at a step's end with "..." when longer than `limit`
// characters; a character the note cannot show (beyond ASCII) as "?".
std::string StepsNoteText(const Steps& steps, std::size_t limit = 40);

} // namespace qvl
