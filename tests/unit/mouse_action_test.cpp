#include "mouse_rig.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::Events;
using fakes::MouseAssignment;
using fakes::MouseRig;
using fakes::WindowName;

TEST(MouseAction, ModeTableByKindOfControl) {
    const struct {
        std::int16_t mouseMode;
        int control;
        CMouseAction::Mode mode;
    } rows[] = {
        {kLeftClick, kPlay, CMouseAction::kClickLeft},
        {kRightClick, kRecord, CMouseAction::kClickRight},
        {3, kStop, CMouseAction::kNoMouseAction},
        {7, kRewind, CMouseAction::kNoMouseAction},
        {-1, kPlay, CMouseAction::kNoMouseAction},
        {kHorizontalMove, kWheelClockwise, CMouseAction::kMoveHorizontal},
        {kVerticalMove, kWheelCounterClockwise, CMouseAction::kMoveVertical},
        {kHorizontalDrag, kWheelClockwise, CMouseAction::kDragHorizontal},
        {kVerticalDrag, kWheelClockwise, CMouseAction::kDragVertical},
        {kHorizontalScroll, kWheelClockwise, CMouseAction::kScrollHorizontal},
        {kVerticalScroll, kWheelCounterClockwise, CMouseAction::kScrollVertical},
        {kSpecialMode, kWheelClockwise, CMouseAction::kSpecial},
        {8, kWheelClockwise, CMouseAction::kNoMouseAction},
        {0, kWheelClockwise, CMouseAction::kNoMouseAction},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.mouseMode << " on control " << row.control);
        EXPECT_EQ(CMouseAction::ModeFor(row.mouseMode, row.control), row.mode);
    }
}

// On a 1024 x 768 screen (and when the size is unknown) the divisors are 1024 and 768, quotients
// truncated towards zero.
TEST(MouseAction, ScaleToAbsoluteOnA1024By768Screen) {
    const struct {
        Point screen;
        Point absolute;
    } rows[] = {
        {{1023, 767}, {65471, 65449}}, {{0, 0}, {0, 0}},          {{1024, 768}, {65535, 65535}},
        {{512, 384}, {32767, 32767}},  {{-10, -5}, {-639, -426}}, {{1920, 1080}, {122878, 92158}},
    };
    for (const auto& row : rows) {
        Point p = row.screen;
        CMouseAction::ScaleToAbsolute(p, {1024, 768});
        EXPECT_EQ(p, row.absolute) << row.screen.x << ", " << row.screen.y;
        Point unknown = row.screen;
        CMouseAction::ScaleToAbsolute(unknown, {0, 0});
        EXPECT_EQ(unknown, row.absolute);
    }
}

// Aimed one pixel further in, every pixel of a screen of any size comes back as itself when the system
// maps the absolute position onto the screen (pixel = absolute x size / 65536).
TEST(MouseAction, ScaledPointsLandOnTheirPixelWhateverTheScreenSize) {
    const Point screens[] = {{1024, 768}, {1280, 1024}, {1920, 1080}, {2560, 1440}, {3840, 2160}, {800, 600}};
    for (const Point& screen : screens) {
        for (std::int32_t x = 0; x < screen.x; ++x) {
            Point p{x + 1, std::min(x, screen.y - 1) + 1};
            CMouseAction::ScaleToAbsolute(p, screen);
            ASSERT_EQ(static_cast<std::int64_t>(p.x) * screen.x / 65536, x) << screen.x << "x" << screen.y;
            ASSERT_EQ(static_cast<std::int64_t>(p.y) * screen.y / 65536, std::min(x, screen.y - 1));
        }
    }
}

// A click aimed on a screen wider than 1024 pixels lands on its window's point, and the cursor comes
// back to where it was.
TEST(MouseAction, ClickLandsOnItsPointOnALargeScreen) {
    MouseRig rig;
    rig.pointer.screen = {1920, 1080};
    rig.Window("Mixer", "MixerClass", {1500, 900});
    rig.pointer.cursor = {1700, 1000};
    ControlAssignment click = MouseAssignment(kLeftClick, 64, "Mixer", "MixerClass");
    click.clickX = 10;
    click.clickY = 20;
    rig.Run(click, kPlay);
    EXPECT_EQ(rig.pointer.cursor, (Point{1510, 920}));
    rig.mouse.FinishClick();
    EXPECT_EQ(rig.pointer.cursor, (Point{1700, 1000}));
}

// The window is found, the point goes to the screen one pixel further in and is scaled, the window
// comes to the top, the cursor jumps there, the modifier keys and the button go down; the release lets
// go of the button and puts the cursor back.
TEST(MouseAction, LeftClickAimedAtItsWindowAndReleased) {
    MouseRig rig;
    const WindowId notepad = rig.Window("Untitled - Notepad", "Notepad", {100, 200});
    rig.pointer.cursor = {5, 6};
    ControlAssignment click = MouseAssignment(kLeftClick, 64, "Untitled - Notepad", "Notepad");
    click.clickX = 10;
    click.clickY = 20;
    click.hotKeyVk = 'A';
    click.hotKeyMods = kHotKeyControl | kHotKeyShift;

    EXPECT_EQ(rig.Run(click, kPlay), (Events{"top " + WindowName(notepad), "moveto 7103 18858", "+Ctrl", "+Shift",
                                             "+LButton", "release capture"}));
    EXPECT_EQ(rig.pointer.cursor, (Point{110, 220})); // where the system puts it: the stored point
    EXPECT_TRUE(rig.mouse.IsButtonDown());
    EXPECT_EQ(rig.mouse.ClickModifierCode(), 3);

    rig.mouse.FinishClick();
    EXPECT_EQ(rig.Take(), (Events{"-LButton", "moveto 383 597"}));
    EXPECT_EQ(rig.pointer.cursor, (Point{5, 6}));
    EXPECT_FALSE(rig.mouse.IsButtonDown());
    EXPECT_FALSE(rig.mouse.SavedCursor());
    rig.mouse.FinishClick(); // a second release has nothing left to do
    EXPECT_TRUE(rig.Take().empty());
}

TEST(MouseAction, ClickWithoutAWindowGoesWhereTheCursorIs) {
    MouseRig rig;
    EXPECT_EQ(rig.Run(MouseAssignment(kRightClick), kStop), Events{"+RButton"});
    rig.mouse.FinishClick();
    EXPECT_EQ(rig.Take(), Events{"-RButton"}); // nothing was saved, the cursor stays
}

// The up goes to the button that went down, even when another assignment was loaded in between (the
// wheel turned while the key was held).
TEST(MouseAction, ReleaseLetsGoOfTheButtonItsPressPressed) {
    MouseRig rig;
    rig.Run(MouseAssignment(kRightClick), kStop);
    rig.Run(MouseAssignment(kHorizontalMove), kWheelClockwise);
    rig.mouse.FinishClick();
    EXPECT_EQ(rig.Take(), Events{"-RButton"});
    EXPECT_TRUE(rig.input.down.empty());
}

TEST(MouseAction, MovesRepeatTheMagnitudeWithAStepFromTheSpeed) {
    const struct {
        std::int16_t mouseMode;
        std::int16_t speed;
        int control;
        int count;
        const char* move;
    } rows[] = {
        {kVerticalMove, 64, kWheelClockwise, 3, "move 0 -2"},
        {kVerticalMove, 64, kWheelCounterClockwise, 2, "move 0 2"},
        {kHorizontalMove, 128, kWheelCounterClockwise, 1, "move -3 0"},
        {kHorizontalMove, 128, kWheelClockwise, 2, "move 3 0"},
        {kHorizontalMove, 1, kWheelClockwise, 1, "move 1 0"},
        {kHorizontalMove, 49, kWheelClockwise, 1, "move 1 0"},
        {kHorizontalMove, 50, kWheelClockwise, 1, "move 2 0"},
        {kHorizontalMove, 99, kWheelCounterClockwise, 1, "move -2 0"},
        {kVerticalMove, 100, kWheelClockwise, 1, "move 0 -3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << row.mouseMode << " speed " << row.speed);
        MouseRig rig;
        rig.WheelAt(0);
        EXPECT_EQ(rig.Run(MouseAssignment(row.mouseMode, row.speed), row.control, row.count),
                  Events(static_cast<std::size_t>(row.count), row.move));
    }
}

TEST(MouseAction, NoCountNoActionExceptTheSpecialModesValue) {
    MouseRig rig;
    rig.WheelAt(-47); // speed -42
    EXPECT_TRUE(rig.Run(MouseAssignment(kHorizontalMove), kWheelClockwise, 0).empty());
    EXPECT_TRUE(rig.Run(MouseAssignment(kSpecialMode), kWheelCounterClockwise, 0).empty());
    EXPECT_EQ(rig.shared.GetDataValue(), -42);
}

TEST(MouseAction, SpecialModePublishesTheWheelSpeedAndMovesNothing) {
    MouseRig rig;
    rig.Window("Target", "Pane");
    rig.WheelAt(-47);
    ASSERT_EQ(rig.wheel.Speed(), -42);
    EXPECT_TRUE(rig.Run(MouseAssignment(kSpecialMode, 64, "Target", "Pane"), kWheelCounterClockwise, 3).empty());
    EXPECT_EQ(rig.shared.GetDataValue(), -42);
    rig.WheelAt(200);
    rig.mouse.Execute(1, rig.wheel);
    EXPECT_EQ(rig.shared.GetDataValue(), 58);
}

TEST(MouseAction, CombinationsOutsideTheTableDoNothing) {
    MouseRig rig;
    rig.WheelAt(40);
    EXPECT_TRUE(rig.Run(MouseAssignment(3), kPlay).empty());
    EXPECT_TRUE(rig.Run(MouseAssignment(8), kWheelClockwise).empty());
    EXPECT_FALSE(rig.mouse.IsButtonDown());
}

// At speed 128: travel 2 and 4 lie in the dead band; 7 is 2 past it, so the button goes down and the
// pointer moves 2.
TEST(MouseAction, HorizontalScrollStartsPastTheDeadBand) {
    MouseRig rig;
    rig.mouse.Load(MouseAssignment(kHorizontalScroll, 128), kWheelClockwise, fakes::kFrontThread);
    EXPECT_TRUE(rig.StepTo(0).empty());
    EXPECT_TRUE(rig.StepTo(2).empty());
    EXPECT_TRUE(rig.StepTo(4).empty());
    EXPECT_EQ(rig.StepTo(7), (Events{"+LButton", "capture 0x0", "capture 0x0", "move 2 0"}));
    EXPECT_TRUE(rig.mouse.IsScrollActive());
    EXPECT_TRUE(rig.wheel.CaptureHeld());
    EXPECT_EQ(rig.StepTo(10), Events{"move 3 0"});
    EXPECT_EQ(rig.StepTo(-12), Events{"move -12 0"}); // through the band: the scroll follows to -7
    EXPECT_EQ(rig.mouse.ScrollPosition(), -7);
}

// Back inside the dead band the scroll moves back by its whole distance, lets go of the button and the
// modifier keys, and puts the cursor where it was before the first aim of the movement.
TEST(MouseAction, ScrollComingBackToZeroLetsGoAndPutsTheCursorBack) {
    MouseRig rig;
    const WindowId list = rig.Window("Tracks", "ListBox", {300, 400});
    rig.pointer.cursor = {5, 6};
    ControlAssignment scroll = MouseAssignment(kVerticalScroll, 128, "Tracks", "ListBox");
    scroll.clickX = 40;
    scroll.clickY = 50;
    scroll.hotKeyVk = 'S';
    scroll.hotKeyMods = kHotKeyAlt;
    rig.mouse.Load(scroll, kWheelClockwise, fakes::kFrontThread);
    const std::string aim = "top " + WindowName(list);
    EXPECT_EQ(rig.StepTo(0), (Events{aim, "moveto 21823 38484"}));
    // Every message aims again until the scroll holds the button.
    EXPECT_EQ(rig.StepTo(3), (Events{aim, "moveto 21823 38484"}));
    EXPECT_EQ(rig.StepTo(9), (Events{aim, "moveto 21823 38484", "+Alt", "+LButton", "capture " + WindowName(list),
                                     "capture " + WindowName(list), "move 0 -4"}));
    EXPECT_EQ(rig.StepTo(12), Events{"move 0 -3"});
    EXPECT_EQ(rig.StepTo(0), (Events{"move 0 7", "-LButton", "-Alt", "release capture", "cursor 5 6"}));
    EXPECT_FALSE(rig.mouse.IsScrollActive());
    EXPECT_FALSE(rig.mouse.IsButtonLocked());
    EXPECT_FALSE(rig.wheel.CaptureHeld());
    EXPECT_TRUE(rig.input.down.empty());
}

TEST(MouseAction, DispatcherEndsAScrollWithItsOwnModifiers) {
    MouseRig rig;
    ControlAssignment scroll = MouseAssignment(kHorizontalScroll, 128);
    scroll.hotKeyVk = 'S';
    scroll.hotKeyMods = kHotKeyControl;
    rig.mouse.Load(scroll, kWheelClockwise, fakes::kFrontThread);
    rig.StepTo(0);
    rig.StepTo(8);
    ControlAssignment move = MouseAssignment(kHorizontalMove, 64);
    move.hotKeyVk = 'M';
    move.hotKeyMods = kHotKeyShift;
    rig.mouse.Load(move, kWheelClockwise, fakes::kFrontThread);
    rig.mouse.EndScroll(rig.wheel);
    EXPECT_EQ(rig.Take(), (Events{"-LButton", "-Ctrl", "release capture"}));
    EXPECT_TRUE(rig.input.down.empty());
}

// At speed 64 a travel of -3 is trunc(-1.5) = -1: the button goes down, the pointer moves down by 1,
// and the drag measures from 0 again, so travel -5 (trunc(-2.5) = -2) moves it 2 more.
TEST(MouseAction, VerticalDragStartsAtItsFirstDistanceAndMeasuresFromZeroAgain) {
    MouseRig rig;
    rig.mouse.Load(MouseAssignment(kVerticalDrag, 64), kWheelCounterClockwise, fakes::kFrontThread);
    EXPECT_TRUE(rig.StepTo(0).empty());
    EXPECT_TRUE(rig.StepTo(-1).empty()); // trunc(-0.5) = 0: nothing is pressed yet
    EXPECT_EQ(rig.StepTo(-3), (Events{"+LButton", "capture 0x0", "move 0 1"}));
    EXPECT_EQ(rig.mouse.DragPosition(), 0);
    EXPECT_EQ(rig.StepTo(-5), Events{"move 0 2"});
    EXPECT_TRUE(rig.StepTo(-4).empty()); // still trunc(-2): no distance, no move
    EXPECT_TRUE(rig.wheel.CaptureHeld());

    rig.mouse.EndWheelMotion(rig.wheel); // the wheel rested for a second
    EXPECT_EQ(rig.Take(), (Events{"-LButton", "release capture"}));
    EXPECT_FALSE(rig.wheel.CaptureHeld());
    EXPECT_EQ(rig.mouse.DragPosition(), 0);
    rig.mouse.EndWheelMotion(rig.wheel); // nothing held any more
    EXPECT_TRUE(rig.Take().empty());
}

// A drag holds the modifier keys of the direction that started it; turning back loads the other
// direction's keys, and the end still lets go of the ones that went down.
TEST(MouseAction, DragEndReleasesTheModifiersItPressed) {
    MouseRig rig;
    ControlAssignment clockwise = MouseAssignment(kHorizontalDrag, 128);
    clockwise.hotKeyVk = 'R';
    clockwise.hotKeyMods = kHotKeyControl;
    ControlAssignment back = clockwise;
    back.hotKeyVk = 'L';
    back.hotKeyMods = kHotKeyShift;
    rig.mouse.Load(clockwise, kWheelClockwise, fakes::kFrontThread);
    rig.StepTo(0);
    EXPECT_EQ(rig.StepTo(4), (Events{"+Ctrl", "+LButton", "capture 0x0", "move 4 0"}));
    rig.mouse.Load(back, kWheelCounterClockwise, fakes::kFrontThread);
    EXPECT_EQ(rig.StepTo(1), Events{"move 1 0"}); // measured from 0 after the first distance
    rig.mouse.EndWheelMotion(rig.wheel);
    EXPECT_EQ(rig.Take(), (Events{"-LButton", "release capture", "-Ctrl"}));
    EXPECT_TRUE(rig.input.down.empty());
}

TEST(MouseAction, MoveEndsAHeldDragFirst) {
    MouseRig rig;
    rig.mouse.Load(MouseAssignment(kHorizontalDrag, 128), kWheelClockwise, fakes::kFrontThread);
    rig.StepTo(0);
    rig.StepTo(3);
    EXPECT_EQ(rig.Run(MouseAssignment(kVerticalMove, 128), kWheelClockwise, 2),
              (Events{"-LButton", "release capture", "move 0 -3", "move 0 -3"}));
}

TEST(MouseAction, TargetedDragAimsUntilItTakesHoldAndLeavesTheCursorWhereItWent) {
    MouseRig rig;
    const WindowId timeline = rig.Window("Timeline", "Track", {40, 50});
    rig.pointer.cursor = {500, 500};
    ControlAssignment drag = MouseAssignment(kHorizontalDrag, 128, "Timeline", "Track");
    drag.clickX = 0;
    drag.clickY = 0;
    rig.mouse.Load(drag, kWheelClockwise, fakes::kFrontThread);
    const std::string top = "top " + WindowName(timeline);
    EXPECT_EQ(rig.StepTo(0), (Events{top, "moveto 2623 4351"}));
    EXPECT_EQ(rig.StepTo(2),
              (Events{top, "moveto 2623 4351", "+LButton", "capture " + WindowName(timeline), "move 2 0"}));
    // Held: no more aiming. Measured from 0 again after the first distance, so the 2 count twice.
    EXPECT_EQ(rig.StepTo(5), Events{"move 5 0"});
    rig.mouse.EndWheelMotion(rig.wheel);
    EXPECT_EQ(rig.Take(), (Events{"-LButton", "release capture"}));
    EXPECT_EQ(rig.pointer.cursor, (Point{47, 50}));
}

// The window is missing: a click asks whether the window in front should take its place and makes no
// click either way; a drag or scroll just does nothing.
TEST(MouseAction, MissingWindowAsksForAClickAndSkipsADrag) {
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        MouseRig rig;
        rig.context.front = rig.Window("Mixer - Song.prj", "MixerFrame");
        rig.question.answer = ok;
        Events expected = {"attach 70",
                           "ask The window which was supposed to receive this click, \"Effects\" is not open. If this "
                           "happens in the future, do you want the click to occur in the window \"Mixer - Song.prj\"?"};
        if (ok)
            expected.push_back("accept");
        expected.insert(expected.end(), {"detach 70", "foreground " + WindowName(rig.context.front)});
        EXPECT_EQ(rig.Run(MouseAssignment(kRightClick, 64, "Effects", "Dialog"), kRecord), expected);
        EXPECT_FALSE(rig.mouse.IsButtonDown());

        rig.WheelAt(0);
        rig.WheelAt(20);
        EXPECT_TRUE(rig.Run(MouseAssignment(kHorizontalDrag, 128, "Effects", "Dialog"), kWheelClockwise).empty());
        EXPECT_TRUE(rig.Run(MouseAssignment(kVerticalScroll, 128, "Effects", "Dialog"), kWheelClockwise).empty());
        EXPECT_FALSE(rig.wheel.CaptureHeld());
    }
}

TEST(MouseAction, QuestionComesFromTheStringTableWithBothTexts) {
    MouseRig rig;
    rig.strings.texts[kMissingTargetQuestionId] = "%1 gone; use %2? (%1)";
    rig.context.front = rig.Window("", "Desktop");
    rig.question.answer = false;
    const Events asked = rig.Run(MouseAssignment(kLeftClick, 64, "Edit 100%2", "Edit"), kPlay);
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[1], "ask Edit 100%2 gone; use ? (Edit 100%2)");

    // A table without the question: nothing is asked, nothing clicked.
    rig.strings.texts.erase(kMissingTargetQuestionId);
    EXPECT_TRUE(rig.Run(MouseAssignment(kLeftClick, 64, "Edit 100%2", "Edit"), kPlay).empty());
}

TEST(MouseAction, WithoutATitleNoWindowIsSought) {
    MouseRig rig;
    rig.Window("", "Button"); // an empty title would match this child's text
    EXPECT_EQ(rig.Run(MouseAssignment(kLeftClick, 64, "", "Button"), kPlay), (Events{"+LButton", "release capture"}));
}

} // namespace
} // namespace qvl
