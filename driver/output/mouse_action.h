// The mouse emulation of an assignment: clicks for the transport buttons; moves, drags, scrolls and
// the special mode for the wheel. The dispatcher drives it after the keystroke of the same assignment.
//
// Not built yet: every operation does nothing, so assignments with a mouse mode send their keystroke
// only. The operations are virtual so that the dispatcher's use of them can be observed.
#pragma once

#include "driver/device/wheel_tracker.h"
#include "driver/output/output_action.h"

#include <cstdint>

namespace qvl {

class CMouseAction : public COutputAction {
public:
    explicit CMouseAction(InputSynth& input) : COutputAction(input) {}

    // Set up for `assignment` of control `controlIndex`; `threadId` owns the foreground window.
    virtual void Load(const ControlAssignment& assignment, int controlIndex, std::uint32_t threadId);
    // Perform the action; `count` is the event's magnitude.
    virtual void Execute(int count, CWheelTracker& wheel);
    virtual bool IsScrollActive() const;
    virtual void EndScroll(CWheelTracker& wheel);
    // End a wheel-driven drag: at every button message, and when the wheel has been idle for a second.
    virtual void EndWheelMotion(CWheelTracker& wheel);
    virtual bool IsButtonDown() const;
    // The transport button came up: button up, cursor back.
    virtual void FinishClick();
};

} // namespace qvl
