// What the device panel shows for each control: the command id of its picture, the bank of the
// assignment shown and the caption of the control in that bank. The transport keys take their bank
// from the OPTION and SHIFT latches; the wheel takes it from its LED alone (on: main bank, off:
// option bank), so banks 2 and 3 are never shown for the wheel.
#pragma once

#include "model/keyset_record.h"
#include "model/shared_names.h"

namespace qvl {

// Command ids of the panel's pictures; the driver sends the same ids for the device's controls.
constexpr unsigned kOptionButtonId = kEditorOption;
constexpr unsigned kShiftButtonId = kEditorShift;
constexpr unsigned kLedOnCommandId = kEditorLedOn;
constexpr unsigned kLedOffCommandId = kEditorLedOff;
// Indexed by control slot (Play, Stop, Fast Forward, Rewind, Record, CCWheel, CWheel).
constexpr unsigned kControlButtonIds[kControlCount] = {
    kEditorPlay,          kEditorStop, kEditorFastForward, kEditorRewind, kEditorRecord, kEditorWheelCounterClockwise,
    kEditorWheelClockwise};

// The slot whose picture has command `id`, or -1.
int SlotOfButton(unsigned id);

// The bank of the assignment shown for `slot`.
int CurrentBank(int slot, bool option, bool shift, bool ledOn);

// The string-table id of the caption of `slot` ("Option+Play", "Wheel LED Off", ...).
unsigned CaptionStringId(int slot, bool option, bool shift, bool ledOn);

} // namespace qvl
