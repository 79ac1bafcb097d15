#include "editor/app/steps_fields.h"

#include "base/format_string.h"
#include "editor/res/resource.h"
#include "model/steps.h"
#include "model/string_text.h"

namespace qvl {

namespace {

std::string& FieldOf(AssignmentSteps& steps, StepsField field) {
    return field == StepsField::kPress ? steps.press : steps.release;
}

} // namespace

bool ReleaseAndRepeatApply(int slot) {
    return slot >= 0 && slot < kControlCount && !IsWheelControl(slot);
}

StepsFieldLeft LeaveStepsField(int slot, StepsField field, const AssignmentSteps& stored, const std::string& shown,
                               const std::string& typed) {
    StepsFieldLeft left;
    left.shown = typed;
    if (typed == shown || (field == StepsField::kRelease && !ReleaseAndRepeatApply(slot)))
        return left;
    const StepsParse parse = ParseSteps(typed);
    if (!parse.Ok()) {
        left.outcome = StepsFieldLeft::Outcome::kRefuse;
        left.message = DescribeStepsError(*parse.error);
        return left;
    }
    // The printed form is what the field shows and what is stored, unless it would not read back (a
    // name printed longer than typed can push a text over the limit): then the text as typed.
    std::string text = PrintSteps(parse.steps);
    if (!ParseSteps(text).Ok())
        text = typed;
    left.shown = text;
    left.steps = stored;
    FieldOf(left.steps, field) = text;
    if (left.steps != stored)
        left.outcome = StepsFieldLeft::Outcome::kStore;
    return left;
}

std::optional<std::string> UnreadableSteps(const std::string& stored) {
    const StepsParse parse = ParseSteps(stored);
    if (parse.Ok())
        return std::nullopt;
    return DescribeStepsError(*parse.error);
}

std::string UnreadableStepsNote(const StringSource& strings, int slot, const std::string& caption,
                                const AssignmentSteps& stored) {
    std::string note;
    if (const std::optional<std::string> why = UnreadableSteps(stored.press))
        note = FormatString(LoadText(strings, IDS_STEPS_UNREADABLE), {caption, *why});
    if (!ReleaseAndRepeatApply(slot))
        return note;
    if (const std::optional<std::string> why = UnreadableSteps(stored.release)) {
        if (!note.empty())
            note += "\r\n";
        note += FormatString(LoadText(strings, IDS_RELEASE_UNREADABLE), {caption, *why});
    }
    return note;
}

} // namespace qvl
