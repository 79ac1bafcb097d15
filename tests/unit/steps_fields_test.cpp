#include "editor/app/overview_text.h"
#include "editor/app/steps_fields.h"
#include "output_fakes.h"

#include <gtest/gtest.h>

#include <string>

namespace qvl {
namespace {

using Outcome = StepsFieldLeft::Outcome;

TEST(StepsFields, WhatLeavingAFieldStores) {
    struct Row {
        const char* what;
        int slot;
        StepsField field;
        AssignmentSteps stored;
        std::string shown;
        std::string typed;
        Outcome outcome;
        AssignmentSteps steps; // kStore
        std::string after;     // what the field shows; for kRefuse the message
    };
    const AssignmentSteps held{"Ctrl+S", "Shift up", true};
    // clang-format off
    const Row rows[] = {
        {"typed steps, stored printed", kPlay, StepsField::kPress, {}, "", "ctrl+s,tab ,  ENTER", Outcome::kStore,
         {"Ctrl+S, Tab, Enter", "", false}, "Ctrl+S, Tab, Enter"},
        {"the release beside press and repeat", kStop, StepsField::kRelease, {"L down", "", true}, "",
         "\"take 1\", wait 250", Outcome::kStore, {"L down", "\"take 1\", wait 250", true}, "\"take 1\", wait 250"},
        {"any character", kRecord, StepsField::kPress, {}, "", "\"Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93\"",
         Outcome::kStore, {"\"Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93\"", "", false},
         "\"Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93\""},
        {"a cleared field stores none", kPlay, StepsField::kPress, held, "Ctrl+S", "  ", Outcome::kStore,
         {"", "Shift up", true}, ""},
        {"a bad text is refused", kPlay, StepsField::kPress, held, "Ctrl+S", "Ctrl+S, Ctrl+Foo", Outcome::kRefuse, {},
         "Step 2, \"Ctrl+Foo\": there is no key named \"Foo\"."},
        {"a bad release is refused", kRewind, StepsField::kRelease, {}, "", "wait 20000", Outcome::kRefuse, {},
         "Step 1, \"wait 20000\": a wait is a number of milliseconds from 1 to 10000."},
        {"a stored bad text left as it was", kPlay, StepsField::kPress, {"Ctrl+Foo", "", false}, "Ctrl+Foo",
         "Ctrl+Foo", Outcome::kKeep, {}, "Ctrl+Foo"},
        {"the same steps typed otherwise", kPlay, StepsField::kPress, held, "Ctrl+S", " ctrl + s", Outcome::kKeep, {},
         "Ctrl+S"},
        {"no release for the wheel", kWheelClockwise, StepsField::kRelease, {}, "", "Enter", Outcome::kKeep, {},
         "Enter"},
        {"the wheel's steps", kWheelCounterClockwise, StepsField::kPress, {}, "", "left, left", Outcome::kStore,
         {"Left, Left", "", false}, "Left, Left"},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const StepsFieldLeft left = LeaveStepsField(r.slot, r.field, r.stored, r.shown, r.typed);
        EXPECT_EQ(left.outcome, r.outcome);
        if (r.outcome == Outcome::kRefuse) {
            EXPECT_EQ(left.message, r.after);
            continue;
        }
        EXPECT_EQ(left.shown, r.after);
        if (r.outcome == Outcome::kStore) {
            EXPECT_EQ(left.steps, r.steps) << left.steps.press << " / " << left.steps.release;
        }
    }
}

TEST(StepsFields, NoteOnStoredStepsThatCannotBeRead) {
    fakes::FakeStrings strings;
    strings.texts = {{1766, "%1 steps: %2"}, {1767, "%1 release: %2"}};
    const AssignmentSteps bad{"Ctrl+Foo", "\"open", false};
    EXPECT_EQ(UnreadableStepsNote(strings, kStop, "Option+Stop", bad),
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
    const auto keyLine = [&](int bank, int control, int width) {
        KeyCellText cell(&keyset, control, bank, width, strings);
        cell.steps = &steps;
        cell.stepsText = [](const std::string& text) { return "~" + text; };
        return cell.KeyText();
    };
    struct Row {
        int bank, control;
        AssignmentSteps stored;
        std::string line; // within 13 of the 14 columns; the wheel's counter-clockwise 14 of 15
    };
    const Row rows[] = {
        {kMainBank, kPlay, {"ctrl+s,tab,enter", "", false}, "~Ctrl+S, T..."},
        {kMainBank, kPlay, {"L down", "K", false}, "~L down / K"},
        {kMainBank, kPlay, {"", "", true}, "~Enter repeat"},
        {kMainBank, kPlay, {"Ctrl+Foo", "", false}, "Enter"}, // what the driver sends instead
        {kOptionBank, kStop, {"", "Shift up", false}, "~/ Shift up"},
        {kMainBank, kWheelCounterClockwise, {"\"a\", Left", "K", true}, "~\"a\", Left"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        steps = KeysetSteps();
        steps.Set(r.bank, r.control, r.stored);
        EXPECT_EQ(keyLine(r.bank, r.control, IsWheelControl(r.control) ? 15 : 14), r.line);
    }
    // In the wheel's cell the clockwise steps end one column short of the line.
    steps = KeysetSteps();
    steps.Set(kMainBank, kWheelClockwise, {"Ctrl+Right, Ctrl+Right", "", false});
    WheelCellText wheel(&keyset, kMainBank, strings);
    wheel.steps = &steps;
    EXPECT_EQ(wheel.Compose().substr(30, 30), Fit("Left", 1, 15) + "|Ctrl+Right... ");
}

} // namespace
} // namespace qvl
