// The mouse emulation of an assignment: clicks for the transport buttons; moves, drags, scrolls and
// the special mode for the wheel. The dispatcher drives it after the keystroke of the same assignment.
//
// A click, drag or scroll with a stored window is aimed first: the window is found again (click
// targeting), raised, and the pointer jumps to the stored point inside it. A click holds its button
// from the transport key's press to its release. A drag holds the left button from its first step of
// real distance until the wheel has rested for a second (or a button message comes); a scroll holds it
// while the wheel's travel is outside a dead band of 5 pixels. Moves and the special mode hold nothing.
#pragma once

#include "driver/device/wheel_tracker.h"
#include "driver/output/click_targeting.h"
#include "driver/output/desktop.h"
#include "driver/output/mouse_output.h"
#include "driver/output/mouse_pointer.h"
#include "driver/output/output_action.h"
#include "driver/output/user_question.h"
#include "model/keyset_record.h"
#include "model/shared_info.h"

#include <cstdint>
#include <optional>

namespace qvl {

// What the mouse object works through besides the input stream.
struct MousePorts {
    Desktop& desktop;
    MousePointer& pointer;
    UserQuestion& question;
    const StringSource& strings; // the driver's string table, for the question about a missing window
    CSharedInfo& shared;         // the special mode publishes the wheel speed in its second block
};

class CMouseAction final : public COutputAction, public MouseOutput {
public:
    // The object's own modes, from an assignment's mouseMode and the kind of its control.
    enum Mode : std::int16_t {
        kNoMouseAction = 0,
        kClickLeft = 1,
        kClickRight = 2,
        kMoveHorizontal = 3,
        kMoveVertical = 4,
        kDragHorizontal = 5,
        kDragVertical = 6,
        kScrollHorizontal = 7,
        kScrollVertical = 8,
        kSpecial = 9,
    };
    enum Axis : std::int16_t { kHorizontal = 0, kVertical = 1 };

    CMouseAction(InputSynth& input, const MousePorts& ports) : COutputAction(input), ports_(ports) {}

    // Where the question about a missing window sends the user's answer. Without a context a missing
    // window only skips the click.
    void Attach(ClickTargetContext& context) override { context_ = &context; }

    // The mode for `mouseMode` on control `controlIndex`; kNoMouseAction for combinations that mean
    // nothing (a transport button with 3 or more, the wheel with 8 or more).
    static Mode ModeFor(std::int16_t mouseMode, int controlIndex);
    // Screen pixels to absolute mouse coordinates over a screen of `screen` pixels (1024 x 768 when
    // the size is unknown).
    static void ScaleToAbsolute(Point& p, Point screen = {kScaleWidth, kScaleHeight});
    static constexpr std::int32_t kScaleWidth = 1024;
    static constexpr std::int32_t kScaleHeight = 768;

    // Set up for `assignment` of control `controlIndex`; `threadId` owns the window in front.
    void Load(const ControlAssignment& assignment, int controlIndex, std::uint32_t threadId) override;
    // Perform the action; `count` is the event's magnitude (moves repeat it; drags and scrolls make
    // one step, their distance coming from the wheel's travel).
    void Execute(int count, CWheelTracker& wheel) override;
    bool IsScrollActive() const override { return scrollActive != 0; }
    // Let go of a running scroll and put the cursor back where it was before the scroll aimed it.
    void EndScroll(CWheelTracker& wheel) override;
    // End a wheel-driven drag: at every button message, and when the wheel has been idle for a second.
    // A running scroll is left alone.
    void EndWheelMotion(CWheelTracker& wheel) override;
    bool IsButtonDown() const override { return buttonDown != 0; }
    // The transport button came up: the click's button up, the cursor back where it was.
    void FinishClick() override;

    // The window of the current action, found again among the windows of the thread in front.
    WindowId FindTargetWindow();
    // Ask whether the window in front should become the click's window; on OK it does, and is saved.
    void OfferNewTarget();

    // The modifier code that the click in progress pressed with its button (0 when none is in
    // progress), which the transport key's release has to let go of.
    std::int16_t ClickModifierCode() const override { return clickUps_ != 0 ? clickModifiers_ : 0; }
    int CurrentMode() const { return mode; }
    std::int32_t Step() const { return step; }
    bool IsButtonLocked() const { return buttonLocked != 0; }
    std::int32_t DragPosition() const { return dragPosition; }
    std::int32_t ScrollPosition() const { return scrollPosition; }
    const std::optional<Point>& SavedCursor() const { return savedCursor; }

private:
    bool AimsAtPoint() const;
    // Find the window, then raise it and put the pointer on the stored point; false when it is gone.
    bool AimAtTarget();
    bool PressLeft(bool lock, CWheelTracker& wheel);
    bool PressRight();
    void SetCaptureState(bool on, CWheelTracker& wheel);
    void DragStep(CWheelTracker& wheel);
    std::int32_t DragDelta(const CWheelTracker& wheel);
    void ScrollStep(CWheelTracker& wheel);
    std::int32_t ScrollDelta(const CWheelTracker& wheel);
    void MoveAlongAxis(std::int32_t distance);
    void ReleaseHeldModifiers();

    MousePorts ports_;
    ClickTargetContext* context_ = nullptr;

    std::int32_t dragStarted = 0;     // the drag has moved since it began
    std::int32_t dragPosition = 0;    // the drag's last computed position, in pixels
    std::int32_t buttonDown = 0;      // a button went down and FinishClick has not been called since
    std::optional<Point> savedCursor; // screen position of the cursor before the object aimed it
    WindowId targetWindow = kNoWindow;
    std::int16_t axis = kHorizontal;
    std::int32_t scrollPosition = 0; // the scroll's last computed position, in pixels
    std::int32_t buttonLocked = 0;   // the left button is held for a drag or a scroll
    std::int32_t step = 0;           // pixels per move step; the sign is the direction
    std::int32_t pointX = 0;         // the stored point, in client coordinates of the target window
    std::int32_t pointY = 0;
    std::int16_t mode = kNoMouseAction;
    std::int32_t scrollActive = 0; // a scroll holds the left button

    // The button-up events the click in progress owes (kMouseLeftUp, kMouseRightUp), whatever
    // assignment is loaded by the time its key comes up, and the modifier code it pressed.
    std::uint32_t clickUps_ = 0;
    std::int16_t clickModifiers_ = 0;
    // The modifier code pressed with the held left button of a drag or scroll: the end releases these,
    // even when the other wheel direction with other modifiers was loaded since.
    std::int16_t heldModifiers_ = 0;
    // The cursor was saved by aiming during the current wheel movement: later aims of the same movement
    // keep that position instead of saving the pointer where the first aim put it.
    bool savedInMotion_ = false;
};

} // namespace qvl
