// The on-screen note: its words, its settings in the registry, its fade, and what the event path
// leaves for the window thread.
#include "driver_rig.h"

#include "driver/core/note_fade.h"
#include "driver/core/note_feed.h"
#include "driver/core/note_text.h"
#include "model/shared_names.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

using fakes::DriverRig;
using fakes::KeyAssignment;

TEST(NoteText, SaysWhatEachPressDid) {
    ControlAssignment space = KeyAssignment(0);
    space.specialKey = kSpecialSpace;
    const struct {
        int bank, control;
        ControlAssignment assignment;
        int magnitude;
        const char* text;
    } rows[] = {
        {kMainBank, kPlay, space, 1, "Play: Space"},
        {kOptionBank, kPlay, KeyAssignment(36, kHotKeyControl | kHotKeyExtended), 1, "Option+Play: Ctrl+Home"},
        {kOptionShiftBank, kStop, KeyAssignment('S', kHotKeyShift), 1, "Option+Shift+Stop: Shft+S"},
        {kMainBank, kWheelClockwise, KeyAssignment(39), 3, "Wheel: Right x3"},
        {kOptionBank, kWheelCounterClockwise, KeyAssignment(0, 0, kVerticalScroll), 2, "Wheel: Vertical Scroll x2"},
        {kMainBank, kRecord, KeyAssignment(0, 0, kLeftClick), 1, "Record: Left click"},
        {kShiftBank, kRewind, KeyAssignment('A', 0, kRightClick), 1, "Shift+Rewind: A, Right click"},
        {kMainBank, kFastForward, KeyAssignment(0), 1, ""}, // does nothing: no note
    };
    for (const auto& row : rows)
        EXPECT_EQ(ActionNoteText(row.bank, row.control, row.assignment, row.magnitude), row.text) << row.text;
}

TEST(NoteSettings, StoredAsBitsBesideThePrefsAbsentMeansKeysetOnly) {
    fakes::FakeRegistry registry;
    const std::string settings = std::string(kStoreRootPath) + "\\Settings";
    NoteSettings notes = ReadNotes(registry);
    EXPECT_TRUE(notes.keyset);
    EXPECT_FALSE(notes.actions);
    notes = {false, true};
    ASSERT_TRUE(WriteNotes(registry, notes).Done());
    EXPECT_EQ(registry.Value(settings, "Notes"), (fakes::Bytes{2, 0, 0, 0}));
    EXPECT_EQ(registry.journal.back(), "write dword " + settings + ":Notes");
    EXPECT_FALSE(registry.Value(settings, "Prefs")); // the record is left alone
    notes = ReadNotes(registry);
    EXPECT_FALSE(notes.keyset);
    EXPECT_TRUE(notes.actions);
    registry.FailWrite("Notes");
    EXPECT_FALSE(WriteNotes(registry, NoteSettings()).Done());
}

TEST(NoteFade, HoldsThenFadesInStepsThenNoTimerRuns) {
    CNoteFade fade;
    EXPECT_FALSE(fade.NextTickMs(0)); // nothing shown
    fade.Start(10'000);
    EXPECT_EQ(fade.Alpha(10'000), CNoteFade::kFullAlpha);
    EXPECT_EQ(fade.NextTickMs(10'000), 1500u);
    EXPECT_EQ(fade.Alpha(11'499), CNoteFade::kFullAlpha);
    std::uint8_t last = CNoteFade::kFullAlpha;
    for (std::uint64_t now = 11'500; now < 11'800; now += *fade.NextTickMs(now)) {
        EXPECT_LT(fade.Alpha(now), last) << now;
        last = fade.Alpha(now);
    }
    EXPECT_EQ(fade.Alpha(11'800), 0);
    EXPECT_FALSE(fade.NextTickMs(11'800));
    fade.Start(12'000); // a new note holds again in full
    EXPECT_EQ(fade.Alpha(12'100), CNoteFade::kFullAlpha);
}

struct CountingOutlet final : NoteOutlet {
    void NoteWaiting() override { ++wakes; }
    NoteSettings ReadNoteSettings() override { return stored; }
    int wakes = 0;
    NoteSettings stored;
};

TEST(NoteFeed, TheKeysetInUseAndEachActionReachTheWindowThreadLatestFirst) {
    DriverRig rig;
    const int waveedit = rig.AddKeyset("waveedit");
    rig.Assign(waveedit, kMainBank, kPlay, KeyAssignment(' '));
    CountingOutlet outlet;
    CNoteFeed feed(outlet, "Default");
    feed.ReadSettings();
    rig.dispatcher.SetNotes(&feed);

    rig.Run("notepad", 7); // Default, as at start: no note
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    EXPECT_FALSE(feed.Take());
    rig.Run("waveedit", 8);
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    rig.Run("waveedit", 9); // another window of the same program
    rig.Feed({0x80, 0x45, 0x80, 0x05});
    EXPECT_EQ(feed.Take(), "waveedit");
    EXPECT_EQ(outlet.wakes, 1);

    // Each action on, read again when the editor says the keysets changed; the newer note wins.
    outlet.stored = {false, true};
    rig.SaveKeysets();
    rig.shared.SetKeysetsChanged(1);
    rig.Run("notepad", 10);
    rig.Feed({0x80, 0x45, 0x80, 0x05, 0x81, fakes::Clockwise(2)});
    EXPECT_EQ(feed.Take(), "Wheel: Right x2");
    EXPECT_EQ(outlet.wakes, 2);
    EXPECT_FALSE(feed.Take());
}

} // namespace
} // namespace qvl
