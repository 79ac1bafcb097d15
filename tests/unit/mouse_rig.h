// The mouse object alone over fakes of its ports, with a wheel tracker the test moves by hand and a
// context that plays the dispatcher's part in click targeting.
#pragma once

#include "output_fakes.h"

#include "driver/output/mouse_action.h"
#include "model/memory_blocks.h"

#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>

namespace qvl {

inline void PrintTo(const Point& p, std::ostream* out) {
    *out << "(" << p.x << ", " << p.y << ")";
}

} // namespace qvl

namespace qvl::fakes {

// The program in front: its thread owns the click windows of the tests.
constexpr std::uint32_t kFrontThread = 70;

class FakeClickContext final : public ClickTargetContext {
public:
    explicit FakeClickContext(Events& journal) : journal_(journal) {}
    WindowId LastForeground() const override { return front; }
    std::uint32_t ForegroundThreadId() const override { return kFrontThread; }
    void AcceptForegroundAsTarget() override { journal_.push_back("accept"); }
    WindowId front = kNoWindow;

private:
    Events& journal_;
};

inline ControlAssignment MouseAssignment(std::int16_t mouseMode, std::int16_t speed = 64, const char* title = "",
                                         const char* className = "") {
    ControlAssignment a;
    InitAssignment(a);
    a.mouseMode = mouseMode;
    a.wheelSpeed = speed;
    CopyToField(a.windowTitle, title);
    CopyToField(a.windowClass, className);
    return a;
}

struct MouseRig {
    Events journal;
    RecordingInput input{&journal};
    FakeDesktop desktop;
    FakePointer pointer{journal};
    FakeQuestion question{journal};
    FakeStrings strings = DriverStrings();
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CMouseAction mouse{input, MousePorts{desktop, pointer, question, strings, shared}};
    FakeClickContext context{journal};
    CWheelTracker wheel;

    MouseRig() {
        shared.Create();
        mouse.Attach(context);
        input.onMouse = [this](std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
            pointer.Follow(flags, dx, dy);
        };
    }

    // A top-level window of the program in front, its client area at `origin` on the screen.
    WindowId Window(const std::string& title, const std::string& className, Point origin = {},
                    WindowId parent = kNoWindow) {
        const WindowId window = desktop.Add({title, className, parent, kFrontThread, 7});
        pointer.origins[window] = origin;
        return window;
    }

    // The wheel in a running movement at `position`, reached by wheel messages as the decoder sends
    // them: a first message starts the movement at 0, later ones move it.
    void WheelAt(std::int32_t position) {
        if (wheel.Running() == 0)
            wheel.Step(2);
        while (wheel.Position() != position) {
            const std::int32_t left = position - wheel.Position();
            wheel.SetMagnitude(static_cast<std::int8_t>(std::min(std::abs(left), 29)));
            wheel.Step(left > 0 ? 2 : 1);
        }
    }

    // Load `a` for `control` and execute it once with `count`; what that sent.
    Events Run(const ControlAssignment& a, int control, int count = 1) {
        mouse.Load(a, control, kFrontThread);
        mouse.Execute(count, wheel);
        return Take();
    }
    // A wheel message of the loaded assignment that leaves the tracker at `position`.
    Events StepTo(std::int32_t position) {
        WheelAt(position);
        mouse.Execute(1, wheel);
        return Take();
    }
    Events Take() { return std::exchange(journal, Events()); }
};

} // namespace qvl::fakes
