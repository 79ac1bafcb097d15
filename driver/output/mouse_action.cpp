#include "driver/output/mouse_action.h"

#include <algorithm>
#include <cstring>

namespace qvl {

namespace {

// Absolute mouse coordinates span 0..65535 over the primary screen.
constexpr std::int64_t kAbsoluteSpan = 65535;

// A scroll follows the wheel only beyond this many pixels of scaled travel.
constexpr std::int32_t kScrollDeadBand = 5;
// The wheel speed setting's full scale: at 128 one step of the wheel is one pixel of drag or scroll.
constexpr std::int64_t kFullSpeed = 128;

std::int32_t Clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// The wheel's travel scaled by the speed setting, truncated towards zero.
std::int32_t ScaledTravel(std::int32_t speedSetting, const CWheelTracker& wheel) {
    return Clamp32(static_cast<std::int64_t>(speedSetting) * wheel.Position() / kFullSpeed);
}

// Scaling truncates, and the system maps an absolute position back by truncating too: a point is
// aimed at one pixel further in, or the pointer lands a pixel short of it.
Point OnePixelIn(Point p) {
    return {Clamp32(static_cast<std::int64_t>(p.x) + 1), Clamp32(static_cast<std::int64_t>(p.y) + 1)};
}

template <std::size_t N> void CopyString(char (&to)[N], const char (&from)[N]) {
    std::memcpy(to, from, N);
    to[N - 1] = '\0'; // a stored field may lack its NUL
}

} // namespace

CMouseAction::Mode CMouseAction::ModeFor(std::int16_t mouseMode, int controlIndex) {
    if (IsWheelControl(controlIndex)) {
        if (mouseMode >= kHorizontalMove && mouseMode <= kSpecialMode)
            return static_cast<Mode>(mouseMode + 2);
        return kNoMouseAction;
    }
    if (mouseMode == kLeftClick || mouseMode == kRightClick)
        return static_cast<Mode>(mouseMode);
    return kNoMouseAction;
}

// Divided by the real screen size, not a fixed 1024 x 768: on any other screen a fixed divisor puts
// the click somewhere else than the point captured in the window, and a 1024 x 768 screen gives the
// same figures either way.
void CMouseAction::ScaleToAbsolute(Point& p, Point screen) {
    const std::int64_t width = screen.x > 0 ? screen.x : kScaleWidth;
    const std::int64_t height = screen.y > 0 ? screen.y : kScaleHeight;
    p.x = Clamp32(p.x * kAbsoluteSpan / width);
    p.y = Clamp32(p.y * kAbsoluteSpan / height);
}

void CMouseAction::Load(const ControlAssignment& assignment, int controlIndex, std::uint32_t threadId) {
    wheelDriven = IsWheelControl(controlIndex) ? 1 : 0;
    mode = ModeFor(assignment.mouseMode, controlIndex);
    if (mode == kNoMouseAction)
        return;
    pointX = assignment.clickX;
    pointY = assignment.clickY;
    CopyString(targetClass, assignment.windowClass);
    speedSetting = assignment.wheelSpeed;
    CopyString(targetTitle, assignment.windowTitle);
    // trunc(speed x 0.02 + 1): 1 pixel per step for speeds 1 to 49, 2 for 50 to 99, 3 from 100.
    const std::int32_t pixels = (speedSetting + 50) / 50;
    step = controlIndex == kWheelClockwise ? pixels : controlIndex == kWheelCounterClockwise ? -pixels : 0;
    targetThreadId = threadId;
    LoadModifiers(assignment);
}

bool CMouseAction::AimsAtPoint() const {
    return mode == kClickLeft || mode == kClickRight || (mode >= kDragHorizontal && mode <= kScrollVertical);
}

void CMouseAction::Execute(int count, CWheelTracker& wheel) {
    if (mode == kSpecial) {
        ports_.shared.SetDataValue(wheel.Speed()); // published even for a step of 0; no pointer input
        return;
    }
    if (mode == kNoMouseAction || count <= 0)
        return;
    // Once a drag or scroll holds the button, the pointer stays where the motion has taken it.
    if (AimsAtPoint() && !wheel.CaptureHeld() && targetTitle[0] != '\0' && !AimAtTarget()) {
        if (mode == kClickLeft || mode == kClickRight)
            OfferNewTarget();
        return; // the click of this press is not made, whatever the answer
    }
    switch (mode) {
        case kClickLeft:
            if (PressLeft(false, wheel)) {
                clickUps_ |= kMouseLeftUp;
                clickModifiers_ = modifiers.ModifierCode();
            }
            break;
        case kClickRight:
            if (PressRight()) {
                clickUps_ |= kMouseRightUp;
                clickModifiers_ = modifiers.ModifierCode();
            }
            break;
        case kMoveHorizontal:
        case kMoveVertical:
            if (wheel.CaptureHeld())
                EndWheelMotion(wheel);
            // Clockwise moves right and up, counter-clockwise left and down.
            for (int i = 0; i < count; ++i) {
                if (mode == kMoveHorizontal)
                    input_.Mouse(kMouseMove, step, 0);
                else
                    input_.Mouse(kMouseMove, 0, -step);
            }
            break;
        case kDragHorizontal:
        case kDragVertical:
            axis = mode == kDragHorizontal ? kHorizontal : kVertical;
            DragStep(wheel);
            break;
        case kScrollHorizontal:
        case kScrollVertical:
            axis = mode == kScrollHorizontal ? kHorizontal : kVertical;
            ScrollStep(wheel);
            break;
        default:
            break;
    }
}

bool CMouseAction::AimAtTarget() {
    targetWindow = FindTargetWindow();
    if (targetWindow == kNoWindow)
        return false;
    Point p = OnePixelIn(ports_.pointer.ClientToScreen(targetWindow, {pointX, pointY}));
    ScaleToAbsolute(p, ports_.pointer.ScreenSize());
    // A wheel movement aims again at every step until its drag or scroll takes hold; only the first
    // aim finds the cursor where the user left it.
    if (!(wheelDriven != 0 && savedInMotion_)) {
        savedCursor = ports_.pointer.CursorPosition();
        savedInMotion_ = wheelDriven != 0;
    }
    ports_.pointer.BringToTop(targetWindow);
    input_.Mouse(kMouseMove | kMouseAbsolute, p.x, p.y);
    return true;
}

bool CMouseAction::PressLeft(bool lock, CWheelTracker& wheel) {
    if (buttonLocked != 0)
        return false;
    modifiers.PressModifiers();
    input_.Mouse(kMouseLeftDown, 0, 0);
    buttonDown = 1;
    SetCaptureState(lock, wheel);
    if (lock) {
        buttonLocked = 1;
        heldModifiers_ = modifiers.ModifierCode();
    }
    return true;
}

bool CMouseAction::PressRight() {
    if (buttonLocked != 0)
        return false;
    modifiers.PressModifiers();
    input_.Mouse(kMouseRightDown, 0, 0);
    buttonDown = 1;
    return true;
}

void CMouseAction::SetCaptureState(bool on, CWheelTracker& wheel) {
    if (on)
        ports_.pointer.SetCapture(targetWindow);
    else
        ports_.pointer.ReleaseCapture();
    wheel.SetCaptureHeld(on);
}

void CMouseAction::FinishClick() {
    if (clickUps_ == 0)
        return; // no click in progress: a drag's or scroll's button has its own end
    if ((clickUps_ & kMouseLeftUp) != 0)
        input_.Mouse(kMouseLeftUp, 0, 0);
    if ((clickUps_ & kMouseRightUp) != 0)
        input_.Mouse(kMouseRightUp, 0, 0);
    clickUps_ = 0;
    buttonDown = 0;
    if (savedCursor) {
        Point p = OnePixelIn(*savedCursor); // as when aiming, so the cursor lands where it was
        ScaleToAbsolute(p, ports_.pointer.ScreenSize());
        input_.Mouse(kMouseMove | kMouseAbsolute, p.x, p.y);
        savedCursor.reset();
    }
}

void CMouseAction::MoveAlongAxis(std::int32_t distance) {
    if (axis == kHorizontal)
        input_.Mouse(kMouseMove, distance, 0);
    else
        input_.Mouse(kMouseMove, 0, Clamp32(-static_cast<std::int64_t>(distance)));
}

std::int32_t CMouseAction::DragDelta(const CWheelTracker& wheel) {
    const std::int32_t now = ScaledTravel(speedSetting, wheel);
    const std::int32_t d = Clamp32(static_cast<std::int64_t>(now) - dragPosition);
    dragPosition = now;
    return d;
}

void CMouseAction::DragStep(CWheelTracker& wheel) {
    const std::int32_t d = DragDelta(wheel);
    if (d == 0)
        return; // nothing is pressed until the drag has somewhere to go
    PressLeft(true, wheel);
    if (dragStarted == 0) {
        // After the first distance was taken, so the next step measures from 0 again.
        dragStarted = 1;
        dragPosition = 0;
    }
    MoveAlongAxis(d);
}

std::int32_t CMouseAction::ScrollDelta(const CWheelTracker& wheel) {
    std::int32_t v = ScaledTravel(speedSetting, wheel);
    if (v < 0)
        v = std::min(v + kScrollDeadBand, 0);
    else if (v > 0)
        v = std::max(v - kScrollDeadBand, 0);
    const std::int32_t d = Clamp32(static_cast<std::int64_t>(v) - scrollPosition);
    scrollPosition = v;
    return d;
}

void CMouseAction::ScrollStep(CWheelTracker& wheel) {
    const std::int32_t d = ScrollDelta(wheel);
    if (d == 0)
        return;
    if (scrollActive == 0) {
        PressLeft(true, wheel);
        scrollActive = 1;
        SetCaptureState(true, wheel);
    }
    MoveAlongAxis(d);
    if (scrollActive != 0 && scrollPosition == 0)
        EndScroll(wheel); // back inside the dead band: let go
}

void CMouseAction::ReleaseHeldModifiers() {
    CModifierKeys::Send(input_, heldModifiers_, true);
    heldModifiers_ = 0;
}

void CMouseAction::EndScroll(CWheelTracker& wheel) {
    input_.Mouse(kMouseLeftUp, 0, 0);
    ReleaseHeldModifiers();
    SetCaptureState(false, wheel);
    scrollActive = 0;
    buttonLocked = 0;
    scrollPosition = 0;
    if (savedCursor)
        ports_.pointer.SetCursorPosition(*savedCursor); // kept: the wheel movement may aim again
}

void CMouseAction::EndWheelMotion(CWheelTracker& wheel) {
    savedInMotion_ = false; // the movement is over; the next aim saves the cursor afresh
    // The drag measures from 0 again, also when a scroll has let go of the button the drag pressed: a
    // stale measure would press the button at the next movement's first step, which arms no idle timer
    // that could ever release it.
    dragStarted = 0;
    dragPosition = 0;
    if (!wheel.CaptureHeld() || scrollActive != 0)
        return;
    buttonLocked = 0;
    input_.Mouse(kMouseLeftUp, 0, 0);
    SetCaptureState(false, wheel);
    ReleaseHeldModifiers();
}

} // namespace qvl
