#include "driver/output/keystroke_action.h"

namespace qvl {

namespace {

constexpr std::int32_t kThrottleBase = 136; // at speed s, s - 136 steps are skipped between keystrokes

} // namespace

void CKeystrokeAction::Load(const ControlAssignment& assignment, int controlIndex) {
    wheelDriven = IsWheelControl(controlIndex) ? 1 : 0;
    if (assignment.hotKeyVk != 0)
        keyCode = assignment.hotKeyVk;
    else
        keyCode = static_cast<std::uint16_t>(assignment.specialKey & 0xFFFF);
    speedSetting = assignment.wheelSpeed;
    LoadModifiers(assignment);
}

bool CKeystrokeAction::Throttled() {
    if (wheelDriven == 0)
        return false;
    if (skipCount > 0) {
        --skipCount;
        return true;
    }
    skipCount = kThrottleBase - speedSetting;
    return false;
}

bool CKeystrokeAction::Execute(int count, const CWheelTracker& wheel) {
    const std::uint8_t vk = VirtualKey(keyCode);
    if (vk == 0)
        return false; // no keystroke: not even the modifier keys go out
    bool sent = false;
    for (int pass = 0; pass < count; ++pass) {
        if (Throttled())
            continue;
        modifiers.PressModifiers();
        input_.Key(vk, false);
        sent = true;
        if (wheel.Running() != 0)
            Release();
    }
    return sent;
}

int CKeystrokeAction::Passes(int count) {
    int passes = 0;
    for (int pass = 0; pass < count; ++pass)
        if (!Throttled())
            ++passes;
    return passes;
}

void CKeystrokeAction::Release(const SentKeystroke& sent) {
    const std::uint8_t vk = VirtualKey(sent.keyCode);
    if (vk != 0)
        input_.Key(vk, true);
    CModifierKeys::Send(input_, sent.modifierCode, true);
}

} // namespace qvl
