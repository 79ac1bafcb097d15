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

// The note draws its text in the system's code page: what is beyond ASCII in a typed text is shown as "?",
// one for each character.
std::string Shown(const std::string& utf8) {
    std::string shown;
    for (const char byte : utf8) {
        const auto unit = static_cast<unsigned char>(byte);
        if (unit < 0x80)
            shown += byte;
        else if (unit >= 0xC0) // a character's first byte; the bytes that continue it add nothing
            shown += '?';
    }
    return shown;
}

} // namespace

std::string StepsNoteText(const Steps& steps, std::size_t limit) {
    constexpr const char* kMore = "...";
    std::string text;
    for (const Step& step : steps) {
        const std::string next = (text.empty() ? "" : ", ") + Shown(PrintSteps(Steps{step}));
        if (text.size() + next.size() > limit) {
            if (text.empty()) // one long step: cut inside it
                text = next.substr(0, limit > 3 ? limit - 3 : 0);
            return text + kMore;
        }
        text += next;
    }
    return text;
}

std::string ActionNoteText(int bank, int control, const ControlAssignment& assignment, int magnitude,
                           const Steps* steps) {
    if (control < 0 || control >= kControlCount || bank < 0 || bank >= kBankCount)
        return "";
    std::string did = steps != nullptr ? StepsNoteText(*steps) : KeystrokeText(assignment);
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
