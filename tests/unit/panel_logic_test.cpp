#include "editor/app/assignment_form.h"
#include "editor/app/panel_tables.h"
#include "output_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace qvl {
namespace {

TEST(PanelTables, BankAndCaptionOfEveryControlInEveryState) {
    struct Row {
        int slot;
        bool option, shift, led;
        int bank;
        unsigned caption;
    };
    const Row rows[] = {
        {0, false, false, true, 0, 61216},
        {0, true, false, true, 1, 61217},
        {0, false, true, true, 2, 61218},
        {0, true, true, true, 3, 61219},
        {1, false, false, true, 0, 61212},
        {1, true, false, true, 1, 61213},
        {1, false, true, true, 2, 61215},
        {1, true, true, true, 3, 61214},
        {2, false, false, true, 0, 61204},
        {2, true, false, true, 1, 61205},
        {2, false, true, true, 2, 61206},
        {2, true, true, true, 3, 61207},
        {3, false, false, true, 0, 61208},
        {3, true, false, true, 1, 61209},
        {3, false, true, true, 2, 61210},
        {3, true, true, true, 3, 61211},
        {4, false, false, true, 0, 61220},
        {4, true, false, true, 1, 61221},
        {4, false, true, true, 2, 61222},
        {4, true, true, true, 3, 61223},
        // The wheel follows its LED; the modifiers do not count.
        {5, false, false, true, 0, 61225},
        {5, true, true, false, 1, 61224},
        {6, true, false, true, 0, 61227},
        {6, false, true, false, 1, 61226},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "slot " << r.slot << " option " << r.option << " shift " << r.shift);
        EXPECT_EQ(CurrentBank(r.slot, r.option, r.shift, r.led), r.bank);
        EXPECT_EQ(CaptionStringId(r.slot, r.option, r.shift, r.led), r.caption);
    }
    const unsigned ids[] = {1013, 1012, 1011, 1010, 1014, 1015, 1016};
    for (int slot = 0; slot < kControlCount; ++slot)
        EXPECT_EQ(SlotOfButton(ids[slot]), slot);
    EXPECT_EQ(SlotOfButton(1008), -1);
}

TEST(AssignmentForm, SpecialKeyBothWays) {
    // Stored value, list index it loads as, value it is stored back as.
    const std::tuple<std::uint32_t, int, std::uint32_t> rows[] = {
        {0, 0, 0},   {13, 1, 13},     {9, 2, 9},        {65545, 3, 65545}, {32, 4, 32},   {8, 5, 8},
        {46, 6, 46}, {0x20009, 2, 9}, {0x1000D, 1, 13}, {7, 7, 0},         {1000, -1, 0}, {0xFFFFFFFF, -1, 0},
    };
    for (const auto& [stored, index, back] : rows) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(SpecialKeyIndex(stored), index);
        EXPECT_EQ(StoredSpecialKey(index), back);
    }
}

TEST(AssignmentForm, FlagCodesBothWaysAndUnknownCodesSaveAsNone) {
    const std::tuple<std::int16_t, bool, bool, bool> rows[] = {
        {0, false, false, false}, {1, true, false, false}, {2, false, true, false}, {3, false, false, true},
        {4, true, true, false},   {5, true, false, true},  {6, true, true, true},   {7, false, true, true},
    };
    for (const auto& [code, a, b, c] : rows) {
        const AssignmentFlags flags = FlagsFromCode(code);
        EXPECT_EQ(std::make_tuple(flags.a, flags.b, flags.c), std::make_tuple(a, b, c)) << code;
        EXPECT_EQ(CodeFromFlags(flags), code);
    }
    ControlAssignment fresh;
    InitAssignment(fresh); // flagCode 128
    EXPECT_EQ(BuildAssignment(FieldsFromAssignment(fresh)).flagCode, 0);
}

TEST(AssignmentForm, SpeedKeptInTheTrackbarsRangeAndTextsCutToTheirFields) {
    ControlAssignment stored;
    InitAssignment(stored);
    stored.wheelSpeed = 0;
    EXPECT_EQ(BuildAssignment(FieldsFromAssignment(stored)).wheelSpeed, 1);
    stored.wheelSpeed = 300;
    EXPECT_EQ(BuildAssignment(FieldsFromAssignment(stored)).wheelSpeed, 128);

    AssignmentFields fields;
    fields.name = std::string(40, 'n');
    fields.windowClass = std::string(100, 'c');
    fields.windowTitle = std::string(300, 't');
    const ControlAssignment built = BuildAssignment(fields);
    EXPECT_EQ(ReadField(built.controlName), std::string(32, 'n'));
    EXPECT_EQ(ReadField(built.windowClass), std::string(62, 'c'));
    EXPECT_EQ(ReadField(built.windowTitle), std::string(255, 't'));
}

TEST(AssignmentForm, KeystrokeWinsOverSpecialKey) {
    AssignmentFields fields;
    fields.specialKeyIndex = 1; // Enter
    EXPECT_EQ(BuildAssignment(fields).specialKey, 13u);
    fields.hotKeyVk = 'A';
    fields.hotKeyMods = kHotKeyControl;
    const ControlAssignment built = BuildAssignment(fields);
    EXPECT_EQ(built.specialKey, 0u);
    EXPECT_EQ(built.hotKeyVk, 'A');
    EXPECT_EQ(built.hotKeyMods, kHotKeyControl);
}

TEST(AssignmentForm, CaptureBoxFollowsTheMouseMode) {
    const bool button[] = {false, true, true, false};
    for (int mode = 0; mode < 4; ++mode)
        EXPECT_EQ(CaptureBoxShown(kRecord, mode), button[mode]) << mode;
    const bool wheel[] = {false, false, false, true, true, true, true, false};
    for (int mode = 0; mode < 8; ++mode)
        EXPECT_EQ(CaptureBoxShown(kWheelClockwise, mode), wheel[mode]) << mode;
}

TEST(AssignmentForm, CaptureLabelTexts) {
    fakes::FakeStrings strings;
    strings.texts = {{61254, "%1 in \"%2\""},
                     {61257, "Capture coordinates when %1 is first pressed"},
                     {61266, "Capture coordinates when wheel is first turned"}};
    CaptureLabelParts parts;
    parts.controlCaption = "Option+Play";
    EXPECT_EQ(CaptureLabel(strings, parts), "Capture coordinates when Option+Play is first pressed");
    parts.wheel = true;
    EXPECT_EQ(CaptureLabel(strings, parts), "Capture coordinates when wheel is first turned");
    parts.windowClass = "ProbeClass";
    parts.mouseMode = 6;
    parts.clickX = 12;
    parts.clickY = 34;
    EXPECT_EQ(CaptureLabel(strings, parts), "Vertical Scroll in \"ProbeClass at 12 ,34\"");
    parts.wheel = false;
    parts.windowTitle = "Probe";
    parts.shownListIndex = 2;
    EXPECT_EQ(CaptureLabel(strings, parts), "Right Mouse Click in \"Probe at 12 ,34\"");
}

} // namespace
} // namespace qvl
