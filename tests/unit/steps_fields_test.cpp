#include "editor/app/overview_text.h"
#include "editor/app/steps_fields.h"
#include "output_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace qvl {
namespace {

using Outcome = StepsFieldLeft::Outcome;
constexpr StepsField kPress = StepsField::kPress;
constexpr StepsField kRelease = StepsField::kRelease;

TEST(StepsFields, WhatLeavingAFieldStores) {
    struct Row {
        int slot;
        StepsField field;
        AssignmentSteps stored;
        std::string shown, typed;
        Outcome outcome;
        AssignmentSteps steps; // kStore
        std::string after;     // what the field shows; for kRefuse the message
    };
    const AssignmentSteps held{"Ctrl+S", "Shift up", true};
    // clang-format off
    const Row rows[] = {
        {kPlay, kPress, {}, "", "ctrl+s,tab ,  ENTER", Outcome::kStore, {"Ctrl+S, Tab, Enter", "", false},
         "Ctrl+S, Tab, Enter"},
        {kStop, kRelease, {"L down", "", true}, "", "\"take 1\", wait 250", Outcome::kStore,
         {"L down", "\"take 1\", wait 250", true}, "\"take 1\", wait 250"},
        {kPlay, kPress, held, "Ctrl+S", "  ", Outcome::kStore, {"", "Shift up", true}, ""}, // cleared: none
        {kPlay, kPress, held, "Ctrl+S", "Ctrl+S, Ctrl+Foo", Outcome::kRefuse, {},
         "Step 2, \"Ctrl+Foo\": there is no key named \"Foo\"."},
        {kPlay, kPress, {"Ctrl+Foo", "", false}, "Ctrl+Foo", "Ctrl+Foo", Outcome::kKeep, {}, "Ctrl+Foo"}, // left alone
        {kWheelClockwise, kRelease, {}, "", "Enter", Outcome::kKeep, {}, "Enter"}, // the wheel has no release
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const StepsFieldLeft left = LeaveStepsField(r.slot, r.field, r.stored, r.shown, r.typed);
        EXPECT_EQ(left.outcome, r.outcome);
        EXPECT_EQ(r.outcome == Outcome::kRefuse ? left.message : left.shown, r.after);
        EXPECT_EQ(left.steps, r.outcome == Outcome::kStore ? r.steps : left.steps);
    }
}

TEST(StepsFields, NoteOnStoredStepsThatCannotBeRead) {
    fakes::FakeStrings strings;
    strings.texts = {{1766, "%1 steps: %2"}, {1767, "%1 release: %2"}};
    EXPECT_EQ(UnreadableStepsNote(strings, kStop, "Option+Stop", {"Ctrl+Foo", "\"open", false}),
              "Option+Stop steps: Step 1, \"Ctrl+Foo\": there is no key named \"Foo\".\r\n"
              "Option+Stop release: Step 1, \"\"open\": the text has no closing quote.");
    // The wheel has no release steps; steps that read give no note.
    EXPECT_EQ(UnreadableStepsNote(strings, kWheelClockwise, "Wheel LED On", {"Left", "Ctrl+Foo", false}), "");
    EXPECT_EQ(UnreadableStepsNote(strings, kPlay, "Play", {"Ctrl+S", "Shift up", true}), "");
}

TEST(StepsFields, OverviewCellsShowTheStepsShortened) {
    fakes::FakeStrings strings;
    KeysetRecord keyset{};
    InitKeyset(keyset, "Default", 0, strings); // Play: Enter; the wheel: Left and Right
    KeysetSteps steps;
    const std::pair<AssignmentSteps, std::string> rows[] = {
        {{"ctrl+s,tab,enter", "", false}, "~Ctrl+S, T..."}, // 13 of the line's 14 columns
        {{"L down", "K", false}, "~L down / K"},
        {{"", "", true}, "~Enter repeat"},
        {{"Ctrl+Foo", "", false}, "Enter"}, // what the driver sends instead
    };
    for (const auto& [stored, line] : rows) {
        steps.Set(kMainBank, kPlay, stored);
        KeyCellText cell(&keyset, kPlay, kMainBank, kTransportLineWidth, strings);
        cell.steps = &steps;
        cell.stepsText = [](const std::string& text) { return "~" + text; };
        EXPECT_EQ(cell.KeyText(), line);
    }
    // The wheel: steps alone, the clockwise ones one column short after the bar.
    steps.Set(kMainBank, kWheelClockwise, {"Ctrl+Right, Ctrl+Right", "K", true});
    WheelCellText wheel(&keyset, kMainBank, strings);
    wheel.steps = &steps;
    EXPECT_EQ(wheel.Compose().substr(30, 30), Fit("Left", 1, 15) + "|Ctrl+Right... ");
}

} // namespace
} // namespace qvl
