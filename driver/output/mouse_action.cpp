#include "driver/output/mouse_action.h"

namespace qvl {

void CMouseAction::Load(const ControlAssignment&, int, std::uint32_t) {}

void CMouseAction::Execute(int, CWheelTracker&) {}

bool CMouseAction::IsScrollActive() const {
    return false;
}

void CMouseAction::EndScroll(CWheelTracker&) {}

void CMouseAction::EndWheelMotion(CWheelTracker&) {}

bool CMouseAction::IsButtonDown() const {
    return false;
}

void CMouseAction::FinishClick() {}

} // namespace qvl
