#include "driver/device/wheel_tracker.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace qvl {
namespace {

TEST(WheelTracker, PositionFollowsBothDirectionsAndSpeedClamps) {
    CWheelTracker tracker;
    tracker.SetMagnitude(29);
    tracker.Step(1);
    for (int i = 0; i < 100; ++i)
        tracker.Step(1);
    EXPECT_EQ(tracker.Position(), -2900);
    EXPECT_EQ(tracker.Speed(), -60);
    // Turning back moves through zero symmetrically.
    for (int i = 0; i < 100; ++i)
        tracker.Step(2);
    EXPECT_EQ(tracker.Position(), 0);
    EXPECT_EQ(tracker.Running(), 1);
}

TEST(WheelTracker, CaptureFlagBelongsToTheMouse) {
    CWheelTracker tracker;
    tracker.SetMagnitude(3);
    tracker.Step(2);
    tracker.SetCaptureHeld(true);
    tracker.Stop();
    EXPECT_TRUE(tracker.CaptureHeld()); // stopping leaves it alone
    EXPECT_EQ(tracker.Running(), 0);
}

} // namespace
} // namespace qvl
