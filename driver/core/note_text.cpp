#include "driver/core/note_text.h"

#include "model/key_names.h"

#include <array>

namespace qvl {

namespace {

// By control index; the wheel's two directions are one control on the device.
constexpr std::array<const char*, kControlCount> kControlNames = {
    "Play", "Stop", "Fast Forward", "Rewind", "Record", "Wheel", "Wheel",
};
// A transport control's bank is the OPTION and SHIFT keys held with it.
constexpr std::array<const char*, kBankCount> kBankPrefixes = {"", "Option+", "Shift+", "Option+Shift+"};
constexpr std::array<const char*, 4> kClickNames = {"", "Left click", "Right click", "Alternate Wheel Selector"};
constexpr std::array<const char*, 8> kWheelModeNames = {
    "",
    "Horizontal Move",
    "Vertical Move",
    "Horizontal Drag",
    "Vertical Drag",
    "Horizontal Scroll",
    "Vertical Scroll",
    "Special Mode",
};

// The keystroke as the editor writes it: the hot key with its modifiers, else the special key.
std::string KeystrokeText(const ControlAssignment& assignment) {
    if (assignment.hotKeyVk != 0)
        return ModifierPrefix(assignment.hotKeyMods) + KeyName(assignment.hotKeyVk);
    return SpecialKeyName(assignment.specialKey);
}

std::string MouseText(int control, std::int16_t mouseMode) {
    if (IsWheelControl(control))
        return mouseMode > 0 && mouseMode < static_cast<int>(kWheelModeNames.size()) ? kWheelModeNames[mouseMode] : "";
    return mouseMode > 0 && mouseMode < static_cast<int>(kClickNames.size()) ? kClickNames[mouseMode] : "";
}

} // namespace

std::string ActionNoteText(int bank, int control, const ControlAssignment& assignment, int magnitude) {
    if (control < 0 || control >= kControlCount || bank < 0 || bank >= kBankCount)
        return "";
    std::string did = KeystrokeText(assignment);
    const std::string mouse = MouseText(control, assignment.mouseMode);
    if (!mouse.empty())
        did += did.empty() ? mouse : ", " + mouse;
    if (did.empty())
        return "";
    std::string text = IsWheelControl(control) ? "" : kBankPrefixes[static_cast<std::size_t>(bank)];
    text += kControlNames[static_cast<std::size_t>(control)];
    text += ": " + did;
    if (magnitude > 1)
        text += " x" + std::to_string(magnitude);
    return text;
}

} // namespace qvl
