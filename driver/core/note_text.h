// The words of the driver's on-screen note: the name of the keyset now in use, or what one press did
// ("Play: Space", "Option+Play: Ctrl+Home", "Wheel: Right x3", "Record: Left click"), with the keys
// named as the editor names them.
#pragma once

#include "model/keyset_record.h"

#include <string>

namespace qvl {

// What the action of `control` in `bank` did when it was sent `magnitude` times: the control (a
// transport control with its OPTION and SHIFT bank), then its keystroke and its mouse action. Empty
// when the assignment does nothing, so that no note is shown.
std::string ActionNoteText(int bank, int control, const ControlAssignment& assignment, int magnitude);

} // namespace qvl
