#include "driver_rig.h"

#include "driver/core/device_input.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::Clockwise;
using fakes::CounterClockwise;
using fakes::DriverRig;
using fakes::Events;
using fakes::KeyAssignment;
using fakes::MouseKind;

// The device's bytes and the idle timer's expiries through one object: a numbered arming per wheel
// step, a stale expiry ignored, the current one ending the drag and stopping the wheel.
TEST(MouseDispatch, WheelIdleExpiryEndsTheDragUnlessTheWheelMovedSince) {
    DriverRig rig(MouseKind::kReal);
    ControlAssignment drag = KeyAssignment(0, 0, kHorizontalDrag);
    drag.wheelSpeed = 128;
    rig.Assign(0, kMainBank, kWheelClockwise, drag);
    rig.Run("editor", 7);
    fakes::FakeIdleTimer timer;
    {
        CDeviceInput device(rig.dispatcher, rig.led, timer);
        const auto feed = [&device](std::initializer_list<int> bytes) {
            for (int b : bytes)
                device.OnDeviceByte(static_cast<std::uint8_t>(b));
        };
        feed({0x81, Clockwise(1)}); // starts the movement, arms nothing
        EXPECT_TRUE(timer.arms.empty());
        feed({0x81, Clockwise(3)});
        feed({0x81, Clockwise(2)});
        EXPECT_EQ(rig.Take(), (Events{"+LButton", "capture 0x0", "move 3 0", "move 5 0"}));
        EXPECT_EQ(timer.arms, (std::vector<std::uint64_t>{1, 2}));

        timer.Expire(1); // overtaken by the third message
        EXPECT_TRUE(rig.Take().empty());
        EXPECT_TRUE(device.Decoder().IsWheelRunning());

        timer.Expire(2);
        EXPECT_EQ(rig.Take(), (Events{"-LButton", "release capture"}));
        EXPECT_FALSE(device.Decoder().IsWheelRunning());
        EXPECT_FALSE(device.Decoder().Wheel().CaptureHeld());
        timer.Expire(2); // delivered twice: nothing more to end
        EXPECT_TRUE(rig.Take().empty());

        feed({0x81, Clockwise(1), 0x81, Clockwise(4)}); // a new movement
        EXPECT_EQ(timer.arms.back(), 3u);
        EXPECT_EQ(rig.Take(), (Events{"+LButton", "capture 0x0", "move 4 0"}));
    }
    EXPECT_EQ(timer.disconnects, 1);
    EXPECT_TRUE(rig.input.down.count(fakes::kVkLeftButton) == 1); // the drag of the last movement still holds
}

// A scroll that comes back into its dead band lets go of the button a drag of the same movement pressed.
// The next movement's first step arms no idle timer, so it must not press the button again.
TEST(MouseDispatch, AScrollThatLetGoOfADragsButtonLeavesNothingForTheNextMovement) {
    DriverRig rig(MouseKind::kReal);
    ControlAssignment drag = KeyAssignment(0, 0, kHorizontalDrag);
    ControlAssignment scroll = KeyAssignment(0, 0, kHorizontalScroll);
    drag.wheelSpeed = scroll.wheelSpeed = 128;
    rig.Assign(0, kMainBank, kWheelCounterClockwise, drag);
    rig.Assign(0, kMainBank, kWheelClockwise, scroll);
    rig.Run("editor", 7);
    fakes::FakeIdleTimer timer;
    CDeviceInput device(rig.dispatcher, rig.led, timer);
    for (int b : {0x81, CounterClockwise(1), 0x81, CounterClockwise(10), 0x81, CounterClockwise(5), 0x81, Clockwise(1),
                  0x81, Clockwise(10)})
        device.OnDeviceByte(static_cast<std::uint8_t>(b));
    timer.Expire();
    EXPECT_TRUE(rig.input.down.empty());
    rig.Take();
    device.OnDeviceByte(0x81);
    device.OnDeviceByte(static_cast<std::uint8_t>(CounterClockwise(1))); // a new movement
    EXPECT_EQ(rig.Take(), Events{});
    EXPECT_TRUE(rig.input.down.empty());
}

} // namespace
} // namespace qvl
