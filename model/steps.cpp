#include "model/steps.h"

#include "model/key_names.h"
#include "model/utf_text.h"

#include <array>
#include <cctype>
#include <utility>

namespace qvl {

namespace {

struct NamedModifier {
    const char* name;
    std::uint8_t bit;
};
// In the order they go down and are printed; "Control" is read too.
constexpr std::array<NamedModifier, 5> kModifiers = {{
    {"Ctrl", kStepCtrl},
    {"Alt", kStepAlt},
    {"Shift", kStepShift},
    {"Win", kStepWin},
    {"Control", kStepCtrl},
}};

// Names that steps print besides the editor's key names: words for the punctuation keys (the comma is
// the separator, so its key has no other way to be written) and the left and right modifier keys that
// the editor names alike.
// clang-format off
constexpr std::pair<std::uint8_t, const char*> kStepNames[] = {
    {188, "Comma"},       {186, "Semicolon"},   {187, "Equals"},       {189, "Minus"},
    {190, "Period"},      {191, "Slash"},       {192, "Backquote"},    {219, "Left Bracket"},
    {220, "Backslash"},   {221, "Right Bracket"}, {222, "Quote"},      {160, "Left Shift"},
    {161, "Right Shift"}, {162, "Left Ctrl"},   {163, "Right Ctrl"},   {164, "Left Alt"},
    {165, "Right Alt"},   {92, "Right Win"},
};
// Names people type that are read but never printed.
constexpr std::pair<std::uint8_t, const char*> kReadOnlyNames[] = {
    {91, "Left Win"}, {27, "Escape"}, {13, "Return"}, {46, "Del"}, {45, "Ins"},
    {33, "PgUp"},     {34, "PgDn"},   {93, "Menu"},
};
// clang-format on

// "key 123" and the like: a number 1 to 254 after the word.
std::optional<std::uint8_t> NumberedKey(const std::string& folded) {
    if (folded.size() < 4 || folded.size() > 6 || folded.compare(0, 3, "key") != 0)
        return std::nullopt;
    int code = 0;
    for (std::size_t i = 3; i < folded.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(folded[i])))
            return std::nullopt;
        code = code * 10 + (folded[i] - '0');
    }
    if (code < 1 || code > 254 || folded[3] == '0')
        return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

std::optional<std::uint8_t> ModifierBit(std::string_view name) {
    const std::string folded = FoldedName(name);
    for (const NamedModifier& modifier : kModifiers)
        if (FoldedName(modifier.name) == folded)
            return modifier.bit;
    return std::nullopt;
}

// The editor's name of every code 1 to 254, folded, by code (a fixed table, made once).
std::vector<std::string> FoldedEditorNames() {
    std::vector<std::string> names(255);
    for (std::uint16_t code = 1; code <= 254; ++code)
        names[code] = FoldedName(KeyName(code));
    return names;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string FoldedName(std::string_view name) {
    std::string folded;
    for (const char c : name)
        if (!std::isspace(static_cast<unsigned char>(c)))
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::optional<std::uint8_t> StepKeyCode(std::string_view name) {
    const std::string folded = FoldedName(name);
    if (folded.empty())
        return std::nullopt;
    for (const auto& [code, stepName] : kStepNames)
        if (FoldedName(stepName) == folded)
            return code;
    for (const auto& [code, alias] : kReadOnlyNames)
        if (FoldedName(alias) == folded)
            return code;
    if (const std::optional<std::uint8_t> numbered = NumberedKey(folded))
        return numbered;
    // The editor's names, the first code of a name shared by several (Shift, Ctrl, Alt, Win, Clear).
    static const std::vector<std::string> editorNames = FoldedEditorNames();
    for (std::size_t code = 1; code < editorNames.size(); ++code)
        if (editorNames[code] == folded)
            return static_cast<std::uint8_t>(code);
    return std::nullopt;
}

std::string StepKeyName(std::uint8_t vk) {
    for (const auto& [code, stepName] : kStepNames)
        if (code == vk)
            return stepName;
    const std::string name = KeyName(vk);
    if (StepKeyCode(name) == vk)
        return name;
    return "Key " + std::to_string(vk);
}

std::optional<KeyChord> ParseKeyChord(std::string_view text, std::string& reason) {
    KeyChord chord;
    text = TrimSpaces(text);
    // Modifiers are the names before a '+' with more after it; the rest is the key, whose own name may
    // hold a '+' ("Num +").
    for (std::size_t plus = text.find('+'); plus != std::string_view::npos; plus = text.find('+')) {
        const std::optional<std::uint8_t> bit = ModifierBit(text.substr(0, plus));
        if (!bit)
            break;
        const std::string_view rest = TrimSpaces(text.substr(plus + 1));
        if (rest.empty()) {
            reason = "a key must follow " + Quoted(TrimSpaces(text));
            return std::nullopt;
        }
        chord.modifiers |= *bit;
        text = rest;
    }
    if (text.empty()) {
        reason = "a key is missing";
        return std::nullopt;
    }
    const std::optional<std::uint8_t> vk = StepKeyCode(text);
    if (!vk) {
        reason = "there is no key named " + Quoted(text);
        return std::nullopt;
    }
    chord.vk = *vk;
    return chord;
}

std::string PrintKeyChord(const KeyChord& chord) {
    std::string text;
    for (std::size_t i = 0; i < 4; ++i)
        if ((chord.modifiers & kModifiers[i].bit) != 0)
            text += std::string(kModifiers[i].name) + "+";
    return text + StepKeyName(chord.vk);
}

namespace {

// The text of a quoted step, escapes undone; `reason` says what is wrong otherwise.
std::optional<std::u16string> ParseQuotedText(std::string_view step, std::string& reason) {
    std::string text;
    std::size_t at = 1;
    for (; at < step.size() && step[at] != '"'; ++at) {
        if (step[at] != '\\') {
            text += step[at];
            continue;
        }
        if (at + 1 >= step.size() || (step[at + 1] != '"' && step[at + 1] != '\\')) {
            reason = "a backslash in a text must be followed by \" or \\";
            return std::nullopt;
        }
        text += step[++at];
    }
    if (at >= step.size()) {
        reason = "the text has no closing quote";
        return std::nullopt;
    }
    if (at + 1 != step.size()) {
        reason = "there is more after the closing quote";
        return std::nullopt;
    }
    if (text.empty()) {
        reason = "the text is empty";
        return std::nullopt;
    }
    std::optional<std::u16string> units = Utf16FromUtf8(text);
    if (!units)
        reason = "the text is not valid UTF-8";
    return units;
}

// "wait 250": the pause, or the reason it is none. Nothing and an empty reason: not a wait at all.
std::optional<std::uint16_t> ParseWait(std::string_view step, std::string& reason) {
    if (step.size() < 4 || FoldedName(step.substr(0, 4)) != "wait")
        return std::nullopt;
    const std::string_view number = TrimSpaces(step.substr(4));
    if (number.size() < step.size() - 4 && !number.empty() && number.size() <= 5) {
        unsigned ms = 0;
        bool digits = true;
        for (const char c : number) {
            digits = digits && std::isdigit(static_cast<unsigned char>(c));
            ms = ms * 10 + static_cast<unsigned>(c - '0');
        }
        if (digits && ms >= kWaitMinMs && ms <= kWaitMaxMs)
            return static_cast<std::uint16_t>(ms);
    }
    reason = "a wait is a number of milliseconds from 1 to 10000";
    return std::nullopt;
}

// A key step: a chord, or a chord and "down" or "up". The whole text is tried as a key first, so that
// "Page Up" and "Down" are keys.
std::optional<Step> ParseKeyStep(std::string_view step, std::string& reason) {
    if (std::optional<KeyChord> chord = ParseKeyChord(step, reason))
        return Step{StepKind::kTap, *chord, {}, 0};
    const std::size_t space = step.find_last_of(" \t");
    if (space == std::string_view::npos)
        return std::nullopt;
    const std::string word = FoldedName(step.substr(space + 1));
    if (word != "down" && word != "up")
        return std::nullopt;
    std::optional<KeyChord> chord = ParseKeyChord(step.substr(0, space), reason);
    if (!chord)
        return std::nullopt;
    return Step{word == "down" ? StepKind::kDown : StepKind::kUp, *chord, {}, 0};
}

std::optional<Step> ParseStep(std::string_view step, std::string& reason) {
    if (step.empty()) {
        reason = "the step is empty";
        return std::nullopt;
    }
    if (step.front() == '"') {
        std::optional<std::u16string> text = ParseQuotedText(step, reason);
        if (!text)
            return std::nullopt;
        return Step{StepKind::kText, {}, std::move(*text), 0};
    }
    if (const std::optional<std::uint16_t> ms = ParseWait(step, reason))
        return Step{StepKind::kWait, {}, {}, *ms};
    if (!reason.empty())
        return std::nullopt;
    return ParseKeyStep(step, reason);
}

// Where the step that begins at `start` ends: the next comma outside quotes, or the end.
std::size_t StepEnd(std::string_view text, std::size_t start) {
    bool quoted = false;
    for (std::size_t at = start; at < text.size(); ++at) {
        if (quoted && text[at] == '\\')
            ++at;
        else if (text[at] == '"')
            quoted = !quoted;
        else if (!quoted && text[at] == ',')
            return at;
    }
    return text.size();
}

StepsParse Failed(int step, std::string_view stepText, std::string reason) {
    return {{}, StepsError{step, std::string(stepText), std::move(reason)}};
}

} // namespace

StepsParse ParseSteps(std::string_view text) {
    const std::optional<std::u16string> units = Utf16FromUtf8(text);
    if (!units)
        return Failed(0, {}, "the text is not valid UTF-8");
    if (units->size() > kStepsMaxCharacters)
        return Failed(0, {}, "the steps are longer than 1024 characters");
    StepsParse parse;
    if (TrimSpaces(text).empty())
        return parse;
    for (std::size_t start = 0;;) {
        const std::size_t end = StepEnd(text, start);
        const std::string_view stepText = TrimSpaces(text.substr(start, end - start));
        const int number = static_cast<int>(parse.steps.size()) + 1;
        if (parse.steps.size() == kStepsMaxCount)
            return Failed(0, {}, "there are more than 256 steps");
        std::string reason;
        std::optional<Step> step = ParseStep(stepText, reason);
        if (!step)
            return Failed(number, stepText, reason);
        parse.steps.push_back(std::move(*step));
        if (end == text.size())
            return parse;
        start = end + 1;
    }
}

namespace {

std::string PrintText(const std::u16string& units) {
    std::string text = "\"";
    for (const char c : Utf8FromUtf16(units)) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += c;
    }
    return text + "\"";
}

std::string PrintStep(const Step& step) {
    switch (step.kind) {
        case StepKind::kTap:
            return PrintKeyChord(step.chord);
        case StepKind::kDown:
            return PrintKeyChord(step.chord) + " down";
        case StepKind::kUp:
            return PrintKeyChord(step.chord) + " up";
        case StepKind::kText:
            return PrintText(step.text);
        case StepKind::kWait:
            return "wait " + std::to_string(step.ms);
    }
    return "";
}

} // namespace

std::string PrintSteps(const Steps& steps) {
    std::string text;
    for (const Step& step : steps) {
        if (!text.empty())
            text += ", ";
        text += PrintStep(step);
    }
    return text;
}

std::string DescribeStepsError(const StepsError& error) {
    std::string reason = error.reason;
    if (!reason.empty())
        reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
    if (error.step == 0)
        return reason + ".";
    return "Step " + std::to_string(error.step) + ", " + Quoted(error.stepText) + ": " + error.reason + ".";
}

} // namespace qvl
