#include "driver_rig.h"

#include <gtest/gtest.h>

#include <set>

namespace qvl {
namespace {

using fakes::DriverRig;
using fakes::Events;
using fakes::KeyAssignment;

TEST(Tracking, KeysetOfTheProgramInFrontIsSelectedBeforeTheAssignmentIsTaken) {
    DriverRig rig;
    const int notepad = rig.AddKeyset("notepad");
    const int wordpad = rig.AddKeyset("wordpad");
    rig.Assign(notepad, kMainBank, kPlay, KeyAssignment('N'));
    rig.Assign(wordpad, kMainBank, kPlay, KeyAssignment('W'));
    rig.Run("notepad", 7);
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    rig.Run("WordPad", 8);
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    EXPECT_EQ(rig.Keys(), (Events{"+N", "-N", "+W", "-W"}));
    EXPECT_EQ(rig.store.GetCurrentIndex(), wordpad);
    EXPECT_EQ(rig.dispatcher.ForegroundThreadId(), 80u);
    EXPECT_EQ(rig.dispatcher.LastForeground(), rig.desktop.foreground);
}

TEST(Tracking, ProgramsWithoutTheirOwnKeysetGetKeysetZero) {
    const struct {
        const char* keyset;
        const char* process;
        bool matches;
    } rows[] = {
        // Names are one whatever their case, by the rule the registry's key names follow.
        {"notepad", "notepad", true},   {"notepad", "NOTEPAD", true},  {"Notepad", "notepad", true},
        {"notepad", "notepad2", false}, {"Default", "default", false}, // the first of two keysets of one name: index 0
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.keyset << " / " << row.process);
        DriverRig rig;
        const int index = rig.AddKeyset(row.keyset);
        rig.store.SetCurrentIndex(index);
        rig.processes.processes.emplace_back(row.keyset, 99); // another process of that name
        rig.Run(row.process, 7);
        rig.Feed({0x80, 0x40});
        EXPECT_EQ(rig.store.GetCurrentIndex(), row.matches ? index : 0);
        EXPECT_FALSE(rig.dispatcher.EditorForeground());
    }
}

TEST(Tracking, EditorInFrontKeepsTheSelectionAndSaysWhichWindow) {
    DriverRig rig;
    const int notepad = rig.AddKeyset("notepad");
    rig.RunEditor();
    rig.store.SetCurrentIndex(notepad);
    rig.shared.SetKeysetsChanged(1);
    rig.dispatcher.TrackForeground();
    EXPECT_TRUE(rig.dispatcher.EditorForeground());
    EXPECT_FALSE(rig.dispatcher.TestDialogForeground());
    EXPECT_EQ(rig.store.GetCurrentIndex(), notepad);
    EXPECT_EQ(rig.dispatcher.ForegroundThreadId(), 500u);

    rig.desktop.foreground = rig.desktop.Add({"Test", "#32770", kNoWindow, 501, fakes::kEditorProcess});
    rig.dispatcher.TrackForeground();
    EXPECT_TRUE(rig.dispatcher.EditorForeground());
    EXPECT_TRUE(rig.dispatcher.TestDialogForeground());
    EXPECT_EQ(rig.store.GetCurrentIndex(), notepad);

    rig.desktop.foreground = rig.desktop.Add({"Testing", "#32770", kNoWindow, 501, fakes::kEditorProcess});
    rig.dispatcher.TrackForeground();
    EXPECT_FALSE(rig.dispatcher.TestDialogForeground());
}

// Keysets outside, processes inside: with no keyset at all the editor is not even recognised.
TEST(Tracking, EmptyKeysetListSelectsZero) {
    DriverRig rig;
    rig.store.RemoveAll();
    rig.RunEditor();
    rig.store.SetCurrentIndex(3);
    rig.dispatcher.TrackForeground();
    EXPECT_FALSE(rig.dispatcher.EditorForeground());
    EXPECT_EQ(rig.store.GetCurrentIndex(), 0);
    rig.Feed({0x80, 0x45}); // and nothing to execute
    EXPECT_TRUE(rig.journal.empty());
}

TEST(Tracking, SameWindowWithoutChangedKeysetsTakesNoProcessList) {
    DriverRig rig;
    rig.Run("notepad", 7);
    rig.Feed({0x80, 0x45, 0x80, 0x05, 0x81, 0x01, 0x80, 0x40});
    EXPECT_EQ(rig.processes.lists, 1);
    rig.shared.SetKeysetsChanged(1);
    rig.Feed({0x80, 0x41});
    EXPECT_EQ(rig.processes.lists, 2);
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
    rig.Run("wordpad", 8);
    rig.Feed({0x80, 0x41});
    EXPECT_EQ(rig.processes.lists, 3);
    rig.Feed({0x80, 0x05}); // releases never look
    EXPECT_EQ(rig.processes.lists, 3);
}

TEST(Tracking, FirstOfTwoKeysetsWithOneNameWins) {
    DriverRig rig;
    const int first = rig.AddKeyset("notepad");
    rig.AddKeyset("notepad");
    rig.Run("notepad", 7);
    rig.dispatcher.TrackForeground();
    EXPECT_EQ(rig.store.GetCurrentIndex(), first);
}

// Two windows of one program with different titles, and a window of another class: each press goes
// by the window in front at that moment, and a title that changes in the same window counts at once.
TEST(Tracking, WindowRulesChooseTheMostSpecificKeysetAtEachPress) {
    DriverRig rig;
    const int browser = rig.AddKeyset("browser");
    const int video = rig.AddKeyset("browser - Video");
    const int editor = rig.AddKeyset("browser - Video editor");
    rig.store.SetRule(video, {"browser", "Video", ""});
    rig.store.SetRule(editor, {"browser", "Video", "EditorFrame"});
    for (int k : {browser, video, editor})
        rig.Assign(k, kMainBank, kPlay, KeyAssignment(static_cast<std::uint16_t>('A' + k)));
    const WindowId tab = rig.Run("browser", 7, "Mail - Browser");
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    rig.desktop.windows[tab].title = "Video - Browser"; // a tab switch: same window, new title
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    rig.desktop.foreground = rig.desktop.Add({"My Video", "EditorFrame", kNoWindow, 71, 7});
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    const auto key = [](int k) { return std::string(1, static_cast<char>('A' + k)); };
    EXPECT_EQ(rig.Keys(), (Events{"+" + key(browser), "-" + key(browser), "+" + key(video), "-" + key(video),
                                  "+" + key(editor), "-" + key(editor)}));
    EXPECT_EQ(rig.processes.lists, 2); // the title change took no process list
}

// A Store app's frame belongs to the host; the keyset is that of the process owning a window inside it,
// also when the app's window is put into a frame that is in front already (a suspended app restored).
// Only an empty frame is looked into again: another program in front costs no process list per event.
TEST(Tracking, HostedAppsGetTheKeysetOfTheProgramInsideTheHost) {
    DriverRig rig;
    const int host = rig.AddKeyset("applicationframehost");
    const int mail = rig.AddKeyset("mail");
    const WindowId frame = rig.Run("ApplicationFrameHost", 30, "Mail");
    rig.dispatcher.TrackForeground();
    EXPECT_EQ(rig.store.GetCurrentIndex(), host); // nothing hosted yet: the host's own keyset
    rig.desktop.Add({"", "TitleBar", frame, 300, 30});
    rig.desktop.Add({"Mail", "CoreWindow", frame, 400, 40});
    rig.processes.processes.emplace_back("Mail", 40);
    rig.dispatcher.TrackForeground();
    EXPECT_EQ(rig.store.GetCurrentIndex(), mail);
    const int lists = rig.processes.lists;
    rig.dispatcher.TrackForeground();
    rig.Run("notepad", 7);
    rig.dispatcher.TrackForeground();
    rig.dispatcher.TrackForeground();
    EXPECT_EQ(rig.processes.lists, lists + 1);
}

struct AboveRights final : ProcessRights {
    std::set<std::uint32_t> above;
    bool RunsAbove(std::uint32_t processId) override { return above.count(processId) != 0; }
};

struct UnreachableRecorder final : TrackingObserver {
    Events told;
    void ForegroundTracked(int, const std::string&, bool, bool, const std::string&) override {}
    void ProgramUnreachable(const std::string& program) override { told.push_back(program); }
    void ForwardDropped(int) override {}
    void KeysetsFailed(const char*, const StoreResult&) override {}
};

// A program above the driver gets no presses and is named once per session, however often it comes back.
TEST(Tracking, ProgramsAboveTheDriverAreToldOnceAndGetNoInput) {
    DriverRig rig;
    AboveRights rights;
    UnreachableRecorder recorder;
    rights.above = {9};
    rig.dispatcher.SetProcessRights(&rights);
    rig.dispatcher.SetTrackingObserver(&recorder);
    rig.Assign(0, kMainBank, kPlay, KeyAssignment('D'));
    const WindowId admin = rig.Run("regedit", 9);
    rig.Feed({0x80, 0x45, 0x80, 0x05, 0x80, 0x45, 0x80, 0x05});
    rig.Run("notepad", 7);
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    rig.desktop.foreground = admin;
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    EXPECT_EQ(recorder.told, Events{"regedit"});
    EXPECT_EQ(rig.Keys(), (Events{"+D", "-D"})); // notepad's press alone
}

} // namespace
} // namespace qvl
