#include "editor/app/window_rule_form.h"

#include "editor/app/keyset_commands.h"
#include "framework/file_names.h"

namespace qvl {

bool WindowRuleForm::Begin() {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr || !commands_.CanEditRule())
        return false;
    index_ = store->GetCurrentIndex();
    rule = store->GetRule(index_);
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

StoreResult WindowRuleForm::Store() {
    rule = Bounded(rule);
    return commands_.SetRule(index_, rule);
}

} // namespace qvl
