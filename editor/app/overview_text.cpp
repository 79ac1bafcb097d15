#include "editor/app/overview_text.h"

#include "model/key_names.h"
#include "model/steps.h"
#include "model/string_text.h"

#include <algorithm>

namespace qvl {

namespace {

bool OnlySpaces(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

std::string Fit(std::string text, int n, int lineWidth) {
    const auto size = static_cast<std::size_t>(n > 0 && lineWidth > 0 ? n * lineWidth : 0);
    if (size == 0)
        return std::string();
    if (text.size() >= size)
        text.resize(size - 1);
    text.resize(size, ' ');
    return text;
}

std::string Centre(const std::string& text, int lineWidth) {
    const int count = (lineWidth - static_cast<int>(text.size())) / 2 + 1;
    return count > 0 ? std::string(static_cast<std::size_t>(count), ' ') + text : text;
}

std::string SplitLines(const std::string& text, int width) {
    if (width <= 0)
        return text;
    const auto full = static_cast<std::size_t>(width);
    std::string lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = std::min(full, text.size() - at);
        // A cut inside a word moves back to after the line's last space; a word longer than the line
        // is still cut. The padded fields end on a line's end, so only a text past them moves.
        const std::size_t end = at + length;
        if (end < text.size() && text[end - 1] != ' ' && text[end] != ' ') {
            const std::size_t space = text.rfind(' ', end - 1);
            if (space != std::string::npos && space >= at)
                length = space + 1 - at;
        }
        if (at > 0)
            lines += "\r\n";
        lines += text.substr(at, length);
        at += length;
    }
    return lines;
}

namespace {

// The printed form of stored steps; empty when there are none or they cannot be read (the driver then
// sends what it would without them).
std::string PrintedSteps(const std::string& stored) {
    const StepsParse parse = ParseSteps(stored);
    return parse.Ok() ? PrintSteps(parse.steps) : std::string();
}

} // namespace

std::string StepsCellText(const AssignmentSteps& steps, const std::string& keystroke, bool transport) {
    const std::string press = PrintedSteps(steps.press);
    const std::string release = transport ? PrintedSteps(steps.release) : std::string();
    const bool repeat = transport && steps.repeat;
    if (press.empty() && release.empty() && !repeat)
        return std::string();
    std::string text = press.empty() ? keystroke : press;
    if (!release.empty())
        text += (text.empty() ? "/ " : " / ") + release;
    if (repeat)
        text += text.empty() ? "repeat" : " repeat";
    return text;
}

std::string Shorten(const std::string& text, int width) {
    const auto limit = static_cast<std::size_t>(width > 0 ? width : 0);
    if (text.size() <= limit)
        return text;
    if (limit <= 3)
        return text.substr(0, limit);
    return text.substr(0, limit - 3) + "...";
}

const ControlAssignment* KeyCellText::Assignment() const {
    if (keyset == nullptr || bankIndex < 0 || bankIndex >= kBankCount || controlIndex < 0 ||
        controlIndex >= kControlCount)
        return nullptr;
    return &AssignmentAt(*keyset, bankIndex, controlIndex);
}

std::string KeyCellText::String(unsigned id) const {
    return LoadText(strings_, id);
}

std::string KeyCellText::KeyText() const {
    std::string text;
    if (const ControlAssignment* a = Assignment()) {
        if (a->hotKeyVk != 0)
            text = ModifierPrefix(a->hotKeyMods) + KeyName(a->hotKeyVk);
        else if (a->specialKey != 0)
            text = SpecialKeyName(a->specialKey);
        if (steps != nullptr) {
            const std::string shown =
                StepsCellText(steps->Get(bankIndex, controlIndex), text, !IsWheelControl(controlIndex));
            if (!shown.empty())
                text = Shorten(stepsText ? stepsText(shown) : shown, lineWidth - 1);
        }
    }
    return text.empty() ? std::string(static_cast<std::size_t>(lineWidth > 0 ? lineWidth : 0), ' ') : text;
}

std::string KeyCellText::FlagPrefix() const {
    const ControlAssignment* a = Assignment();
    if (a == nullptr || OnlySpaces(KeyText()))
        return std::string();
    return qvl::FlagPrefix(a->flagCode);
}

std::string KeyCellText::ClickText() const {
    const ControlAssignment* a = Assignment();
    switch (a != nullptr ? a->mouseMode : 0) {
        case 1:
            return String(kLeftClickNameId);
        case 2:
            return String(kRightClickNameId);
        case 3:
            return String(kAlternateWheelNameId);
        default:
            return std::string(14, ' ');
    }
}

std::string KeyCellText::ModeName() const {
    const ControlAssignment* a = Assignment();
    const int mode = a != nullptr ? a->mouseMode : 0;
    if (mode >= 1 && mode <= 7)
        return String(kFirstWheelModeNameId + static_cast<unsigned>(mode - 1));
    return std::string(static_cast<std::size_t>(lineWidth > 0 ? lineWidth : 0), ' ');
}

std::optional<std::string> KeyCellText::Compose() const {
    const ControlAssignment* a = Assignment();
    if (a == nullptr || (OnlySpaces(KeyText()) && ClickText() == std::string(14, ' ')))
        return std::nullopt;
    std::string text = Fit(ReadField(a->controlName), 1, lineWidth);
    text = Fit(text + FlagPrefix() + KeyText(), 2, lineWidth);
    return text + ClickText();
}

std::string WheelCellText::Compose() {
    const ControlAssignment* a = nullptr;
    controlIndex = kWheelCounterClockwise;
    lineWidth = 29;
    a = Assignment();
    std::string text = Fit(Centre(a != nullptr ? ReadField(a->controlName) : std::string(), lineWidth), 1, lineWidth);
    text += " ";
    lineWidth = 15;
    text = Fit(text + FlagPrefix() + KeyText(), 3, lineWidth) + "|";
    // The clockwise keystroke has one column less, after the bar.
    controlIndex = kWheelClockwise;
    lineWidth = 14;
    const std::string clockwise = FlagPrefix() + KeyText();
    lineWidth = 15;
    text = Fit(text + clockwise, 4, lineWidth);
    lineWidth = 29;
    return text + Centre(ModeName(), lineWidth);
}

} // namespace qvl
