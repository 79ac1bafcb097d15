#include "editor/app/window_rule_form.h"

#include "editor/app/keyset_commands.h"
#include "framework/file_names.h"

namespace qvl {

bool WindowRuleForm::Begin() {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr || !commands_.CanEditRule())
        return false;
    const int index = store->GetCurrentIndex();
    name_ = store->GetName(index);
    rule = store->GetRule(index);
    rows_.clear();
    // The windows a rule could be about: ones the user sees, with a title to tell them apart, and not
    // the editor's own (the dialog itself among them).
    for (OpenWindow& window : windows_.List())
        if (window.visible && !window.title.empty() && !window.editorsOwn)
            rows_.push_back(std::move(window));
    return true;
}

std::string WindowRuleForm::RowText(const OpenWindow& window) {
    return window.program + "\t" + window.title + "\t" + window.windowClass;
}

void WindowRuleForm::Pick(std::size_t row) {
    if (row >= rows_.size())
        return;
    const OpenWindow& window = rows_[row];
    rule.program = framework::FileTitleOf(window.program);
    rule.title = window.title;
    rule.windowClass = window.windowClass;
    rule = Bounded(rule);
}

std::optional<StoreResult> WindowRuleForm::Store() {
    rule = Bounded(rule);
    const CKeysetStore* store = commands_.Store();
    const std::optional<int> index = store != nullptr ? store->Find(name_) : std::nullopt;
    if (!index || *index == 0)
        return std::nullopt;
    return commands_.SetRule(*index, rule);
}

} // namespace qvl
