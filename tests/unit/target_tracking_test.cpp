#include "driver_rig.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace qvl
