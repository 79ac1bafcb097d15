// The mouse object behind the dispatcher: clicks aimed and released by the device's keys, and a
// missing click window replaced with the user's consent and saved.
#include "driver_rig.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvl {
namespace {

using fakes::DriverRig;
using fakes::Events;
using fakes::KeyAssignment;
using fakes::MouseKind;
using fakes::WindowName;

const std::initializer_list<int> kPlayDown = {0x80, 0x45};
const std::initializer_list<int> kPlayUp = {0x80, 0x05};

ControlAssignment Aimed(ControlAssignment a, const char* title, const char* className, int x, int y) {
    CopyToField(a.windowTitle, title);
    CopyToField(a.windowClass, className);
    a.clickX = x;
    a.clickY = y;
    return a;
}

TEST(MouseDispatch, PlayClicksInItsWindowAndTheReleaseLetsGoOfEverything) {
    DriverRig rig(MouseKind::kReal);
    const int notepad = rig.AddKeyset("notepad");
    rig.Assign(
        notepad, kMainBank, kPlay,
        Aimed(KeyAssignment('A', kHotKeyControl | kHotKeyShift, kLeftClick), "Untitled - Notepad", "Notepad", 10, 20));
    const WindowId window = rig.Run("notepad", 7, "Untitled - Notepad");
    rig.pointer.origins[window] = {100, 200};
    rig.pointer.cursor = {5, 6};

    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.Take(), (Events{"+Ctrl", "+Shift", "+A", "top " + WindowName(window), "moveto 7103 18858", "+Ctrl",
                                  "+Shift", "+LButton", "release capture"}));
    rig.Feed(kPlayUp);
    EXPECT_EQ(rig.Take(), (Events{"-A", "-Ctrl", "-Shift", "-LButton", "moveto 383 597"}));
    EXPECT_TRUE(rig.input.down.empty());
    EXPECT_EQ(rig.pointer.cursor, (Point{5, 6}));
}

// A key code that names no key sends no keystroke, but the click still pressed the modifier keys: the
// release lets go of them.
TEST(MouseDispatch, ClickModifiersWithoutAKeystrokeComeUpWithTheButton) {
    DriverRig rig(MouseKind::kReal);
    rig.Assign(0, kMainBank, kPlay, KeyAssignment(0x100, kHotKeyControl, kLeftClick));
    rig.Run("notepad", 7);
    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.Take(), (Events{"+Ctrl", "+LButton", "release capture"}));
    rig.Feed(kPlayUp);
    EXPECT_EQ(rig.Take(), (Events{"-Ctrl", "-LButton"}));
    EXPECT_TRUE(rig.input.down.empty());
}

// The stored assignment of keyset `name`, bank and control, as the registry holds it.
std::optional<ControlAssignment> Stored(const DriverRig& rig, const std::string& name, int bank, int control) {
    const auto bytes = rig.registry.Value(std::string(kKeysetsKeyPath) + "\\" + name + "\\" + kBankKeyNames[bank],
                                          kControlValueNames[control]);
    if (!bytes || bytes->size() != sizeof(ControlAssignment))
        return std::nullopt;
    ControlAssignment a;
    std::memcpy(&a, bytes->data(), sizeof a);
    return a;
}

TEST(MouseDispatch, AcceptingTheWindowInFrontStoresItsTitleSavesAndTellsTheEditor) {
    DriverRig rig(MouseKind::kReal);
    const int mixer = rig.AddKeyset("mixer");
    rig.Assign(mixer, kShiftBank, kStop, Aimed(KeyAssignment(0, 0, kRightClick), "Effects", "Dialog", 4, 4));
    const WindowId front = rig.Run("mixer", 7, "Mixer - Song");

    rig.Feed({0x80, 0x41, 0x80, 0x44}); // SHIFT, Stop
    EXPECT_EQ(rig.Take(), (Events{"attach 70",
                                  "ask The window which was supposed to receive this click, \"Effects\" is not open. "
                                  "If this happens in the future, do you want the click to occur in the window "
                                  "\"Mixer - Song\"?",
                                  "detach 70", "foreground " + WindowName(front)}));
    const ControlAssignment kept = *rig.store.GetAssignment(mixer, kShiftBank, kStop);
    EXPECT_STREQ(kept.windowTitle, "Mixer - Song");
    EXPECT_STREQ(kept.windowClass, "Dialog");
    EXPECT_EQ(kept.clickX, 4);
    const std::optional<ControlAssignment> saved = Stored(rig, "mixer", kShiftBank, kStop);
    ASSERT_TRUE(saved);
    EXPECT_STREQ(saved->windowTitle, "Mixer - Song");
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);

    rig.Feed({0x80, 0x04}); // no click was made, so none is finished
    EXPECT_TRUE(rig.Take().empty());
    rig.Feed({0x80, 0x44}); // the next press reloads and clicks in the window in front
    EXPECT_EQ(rig.Take(), (Events{"top " + WindowName(front), "moveto 319 426", "+RButton"}));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
}

TEST(MouseDispatch, CancelKeepsTheAssignmentAndWritesNothing) {
    DriverRig rig(MouseKind::kReal);
    rig.Assign(0, kMainBank, kRecord, Aimed(KeyAssignment(0, 0, kLeftClick), "Effects", "Dialog", 4, 4));
    rig.Run("mixer", 7, "Mixer - Song");
    rig.question.answer = false;
    rig.Feed({0x80, 0x46});
    EXPECT_STREQ(rig.store.GetAssignment(0, kMainBank, kRecord)->windowTitle, "Effects");
    EXPECT_TRUE(rig.registry.journal.empty());
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
    EXPECT_TRUE(rig.input.down.empty());
}

} // namespace
} // namespace qvl
