#include "output_fakes.h"

#include "driver/output/keystroke_action.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::Events;
using fakes::RecordingInput;

ControlAssignment Assign(std::uint16_t vk, std::uint16_t mods = 0, std::uint32_t special = 0, std::int16_t speed = 64) {
    ControlAssignment a;
    InitAssignment(a);
    a.hotKeyVk = vk;
    a.hotKeyMods = mods;
    a.specialKey = special;
    a.wheelSpeed = speed;
    return a;
}

struct KeystrokeRig {
    RecordingInput input;
    CKeystrokeAction keystroke{input};
    CWheelTracker wheel; // at rest
    CWheelTracker turning;
    KeystrokeRig() { turning.Step(2); }

    Events Press(const ControlAssignment& a, int control = kPlay) {
        keystroke.Load(a, control);
        keystroke.Execute(1, wheel);
        return input.Take();
    }
    Events Release(const ControlAssignment& a, int control = kPlay) {
        keystroke.Load(a, control);
        keystroke.Release();
        return input.Take();
    }
};

TEST(Keystroke, ModifiersGoDownFirstAndComeUpInTheSameOrder) {
    KeystrokeRig rig;
    const ControlAssignment ctrlShiftA = Assign('A', kHotKeyControl | kHotKeyShift);
    EXPECT_EQ(rig.Press(ctrlShiftA), (Events{"+Ctrl", "+Shift", "+A"}));
    EXPECT_EQ(rig.Release(ctrlShiftA), (Events{"-A", "-Ctrl", "-Shift"}));
    EXPECT_TRUE(rig.input.down.empty());
}

// hotKeyMods as the hot-key control records them: the extended-key flag (8) goes, the modifiers stay.
TEST(Keystroke, ModifierKeysForEveryHotKeyCode) {
    const struct {
        std::uint16_t mods;
        Events press;
    } rows[] = {
        {0, {"+Delete"}},
        {1, {"+Shift", "+Delete"}},
        {2, {"+Ctrl", "+Delete"}},
        {3, {"+Ctrl", "+Shift", "+Delete"}},
        {4, {"+Alt", "+Delete"}},
        {5, {"+Shift", "+Alt", "+Delete"}},
        {6, {"+Ctrl", "+Alt", "+Delete"}},
        {7, {"+Ctrl", "+Shift", "+Alt", "+Delete"}},
        {8, {"+Delete"}},
        {9, {"+Shift", "+Delete"}},
        {10, {"+Ctrl", "+Delete"}},
        {11, {"+Ctrl", "+Shift", "+Delete"}},
        {12, {"+Alt", "+Delete"}},
        {13, {"+Shift", "+Alt", "+Delete"}},
        {14, {"+Ctrl", "+Alt", "+Delete"}},
        {15, {"+Ctrl", "+Shift", "+Alt", "+Delete"}},
        {16, {"+Delete"}},
        {0x8002, {"+Delete"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mods);
        KeystrokeRig rig;
        const ControlAssignment a = Assign(46, row.mods);
        EXPECT_EQ(rig.Press(a), row.press);
        Events release{"-Delete"};
        for (std::size_t i = 0; i + 1 < row.press.size(); ++i)
            release.push_back("-" + row.press[i].substr(1));
        EXPECT_EQ(rig.Release(a), release);
    }
}

TEST(Keystroke, SpecialKeysAndTheHotKeyWinning) {
    KeystrokeRig rig;
    const ControlAssignment shiftTab = Assign(0, 0, kSpecialShiftTab);
    EXPECT_EQ(rig.Press(shiftTab), (Events{"+Shift", "+Tab"}));
    EXPECT_EQ(rig.Release(shiftTab), (Events{"-Tab", "-Shift"}));

    const ControlAssignment both = Assign('B', kHotKeyAlt, kSpecialShiftTab);
    EXPECT_EQ(rig.Press(both), (Events{"+Alt", "+B"}));
    EXPECT_EQ(rig.Release(both), (Events{"-B", "-Alt"}));

    EXPECT_EQ(rig.Press(Assign(0, 0, kSpecialEnter)), Events{"+Enter"});
}

TEST(Keystroke, NoKeyOrNoCountSendsNothing) {
    KeystrokeRig rig;
    EXPECT_TRUE(rig.Press(Assign(0, kHotKeyControl)).empty());
    EXPECT_TRUE(rig.Press(Assign(0, 0, 0x00010000)).empty()); // modifiers without a key
    EXPECT_TRUE(rig.Release(Assign(0, 0, 0x00010000)).empty());
    EXPECT_TRUE(rig.Press(Assign(0x100)).empty()); // only the low byte is a key

    rig.keystroke.Load(Assign('A', kHotKeyShift), kWheelClockwise);
    for (int count : {0, -1, -29})
        EXPECT_FALSE(rig.keystroke.Execute(count, rig.turning));
    EXPECT_TRUE(rig.input.events.empty());
    EXPECT_EQ(rig.keystroke.SkipCount(), 0);
}

TEST(Keystroke, TransportKeyIsTappedWhileTheWheelTurns) {
    KeystrokeRig rig;
    const ControlAssignment a = Assign('A', kHotKeyControl);
    rig.keystroke.Load(a, kRecord);
    rig.keystroke.Execute(1, rig.turning);
    EXPECT_EQ(rig.input.Take(), (Events{"+Ctrl", "+A", "-A", "-Ctrl"}));
    EXPECT_EQ(rig.Release(a, kRecord), (Events{"-A", "-Ctrl"})); // the device's release still sends its key-ups
}

// A wheel keystroke goes out on one step and then on every (137 - speed)-th step; the countdown runs
// on across messages, movements and reloads.
TEST(Keystroke, WheelThrottleCountsStepsAcrossMessages) {
    const struct {
        std::int16_t speed;
        std::vector<int> magnitudes;
        int taps;
        int skipAfter;
    } rows[] = {
        {128, {5}, 1, 4},
        {128, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 2, 8},     // steps 1 and 10
        {128, {29, 29}, 7, 5},                           // steps 1, 10, ..., 55
        {64, {29, 29, 29}, 2, 59},                       // steps 1 and 74
        {64, {29, 29, 15}, 1, 0},                        // one step short of the second
        {1, {29, 29, 29, 29, 29}, 2, 135 - (145 - 137)}, // steps 1 and 137
        {1, {28, 29, 29, 29, 29, 29}, 2, 135 - (173 - 137)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "speed " << row.speed << ", " << row.magnitudes.size() << " messages");
        KeystrokeRig rig;
        for (int magnitude : row.magnitudes) {
            rig.keystroke.Load(Assign(39, kHotKeyExtended, 0, row.speed), kWheelClockwise);
            rig.keystroke.Execute(magnitude, rig.turning);
        }
        Events expected;
        for (int i = 0; i < row.taps; ++i)
            expected.insert(expected.end(), {"+Right", "-Right"});
        EXPECT_EQ(rig.input.events, expected);
        EXPECT_EQ(rig.keystroke.SkipCount(), row.skipAfter);
    }
}

TEST(Keystroke, ThrottleCountdownOutlivesTheMovementAndTheAssignment) {
    KeystrokeRig rig;
    rig.keystroke.Load(Assign(39, 8, 0, 128), kWheelClockwise);
    rig.keystroke.Execute(3, rig.turning); // tap, then 2 of 8 skipped
    rig.input.Take();
    rig.keystroke.Load(Assign(37, 8, 0, 64), kWheelCounterClockwise); // other direction, other speed
    rig.keystroke.Execute(6, rig.turning);
    EXPECT_TRUE(rig.input.Take().empty());
    rig.keystroke.Execute(1, rig.turning); // the ninth step after the tap
    EXPECT_EQ(rig.input.Take(), (Events{"+Left", "-Left"}));
    EXPECT_EQ(rig.keystroke.SkipCount(), 72);

    // Transport buttons are never throttled and leave the countdown alone.
    EXPECT_EQ(rig.Press(Assign('P')), Events{"+P"});
    EXPECT_EQ(rig.keystroke.SkipCount(), 72);
}

} // namespace
} // namespace qvl
