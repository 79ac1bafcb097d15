#include "editor/app/assignment_form.h"

#include "base/format_string.h"
#include "editor/res/resource.h"
#include "model/string_text.h"

#include <algorithm>

namespace qvl {

const char* const kSpecialKeyItems[kSpecialKeyItemCount] = {"None",  "Enter",     "Tab",   "Shift + Tab",
                                                            "Space", "Backspace", "Delete"};
const char* const kClickItems[kClickItemCount] = {"None", "Left Mouse Click", "Right Mouse Click"};
const char* const kEmulationItems[kEmulationItemCount] = {
    "None",          "Horizontal Move",   "Vertical Move",   "Horizontal Drag",
    "Vertical Drag", "Horizontal Scroll", "Vertical Scroll", "Special Mode"};

namespace {

constexpr std::uint32_t kSpecialKeyValues[kSpecialKeyItemCount] = {
    kSpecialNone, kSpecialEnter, kSpecialTab, kSpecialShiftTab, kSpecialSpace, kSpecialBackspace, kSpecialDelete};

// flagCode by flags (a, b, c); any other code means none.
struct FlagCode {
    std::int16_t code;
    AssignmentFlags flags;
};
constexpr FlagCode kFlagCodes[] = {
    {0, {false, false, false}}, {1, {true, false, false}}, {2, {false, true, false}}, {3, {false, false, true}},
    {4, {true, true, false}},   {5, {true, false, true}},  {6, {true, true, true}},   {7, {false, true, true}},
};

std::string ItemText(const char* const* items, int count, int index) {
    return index >= 0 && index < count ? items[index] : "";
}

std::string MouseItemText(bool wheel, int index) {
    return wheel ? ItemText(kEmulationItems, kEmulationItemCount, index)
                 : ItemText(kClickItems, kClickItemCount, index);
}

} // namespace

int SpecialKeyIndex(std::uint32_t stored) {
    switch (stored & 0xFFFF) {
        case 0:
            return 0;
        case kSpecialEnter:
            return 1;
        case kSpecialTab:
            return (stored >> 16) == 1 ? 3 : 2;
        case kSpecialSpace:
            return 4;
        case kSpecialBackspace:
            return 5;
        case kSpecialDelete:
            return 6;
        default:
            // Beyond the list's items this selects nothing (and is stored back as none).
            return stored > static_cast<std::uint32_t>(kSpecialKeyItemCount) ? -1 : static_cast<int>(stored);
    }
}

std::uint32_t StoredSpecialKey(int index) {
    return index >= 0 && index < kSpecialKeyItemCount ? kSpecialKeyValues[index] : kSpecialNone;
}

AssignmentFlags FlagsFromCode(std::int16_t code) {
    for (const FlagCode& entry : kFlagCodes)
        if (entry.code == code)
            return entry.flags;
    return AssignmentFlags{};
}

std::int16_t CodeFromFlags(const AssignmentFlags& flags) {
    for (const FlagCode& entry : kFlagCodes)
        if (entry.flags.a == flags.a && entry.flags.b == flags.b && entry.flags.c == flags.c)
            return entry.code;
    return 0;
}

AssignmentFields FieldsFromAssignment(const ControlAssignment& assignment) {
    AssignmentFields fields;
    fields.capture = assignment.captureOnFirstPress != 0;
    fields.wheelSpeed = std::clamp<int>(assignment.wheelSpeed, kSlowestWheelSpeed, kFastestWheelSpeed);
    fields.flags = FlagsFromCode(assignment.flagCode);
    fields.hotKeyVk = assignment.hotKeyVk;
    fields.hotKeyMods = assignment.hotKeyMods;
    fields.specialKeyIndex = SpecialKeyIndex(assignment.specialKey);
    fields.mouseMode = assignment.mouseMode;
    fields.clickX = assignment.clickX;
    fields.clickY = assignment.clickY;
    fields.windowTitle = ReadField(assignment.windowTitle);
    fields.windowClass = ReadField(assignment.windowClass);
    fields.name = ReadField(assignment.controlName);
    return fields;
}

ControlAssignment BuildAssignment(const AssignmentFields& fields) {
    ControlAssignment assignment;
    InitAssignment(assignment);
    assignment.captureOnFirstPress = fields.capture ? 1 : 0;
    assignment.hotKeyVk = fields.hotKeyVk;
    assignment.hotKeyMods = fields.hotKeyMods;
    const bool hasKeystroke = (fields.hotKeyVk & 0xFF) != 0 || (fields.hotKeyMods & 0xFF) != 0;
    assignment.specialKey = hasKeystroke ? kSpecialNone : StoredSpecialKey(fields.specialKeyIndex);
    assignment.mouseMode = static_cast<std::int16_t>(fields.mouseMode);
    assignment.clickX = fields.clickX;
    assignment.clickY = fields.clickY;
    CopyToField(assignment.windowClass, fields.windowClass.c_str());
    CopyToField(assignment.windowTitle, fields.windowTitle.c_str());
    assignment.flagCode = CodeFromFlags(fields.flags);
    assignment.wheelSpeed =
        static_cast<std::int16_t>(std::clamp(fields.wheelSpeed, kSlowestWheelSpeed, kFastestWheelSpeed));
    CopyToField(assignment.controlName, fields.name.c_str());
    return assignment;
}

void ShareWithOtherWheelHalf(const ControlAssignment& saved, ControlAssignment& other) {
    std::copy(std::begin(saved.controlName), std::end(saved.controlName), std::begin(other.controlName));
    other.mouseMode = saved.mouseMode;
    other.wheelSpeed = saved.wheelSpeed;
    other.captureOnFirstPress = saved.captureOnFirstPress;
    other.clickX = saved.clickX;
    other.clickY = saved.clickY;
    std::copy(std::begin(saved.windowClass), std::end(saved.windowClass), std::begin(other.windowClass));
    std::copy(std::begin(saved.windowTitle), std::end(saved.windowTitle), std::begin(other.windowTitle));
}

bool CaptureBoxShown(int slot, int mouseMode) {
    if (IsWheelControl(slot))
        return mouseMode >= kHorizontalDrag && mouseMode <= kVerticalScroll;
    return mouseMode != kMouseNone && mouseMode != 3;
}

std::string CaptureLabel(const StringSource& strings, const CaptureLabelParts& parts) {
    const std::string at = " at " + std::to_string(parts.clickX) + " ," + std::to_string(parts.clickY);
    if (!parts.windowTitle.empty())
        return FormatString(LoadText(strings, IDS_CAPTURE_IN),
                            {MouseItemText(parts.wheel, parts.shownListIndex), parts.windowTitle + at});
    if (!parts.windowClass.empty())
        return FormatString(LoadText(strings, IDS_CAPTURE_IN),
                            {MouseItemText(parts.wheel, parts.mouseMode), parts.windowClass + at});
    if (parts.wheel)
        return LoadText(strings, IDS_CAPTURE_WHEEL);
    return FormatString(LoadText(strings, IDS_CAPTURE_PRESS), {parts.controlCaption});
}

} // namespace qvl
