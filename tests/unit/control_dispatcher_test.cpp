#include "driver_rig.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::Clockwise;
using fakes::DriverRig;
using fakes::Events;
using fakes::KeyAssignment;

const std::initializer_list<int> kPlayDown = {0x80, 0x45};
const std::initializer_list<int> kPlayUp = {0x80, 0x05};

TEST(Dispatcher, EditorInFrontGetsTheButtonCommandAndNoKeystroke) {
    DriverRig rig;
    const WindowId panel = rig.RunEditor();
    rig.Feed(kPlayDown);
    rig.Feed(kPlayUp);
    rig.Feed({0x80, 0x40}); // OPTION down
    rig.Feed({0x80, 0x00}); // OPTION up: no command
    rig.Feed({0x81, Clockwise(3)});
    rig.Feed({0x80, 0x07}); // LED off
    using Command = std::pair<WindowId, int>;
    EXPECT_EQ(rig.desktop.commands, (std::vector<Command>{{panel, 1013}, {panel, 1008}, {panel, 1016}, {panel, 1023}}));
    EXPECT_TRUE(rig.journal.empty());
    EXPECT_TRUE(rig.dispatcher.EditorForeground());
}

// An editor that does not take a command in time: the event is dropped and said so, and the next
// event goes out as if nothing had happened.
TEST(Dispatcher, AnEditorThatDoesNotAnswerLosesTheEventAndTheNextOneIsHandled) {
    struct Dropped final : TrackingObserver {
        void ForegroundTracked(int, const std::string&, bool, bool, const std::string&) override {}
        void ProgramUnreachable(const std::string&) override {}
        void ForwardDropped(int commandId) override { commands.push_back(commandId); }
        void KeysetsFailed(const char*, const StoreResult&) override {}
        std::vector<int> commands;
    } observer;
    DriverRig rig;
    rig.dispatcher.SetTrackingObserver(&observer);
    rig.RunEditor();
    rig.desktop.commandsHang = true;
    rig.Feed(kPlayDown);
    rig.Feed({0x80, 0x40}); // OPTION down
    EXPECT_EQ(observer.commands, (std::vector<int>{1013, 1008}));
    EXPECT_EQ(rig.desktop.commands.size(), 2u);
    rig.dispatcher.SetTrackingObserver(nullptr);
}

TEST(Dispatcher, EditorWithoutItsPanelGetsNothing) {
    DriverRig rig;
    rig.processes.processes.emplace_back("qvl2", fakes::kEditorProcess);
    rig.desktop.foreground = rig.desktop.Add({"Quorvel 2", "Frame", kNoWindow, 1, fakes::kEditorProcess});
    rig.Feed(kPlayDown);
    EXPECT_TRUE(rig.desktop.commands.empty());
    EXPECT_TRUE(rig.journal.empty());
}

TEST(Dispatcher, TestDialogInFrontReceivesTheShownKeysetsKeystrokesOnly) {
    DriverRig rig;
    const int shown = rig.AddKeyset("notepad");
    rig.Assign(shown, kMainBank, kPlay, KeyAssignment('N', kHotKeyControl, kLeftClick));
    rig.mouse->scrollActive = true;
    rig.RunEditor();
    rig.store.SetCurrentIndex(shown); // the editor shows notepad's keyset
    rig.desktop.foreground = rig.desktop.Add({"Test", "#32770", kNoWindow, 500, fakes::kEditorProcess});
    rig.Feed(kPlayDown);
    rig.Feed(kPlayUp);
    EXPECT_TRUE(rig.dispatcher.TestDialogForeground());
    EXPECT_TRUE(rig.desktop.commands.empty());
    // A scroll still held from before ends; no click, no drag end.
    EXPECT_EQ(rig.Take(), (Events{"mouse EndScroll", "+Ctrl", "+N", "-N", "-Ctrl"}));
    EXPECT_EQ(rig.store.GetCurrentIndex(), shown);
}

TEST(Dispatcher, ModifierAndLedEventsFireNoAssignment) {
    DriverRig rig;
    rig.Run("notepad", 7);
    rig.Feed({0x80, 0x40, 0x80, 0x41, 0x80, 0x47, 0x80, 0x07, 0x80, 0x01, 0x80, 0x00});
    EXPECT_TRUE(rig.journal.empty());
    EXPECT_TRUE(rig.desktop.commands.empty());
}

TEST(Dispatcher, ButtonRunsKeystrokeThenMouseInOrder) {
    DriverRig rig;
    rig.Run("notepad", 7);
    rig.Assign(0, kShiftBank, kStop, KeyAssignment('S', 0, kRightClick));
    rig.mouse->scrollActive = true;
    rig.Feed({0x80, 0x41});
    rig.Feed({0x80, 0x44});
    EXPECT_EQ(rig.Take(),
              (Events{"mouse EndScroll", "+S", "mouse EndWheelMotion", "mouse Load 2 1 70", "mouse Execute 1"}));
    rig.mouse->buttonDown = true;
    rig.Feed({0x80, 0x04});
    EXPECT_EQ(rig.Take(), (Events{"-S", "mouse FinishClick"}));
}

TEST(Dispatcher, WheelStepHandsItsMagnitudeOnAndLeavesScrollsAndDragsAlone) {
    DriverRig rig;
    rig.Run("notepad", 7);
    ControlAssignment scroll = KeyAssignment(39, kHotKeyExtended, kHorizontalScroll);
    scroll.wheelSpeed = 128;
    rig.Assign(0, kMainBank, kWheelClockwise, scroll);
    rig.mouse->scrollActive = true;
    rig.Feed({0x81, Clockwise(4)});
    // One tap, then three steps of the eight that speed 128 skips.
    EXPECT_EQ(rig.Take(), (Events{"+Right", "-Right", "mouse Load 5 6 70", "mouse Execute 4"}));
    EXPECT_EQ(rig.dispatcher.Keystroke().SkipCount(), 5);
}

TEST(Dispatcher, ChangedKeysetsAreReloadedAndReselectedInTheSameWindow) {
    DriverRig rig;
    rig.Run("notepad", 7);
    rig.Feed(kPlayDown);
    rig.Feed(kPlayUp);
    EXPECT_EQ(rig.Keys(), (Events{"+Enter", "-Enter"}));
    EXPECT_EQ(rig.processes.lists, 1);

    // The editor adds a keyset for notepad and says so.
    const int notepad = rig.AddKeyset("notepad");
    rig.Assign(notepad, kMainBank, kPlay, KeyAssignment('P'));
    rig.SaveKeysets();
    rig.store.RemoveAt(notepad);
    rig.shared.SetKeysetsChanged(1);

    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.Keys(), Events{"+P"});
    EXPECT_EQ(rig.processes.lists, 2);
    EXPECT_EQ(rig.store.GetCount(), 2);
    EXPECT_EQ(rig.store.GetCurrentIndex(), notepad);
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
}

// The editor saved again while the driver was still selecting after its reload: that save is not
// lost, the next event reloads once more.
TEST(Dispatcher, SaveDuringSelectionIsPickedUpByTheNextEvent) {
    DriverRig rig;
    rig.Run("notepad", 7);
    rig.SaveKeysets();
    rig.shared.SetKeysetsChanged(1);
    rig.processes.onList = [&rig] {
        rig.processes.onList = nullptr;
        rig.shared.SetKeysetsChanged(1);
    };
    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
    const auto loads = rig.registry.journal.size();
    rig.Feed(kPlayUp);
    rig.Feed(kPlayDown);
    EXPECT_GT(rig.registry.journal.size(), loads); // reloaded, under the lock
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
}

TEST(Dispatcher, CaptureOnFirstPressLetsTheEditorCaptureThenRereadsAndExecutes) {
    DriverRig rig;
    const WindowId panel = rig.RunEditor();
    rig.Run("notepad", 7);
    ControlAssignment click = KeyAssignment('C', 0, kLeftClick);
    click.captureOnFirstPress = 1;
    rig.Assign(0, kMainBank, kPlay, click);
    rig.SaveKeysets();
    // The panel captures while the driver waits: it stores the target and saves.
    rig.desktop.onCommand = [&rig](int) {
        ControlAssignment captured = *rig.store.GetAssignment(0, kMainBank, kPlay);
        CopyToField(captured.windowTitle, "Untitled - Notepad");
        captured.clickX = 10;
        CKeysetStore editorStore(rig.shared, rig.names);
        KeysetRecord record = *rig.store.GetKeyset(0);
        AssignmentAt(record, kMainBank, kPlay) = captured;
        editorStore.Add(record);
        fakes::FakeKeysetWatch watch(rig.registry);
        CKeysetRegistry saver(KeysetStorage{rig.registry, rig.lock, rig.textCase, watch});
        saver.SaveAll(editorStore);
    };
    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.desktop.commands, (std::vector<std::pair<WindowId, int>>{{panel, 1013}}));
    EXPECT_EQ(rig.store.GetAssignment(0, kMainBank, kPlay)->clickX, 10);
    EXPECT_EQ(rig.Take(), (Events{"+C", "mouse EndWheelMotion", "mouse Load 1 0 70", "mouse Execute 1"}));

    rig.Feed(kPlayUp); // a target is stored now: the next press goes straight through
    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.desktop.commands.size(), 1u);
}

// A press in one keyset whose release comes after another keyset or the editor took over: the keys
// that went down come up, not the keys of whatever is current at the release.
TEST(Dispatcher, ReleaseLetsGoOfTheKeysThePressSent) {
    const struct {
        const char* what;
        bool editorInFront;
    } rows[] = {{"another program's keyset selected", false}, {"the editor in front", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DriverRig rig;
        const int first = rig.AddKeyset("first");
        const int second = rig.AddKeyset("second");
        rig.Assign(first, kMainBank, kPlay, KeyAssignment('A', kHotKeyControl));
        rig.Assign(second, kMainBank, kPlay, KeyAssignment('B', kHotKeyAlt));
        rig.Run("first", 7);
        rig.Feed(kPlayDown);
        if (row.editorInFront)
            rig.RunEditor();
        else
            rig.Run("second", 8);
        rig.Feed({0x81, Clockwise(1)}); // a wheel step makes the dispatcher look again
        rig.Feed(kPlayUp);
        EXPECT_TRUE(rig.input.down.empty());
        const Events keys(rig.input.events.begin(), rig.input.events.end());
        EXPECT_EQ(keys.front(), "+Ctrl");
        EXPECT_EQ(keys.back(), "-Ctrl");
        EXPECT_EQ(keys[keys.size() - 2], "-A");
    }
}

// A second press without a release between (the release was lost on the line), in a bank where Play
// sends nothing: the first press's keys come up then, as nothing else would release them.
TEST(Dispatcher, ASecondPressWithoutReleaseLetsGoOfTheFirstPresssKeys) {
    DriverRig rig;
    rig.Assign(0, kMainBank, kPlay, KeyAssignment('A', kHotKeyControl));
    rig.Run("notepad", 7);
    rig.Feed(kPlayDown);
    rig.Feed({0x80, 0x40}); // OPTION down
    rig.Feed(kPlayDown);
    rig.Feed(kPlayUp);
    EXPECT_EQ(rig.input.Take(), (Events{"+Ctrl", "+A", "-A", "-Ctrl"}));
    EXPECT_TRUE(rig.input.down.empty());
}

TEST(Dispatcher, ReleaseWithoutARecordedPressFollowsTheCurrentAssignment) {
    DriverRig rig;
    rig.RunEditor();
    rig.Feed(kPlayDown); // forwarded to the editor: nothing was pressed
    rig.Feed(kPlayUp);
    EXPECT_TRUE(rig.journal.empty());
    rig.Feed(kPlayDown);
    rig.Run("notepad", 7);
    rig.Feed({0x81, Clockwise(1)}); // the dispatcher sees notepad now
    rig.Feed(kPlayUp);
    EXPECT_EQ(rig.Keys(), (Events{"+Right", "-Right", "-Enter"}));
}

TEST(Dispatcher, SharedIndexOutsideTheListFallsBackToDefault) {
    DriverRig rig;
    rig.AddKeyset("notepad");
    rig.Run("other", 9);
    rig.Feed({0x80, 0x40, 0x80, 0x00}); // tracking selects 0 once
    rig.store.SetCurrentIndex(5);       // the editor's index, for its own longer list
    rig.Feed(kPlayDown);
    EXPECT_EQ(rig.Keys(), Events{"+Enter"});
}

TEST(Dispatcher, StoreTargetWindowTitleWritesTheWindowInFrontIntoTheEventsAssignment) {
    DriverRig rig;
    const int app = rig.AddKeyset("notepad");
    rig.Run("notepad", 7, std::string(300, 'w'));
    rig.Feed({0x80, 0x41, 0x80, 0x46}); // SHIFT + Record
    rig.dispatcher.StoreTargetWindowTitle();
    const ControlAssignment a = *rig.store.GetAssignment(app, kShiftBank, kRecord);
    EXPECT_EQ(std::string(a.windowTitle), std::string(255, 'w'));
    EXPECT_EQ(rig.store.GetAssignment(app, kMainBank, kRecord)->windowTitle[0], '\0');
}

// The whole path on one byte stream: modifiers pick banks, the wheel's LED picks its bank, wheel keys
// are tapped and throttled, the transport key is held until its release.
TEST(Dispatcher, ByteStreamThroughDecoderDispatcherAndKeystroke) {
    DriverRig rig;
    const int app = rig.AddKeyset("audacity");
    rig.Assign(app, kOptionBank, kPlay, KeyAssignment('A', kHotKeyControl | kHotKeyShift));
    ControlAssignment ledOn = KeyAssignment(39, kHotKeyExtended);
    ledOn.wheelSpeed = 128;
    rig.Assign(app, kMainBank, kWheelClockwise, ledOn);
    ControlAssignment ledOff = KeyAssignment('Z', kHotKeyControl | kHotKeyExtended);
    ledOff.wheelSpeed = 128;
    rig.Assign(app, kOptionBank, kWheelCounterClockwise, ledOff);
    rig.Run("Audacity", 31);
    rig.Feed({0x45, 0x80, 0x40, 0x80, 0x45}); // a stray byte, OPTION down, Play down
    rig.Feed({0x81, 0x7F});                   // the wheel, LED on: Right arrow
    rig.Feed({0x80, 0x05, 0x80, 0x00});       // Play up, OPTION up
    rig.Feed({0x80, 0x07});                   // LED off
    rig.Feed({0x81, 20, 0x81, 0x3F});         // 20 steps counter-clockwise, then no event
    // The countdown of the Right arrow's tap runs on: steps 9 and 18 of the twenty go out.
    EXPECT_EQ(rig.Keys(), (Events{"+Ctrl", "+Shift", "+A", "+Right", "-Right", "-A", "-Ctrl", "-Shift", "+Ctrl", "+Z",
                                  "-Z", "-Ctrl", "+Ctrl", "+Z", "-Z", "-Ctrl"}));
    EXPECT_EQ(rig.store.GetCurrentIndex(), app);
    EXPECT_EQ(rig.processes.lists, 1);
}

} // namespace
} // namespace qvl
