// What the dispatcher asks of the mouse emulation. CMouseAction is the one implementation; the
// dispatcher's tests record the calls.
#pragma once

#include "driver/device/wheel_tracker.h"
#include "driver/output/click_targeting.h"
#include "model/keyset_record.h"

#include <cstdint>

namespace qvl {

class MouseOutput {
public:
    MouseOutput() = default;
    MouseOutput(const MouseOutput&) = delete;
    MouseOutput& operator=(const MouseOutput&) = delete;
    virtual ~MouseOutput() = default;

    // Where the question about a missing window sends the user's answer.
    virtual void Attach(ClickTargetContext& context) = 0;
    // Set up for `assignment` of control `controlIndex`; `threadId` owns the window in front.
    virtual void Load(const ControlAssignment& assignment, int controlIndex, std::uint32_t threadId) = 0;
    // Perform the action; `count` is the event's magnitude.
    virtual void Execute(int count, CWheelTracker& wheel) = 0;
    virtual bool IsScrollActive() const = 0;
    // Let go of a running scroll.
    virtual void EndScroll(CWheelTracker& wheel) = 0;
    // End a wheel-driven drag; a running scroll is left alone.
    virtual void EndWheelMotion(CWheelTracker& wheel) = 0;
    virtual bool IsButtonDown() const = 0;
    // The transport button came up.
    virtual void FinishClick() = 0;
    // The modifier code the click in progress pressed with its button (0 when none is in progress).
    virtual std::int16_t ClickModifierCode() const = 0;
};

} // namespace qvl
