#include "watch_rules.h"

#include "tool_args.h"

#include <cctype>

namespace qvl::e2e {

namespace {

bool IsClass(const DialogControl& control, const char* name) {
    const std::string& a = control.className;
    const std::string_view b = name;
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

char Fold(char c, bool ignoreCase) {
    return ignoreCase ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
}

std::string WithoutMnemonics(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i; // "&&" stands for one '&'
        plain += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
    return plain;
}

// Fields split at ';', with "\;" kept as a literal semicolon.
std::vector<std::string> SplitFields(std::string_view text) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == ';') {
            fields.back() += ';';
            ++i;
        } else if (text[i] == ';') {
            fields.emplace_back();
        } else {
            fields.back() += text[i];
        }
    }
    return fields;
}

std::optional<int> ParseControlId(std::string_view text) {
    const std::optional<long long> id = ParseInteger(text);
    if (!id || *id < 0 || *id > 0xFFFF)
        return std::nullopt;
    return static_cast<int>(*id);
}

// "ID:TEXT" of fill, select and check.
std::optional<ControlText> ParseControlText(std::string_view value) {
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> id = ParseControlId(value.substr(0, colon));
    if (!id)
        return std::nullopt;
    return ControlText{*id, std::string(value.substr(colon + 1))};
}

} // namespace

std::string DialogInfo::StaticText() const {
    std::string joined;
    for (const DialogControl& control : controls) {
        if (!IsClass(control, "Static") || !control.visible || control.text.empty())
            continue;
        if (!joined.empty())
            joined += '\n';
        joined += control.text;
    }
    return joined;
}

std::vector<const DialogControl*> DialogInfo::Buttons() const {
    std::vector<const DialogControl*> buttons;
    for (const DialogControl& control : controls) {
        if (IsClass(control, "Button") && control.visible)
            buttons.push_back(&control);
    }
    return buttons;
}

std::optional<WatchRule> ParseWatchRule(std::string_view text, std::string& error) {
    WatchRule rule;
    for (const std::string& field : SplitFields(text)) {
        if (field.empty())
            continue;
        const std::size_t equals = field.find('=');
        if (equals == std::string::npos) {
            error = "field without '=': " + field;
            return std::nullopt;
        }
        const std::string name = field.substr(0, equals);
        const std::string value = field.substr(equals + 1);
        if (name == "caption") {
            rule.caption = value;
        } else if (name == "text") {
            rule.text = value;
        } else if (name == "process") {
            rule.process = value;
        } else if (name == "button") {
            rule.button = value;
        } else if (name == "fill" || name == "select" || name == "check") {
            std::optional<ControlText> target = ParseControlText(value);
            if (!target || (name == "check" && target->text != "0" && target->text != "1")) {
                error = "expected " + name + (name == "check" ? "=ID:0|1" : "=ID:TEXT") + ": " + field;
                return std::nullopt;
            }
            (name == "fill" ? rule.fills : name == "select" ? rule.selects : rule.checks).push_back(*target);
        } else if (name == "press") {
            ControlRef ref;
            if (!value.empty() && value[0] == '#') {
                ref.id = ParseControlId(std::string_view(value).substr(1));
                if (!ref.id) {
                    error = "expected press=#ID: " + field;
                    return std::nullopt;
                }
            } else if (value.empty()) {
                error = "press needs a button: " + field;
                return std::nullopt;
            }
            ref.text = value;
            rule.press = ref;
        } else if (name == "times") {
            const std::optional<long long> times = ParseInteger(value);
            if (!times || *times < 1 || *times > 1000000) {
                error = "expected times=N (1 or more): " + field;
                return std::nullopt;
            }
            rule.times = static_cast<int>(*times);
        } else {
            error = "unknown field: " + field;
            return std::nullopt;
        }
    }
    return rule;
}

bool WildcardMatch(std::string_view pattern, std::string_view text, bool ignoreCase) {
    // Greedy match with one backtrack point: the last '*' seen and where the text stood then.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starText = t;
        } else if (p < pattern.size() && Fold(pattern[p], ignoreCase) == Fold(text[t], ignoreCase)) {
            ++p;
            ++t;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool ButtonTextMatches(std::string_view wanted, std::string_view buttonText) {
    return WithoutMnemonics(wanted) == WithoutMnemonics(buttonText);
}

bool RuleMatches(const WatchRule& rule, const DialogInfo& dialog) {
    if (!rule.caption.empty() && !WildcardMatch(rule.caption, dialog.caption))
        return false;
    if (!rule.text.empty() && !WildcardMatch(rule.text, dialog.StaticText()))
        return false;
    if (!rule.process.empty() && !WildcardMatch(rule.process, dialog.process, true))
        return false;
    if (!rule.button.empty() && !FindButton(dialog, ControlRef{std::nullopt, rule.button}))
        return false;
    return true;
}

std::optional<int> FindButton(const DialogInfo& dialog, const ControlRef& ref) {
    for (const DialogControl* button : dialog.Buttons()) {
        if (ref.id ? button->id == *ref.id : ButtonTextMatches(ref.text, button->text))
            return button->id;
    }
    return std::nullopt;
}

} // namespace qvl::e2e
