#include "model/window_rule.h"

#include "model/text_case.h"

namespace qvl {

const char* const kRuleValueNames[kRuleFieldCount] = {kMatchProgramValueName, kMatchTitleValueName,
                                                      kMatchClassValueName};

std::string& RuleField(WindowRule& rule, int field) {
    return field == 0 ? rule.program : field == 1 ? rule.title : rule.windowClass;
}

const std::string& RuleField(const WindowRule& rule, int field) {
    return RuleField(const_cast<WindowRule&>(rule), field);
}

WindowRule Bounded(WindowRule rule) {
    for (int field = 0; field < kRuleFieldCount; ++field) {
        std::string& text = RuleField(rule, field);
        const std::size_t end = text.find('\0');
        if (end != std::string::npos)
            text.resize(end);
        if (text.size() > kRuleFieldMax)
            text.resize(kRuleFieldMax);
    }
    return rule;
}

std::string DescribeRule(const WindowRule& rule, const std::string& keysetName, const TextCase& textCase) {
    std::string text;
    const auto add = [&text](const char* label, const std::string& value) {
        if (value.empty())
            return;
        text += text.empty() ? "" : ", ";
        text += label;
        text += value;
    };
    // "browser - Video" says its program already.
    if (textCase.Fold(keysetName).rfind(textCase.Fold(rule.program), 0) != 0)
        add("program: ", rule.program);
    add("title: ", rule.title);
    add("class: ", rule.windowClass);
    return text;
}

std::string DescribeChoice(const KeysetChoice& choice, const WindowRule& rule, const std::string& program) {
    if (!choice.matched)
        return "no keyset for \"" + program + "\"";
    std::string why;
    if (choice.byTitle)
        why = "title \"" + rule.title + "\"";
    if (choice.byClass)
        why += (why.empty() ? "" : ", ") + std::string("class \"") + rule.windowClass + "\"";
    return why.empty() ? "program \"" + program + "\"" : why;
}

void KeysetChooser::SetKeysets(const std::vector<RuledKeyset>& keysets) {
    entries_.clear();
    entries_.reserve(keysets.size());
    needsTitle_ = false;
    needsClass_ = false;
    for (const RuledKeyset& keyset : keysets) {
        Entry entry;
        entry.program = textCase_.Fold(keyset.rule.program.empty() ? keyset.name : keyset.rule.program);
        entry.title = textCase_.Fold(keyset.rule.title);
        entry.windowClass = textCase_.Fold(keyset.rule.windowClass);
        entry.conditions = (entry.title.empty() ? 0 : 1) + (entry.windowClass.empty() ? 0 : 1);
        needsTitle_ = needsTitle_ || !entry.title.empty();
        needsClass_ = needsClass_ || !entry.windowClass.empty();
        entries_.push_back(std::move(entry));
    }
}

KeysetChoice KeysetChooser::Choose(const ForegroundWindow& window) const {
    const std::string program = textCase_.Fold(window.program);
    const std::string title = needsTitle_ ? textCase_.Fold(window.title) : std::string();
    const std::string windowClass = needsClass_ ? textCase_.Fold(window.windowClass) : std::string();
    KeysetChoice choice;
    int best = -1;
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        const Entry& entry = entries_[index];
        if (entry.conditions <= best || entry.program != program)
            continue;
        if (!entry.title.empty() && title.find(entry.title) == std::string::npos)
            continue;
        if (!entry.windowClass.empty() && entry.windowClass != windowClass)
            continue;
        best = entry.conditions;
        choice.index = static_cast<int>(index);
        choice.matched = true;
        choice.byTitle = !entry.title.empty();
        choice.byClass = !entry.windowClass.empty();
    }
    return choice;
}

} // namespace qvl
