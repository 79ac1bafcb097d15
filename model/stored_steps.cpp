#include "model/stored_steps.h"

#include "model/utf_text.h"

namespace qvl {

namespace {

constexpr const char* kFieldSuffixes[kStepsFieldCount] = {kStepsValueSuffix, kReleaseValueSuffix, kRepeatValueSuffix};

bool IsControl(int control) {
    return control >= 0 && control < kControlCount;
}

} // namespace

bool HasStepsField(int control, int field) {
    return IsControl(control) && (field == kPressField || (!IsWheelControl(control) && field < kStepsFieldCount));
}

AssignmentSteps StepsForControl(int control, AssignmentSteps steps) {
    if (!HasStepsField(control, kPressField))
        return AssignmentSteps();
    if (!HasStepsField(control, kReleaseField))
        steps.release.clear();
    if (!HasStepsField(control, kRepeatField))
        steps.repeat = false;
    return steps;
}

std::string StepsValueName(int control, int field) {
    return std::string(kControlValueNames[control]) + kFieldSuffixes[field];
}

bool SameStepsField(const AssignmentSteps& a, const AssignmentSteps& b, int field) {
    switch (field) {
        case kPressField:
            return a.press == b.press;
        case kReleaseField:
            return a.release == b.release;
        default:
            return a.repeat == b.repeat;
    }
}

void CopyStepsField(const AssignmentSteps& from, AssignmentSteps& to, int field) {
    switch (field) {
        case kPressField:
            to.press = from.press;
            break;
        case kReleaseField:
            to.release = from.release;
            break;
        default:
            to.repeat = from.repeat;
            break;
    }
}

AssignmentSteps ReadStoredSteps(Registry& registry, Registry::Key bankKey, int control) {
    AssignmentSteps steps;
    if (!IsControl(control))
        return steps;
    const auto text = [&](int field) {
        const std::optional<std::u16string> stored =
            registry.ReadText16(bankKey, StepsValueName(control, field).c_str(), kStoredStepsMaxUnits);
        return stored ? Utf8FromUtf16(*stored) : std::string();
    };
    steps.press = text(kPressField);
    if (HasStepsField(control, kReleaseField))
        steps.release = text(kReleaseField);
    if (HasStepsField(control, kRepeatField))
        steps.repeat = registry.ReadDword(bankKey, StepsValueName(control, kRepeatField).c_str()).value_or(0) != 0;
    return steps;
}

namespace {

constexpr long kInvalidData = 13; // the system's "The data is invalid."

RegStatus WriteText(Registry& registry, Registry::Key keysetKey, const char* bankName, const std::string& name,
                    const std::string& text) {
    // The program's texts are well-formed UTF-8 (each reader makes them so); one that is not cannot be
    // stored as characters, and is reported rather than stored changed.
    const std::optional<std::u16string> wide = Utf16FromUtf8(text);
    if (!wide)
        return RegStatus::Error(kInvalidData);
    const RegKey bank = RegKey::Create(registry, keysetKey, bankName);
    return bank ? registry.WriteText16(bank.Get(), name.c_str(), *wide) : bank.Status();
}

} // namespace

RegStatus WriteStepsField(Registry& registry, Registry::Key keysetKey, const char* bankName, int control, int field,
                          const AssignmentSteps& steps) {
    if (!HasStepsField(control, field))
        return RegStatus::Error(kInvalidData);
    const std::string name = StepsValueName(control, field);
    if (SameStepsField(steps, AssignmentSteps(), field)) // not set
        return registry.DeleteValue(keysetKey, bankName, name.c_str());
    if (field == kRepeatField) {
        const RegKey bank = RegKey::Create(registry, keysetKey, bankName);
        return bank ? registry.WriteDword(bank.Get(), name.c_str(), 1) : bank.Status();
    }
    return WriteText(registry, keysetKey, bankName, name, field == kPressField ? steps.press : steps.release);
}

} // namespace qvl
