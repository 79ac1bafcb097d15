// The assignment controls of the device panel as plain values: how a stored ControlAssignment is
// spread over the controls, how the controls' values make the record that is stored (for the wheel
// together with the other wheel half of the bank), which controls apply, and the capture check box's
// text. The panel's window only moves these values between the controls and this code.
#pragma once

#include "model/keyset_record.h"

#include <cstdint>
#include <string>

namespace qvl {

// The lists' items, in list order; the list index is what the panel's members hold.
constexpr int kSpecialKeyItemCount = 7;
constexpr int kClickItemCount = 3;
constexpr int kEmulationItemCount = 8;
extern const char* const kSpecialKeyItems[kSpecialKeyItemCount]; // "None", "Enter", ...
extern const char* const kClickItems[kClickItemCount];           // "None", "Left Mouse Click", ...
extern const char* const kEmulationItems[kEmulationItemCount];   // "None", "Horizontal Move", ...

// The trackbar's range: a stored speed outside it shows (and is stored back) at the nearer end.
constexpr int kSlowestWheelSpeed = 1;
constexpr int kFastestWheelSpeed = 128;

// The Name field holds at most what controlName keeps.
constexpr int kMaxControlNameLength = sizeof(ControlAssignment::controlName) - 1;

// The three editor flags carried in flagCode; no control shows them.
struct AssignmentFlags {
    bool a = false;
    bool b = false;
    bool c = false;
};

// What the controls hold for one assignment.
struct AssignmentFields {
    bool capture = false; // "Capture coordinates when ..." ticked
    int wheelSpeed = 64;  // trackbar position
    AssignmentFlags flags;
    std::uint16_t hotKeyVk = 0;
    std::uint16_t hotKeyMods = 0;
    int specialKeyIndex = 0; // index in the special-key list
    int mouseMode = 0;
    int clickX = -1;
    int clickY = -1;
    std::string windowTitle;
    std::string windowClass;
    std::string name;
};

// The special-key list's index of a stored specialKey; a value the table does not have is taken as
// the index itself (so a large one selects nothing).
int SpecialKeyIndex(std::uint32_t stored);
// The stored specialKey of a list index; an index outside the list (or none, -1) is no special key.
std::uint32_t StoredSpecialKey(int index);

AssignmentFlags FlagsFromCode(std::int16_t code);
std::int16_t CodeFromFlags(const AssignmentFlags& flags);

// The controls' values for a stored record (the speed kept within the trackbar's range).
AssignmentFields FieldsFromAssignment(const ControlAssignment& assignment);
// The record the controls' values make: the one-control defaults with every field set from `fields`,
// the texts cut to their fields. A keystroke wins over a special key.
ControlAssignment BuildAssignment(const AssignmentFields& fields);
// The two wheel halves of a bank share name, mouse emulation, speed and target; each keeps its own
// keystroke, special key and flags.
void ShareWithOtherWheelHalf(const ControlAssignment& saved, ControlAssignment& other);

// Whether the capture check box applies: for the wheel while it drags or scrolls (modes 3 to 6), for
// a transport key while it clicks (any mode but 0 and 3).
bool CaptureBoxShown(int slot, int mouseMode);

// The parts of the capture check box's text.
struct CaptureLabelParts {
    bool wheel = false;
    int shownListIndex = -1; // the selection of the mouse list that is shown
    int mouseMode = 0;
    std::string windowTitle;
    std::string windowClass;
    int clickX = -1;
    int clickY = -1;
    std::string controlCaption;
};
// The capture check box's text: the captured target with its point, or the invitation to capture;
// patterns from the editor's string table (61254, 61257, 61266).
std::string CaptureLabel(const StringSource& strings, const CaptureLabelParts& parts);

} // namespace qvl
