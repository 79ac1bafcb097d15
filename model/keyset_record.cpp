#include "model/keyset_record.h"

#include <cstring>

namespace qvl {

const char* const kControlValueNames[kControlCount] = {"Play", "Stop", "FF", "RR", "Record", "CCWheel", "CWheel"};
const char* const kBankKeyNames[kBankCount] = {"MainBank", "Option Bank", "Shift Bank", "Option+Shift Bank"};

// Columns in control order: Play, Stop, Fast Forward, Rewind, Record.
const unsigned kTransportNameIds[kBankCount][5] = {
    {61216, 61212, 61204, 61208, 61220},
    {61217, 61213, 61205, 61209, 61221},
    {61218, 61215, 61206, 61210, 61222},
    {61219, 61214, 61207, 61211, 61223},
};

void CopyToField(char* field, std::size_t fieldSize, const char* text) {
    if (fieldSize == 0)
        return;
    std::size_t length = 0;
    if (text != nullptr) {
        while (length + 1 < fieldSize && text[length] != '\0')
            ++length;
        std::memcpy(field, text, length);
    }
    std::memset(field + length, 0, fieldSize - length);
}

std::string ReadField(const char* field, std::size_t fieldSize) {
    const void* end = std::memchr(field, '\0', fieldSize);
    std::size_t length = end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : fieldSize;
    return std::string(field, length);
}

void TerminateStrings(ControlAssignment& assignment) {
    TerminateField(assignment.windowTitle);
    TerminateField(assignment.windowClass);
    TerminateField(assignment.controlName);
}

void TerminateStrings(KeysetRecord& record) {
    TerminateField(record.header.appName);
    for (BankRecord& bank : record.banks)
        for (ControlAssignment& assignment : bank.controls)
            TerminateStrings(assignment);
}

void InitAssignment(ControlAssignment& assignment) {
    std::memset(&assignment, 0, sizeof assignment);
    assignment.captureOnFirstPress = 0;
    assignment.wheelSpeed = 64;
    assignment.flagCode = 128;
    assignment.hotKeyVk = 0;
    assignment.hotKeyMods = 0;
    assignment.specialKey = kSpecialNone;
    assignment.mouseMode = kMouseNone;
    assignment.clickX = -1;
    assignment.clickY = -1;
}

namespace {

// The key settings a new keyset starts with; everything else does nothing.
void ApplyDefaultKeys(ControlAssignment& assignment, int bank, int control) {
    if (bank != kMainBank)
        return;
    switch (control) {
        case kPlay:
            assignment.specialKey = kSpecialEnter;
            break;
        case kStop:
            assignment.specialKey = kSpecialSpace;
            break;
        case kWheelCounterClockwise:
            assignment.hotKeyVk = 37; // Left Arrow, an extended key
            assignment.hotKeyMods = kHotKeyExtended;
            break;
        case kWheelClockwise:
            assignment.hotKeyVk = 39; // Right Arrow, an extended key
            assignment.hotKeyMods = kHotKeyExtended;
            break;
        default:
            break;
    }
}

void SetDefaultName(ControlAssignment& assignment, int bank, int control, const StringSource& names) {
    char text[sizeof assignment.controlName] = {};
    if (!IsWheelControl(control)) {
        names.Load(kTransportNameIds[bank][control], text, sizeof text);
    } else if (bank == kMainBank) {
        names.Load(kWheelNameId, text, sizeof text);
    } else if (bank == kOptionBank) {
        CopyToField(text, kWheelLedOffName);
    }
    text[sizeof text - 1] = '\0';
    CopyToField(assignment.controlName, text);
}

} // namespace

void InitKeyset(KeysetRecord& record, const char* name, std::int32_t reservedA, const StringSource& names) {
    std::memset(&record.header, 0, sizeof record.header);
    CopyToField(record.header.appName, name);
    record.header.reservedA = reservedA;
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int control = 0; control < kControlCount; ++control) {
            ControlAssignment& assignment = AssignmentAt(record, bank, control);
            InitAssignment(assignment);
            ApplyDefaultKeys(assignment, bank, control);
            SetDefaultName(assignment, bank, control, names);
        }
    }
}

} // namespace qvl
