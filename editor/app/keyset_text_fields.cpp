#include "editor/app/keyset_text_fields.h"

#include "editor/app/assignment_form.h"
#include "editor/app/keyset_text_words.h"
#include "model/steps.h"
#include "model/utf_text.h"

#include <cctype>
#include <limits>

namespace qvl::keyset_text {

namespace {

using FieldReader = bool (*)(FieldTarget&, std::string_view, std::string&);

std::optional<long long> WholeNumber(std::string_view text) {
    text = TrimSpaces(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 11)
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool NoValue(std::string_view value, const char* field, std::string& reason) {
    if (TrimSpaces(value).empty())
        return true;
    reason = std::string("\"") + field + "\" takes no value";
    return false;
}

template <std::size_t N>
bool Text(char (&field)[N], std::string_view value, FieldTarget& t, const char* what, std::string& reason) {
    const std::optional<std::string> bytes = CodePageValue(value, N - 1, what, t.codePage, reason);
    if (bytes)
        CopyToField(field, bytes->c_str());
    return bytes.has_value();
}

bool Name(FieldTarget& t, std::string_view value, std::string& reason) {
    return Text(t.assignment.controlName, value, t, "name", reason);
}

bool Key(FieldTarget& t, std::string_view value, std::string& reason) {
    const std::optional<KeyChord> chord = ParseKeyChord(value, reason);
    if (!chord)
        return false;
    if ((chord->modifiers & kStepWin) != 0) {
        reason = "a key press cannot hold Win, only Ctrl, Alt and Shift";
        return false;
    }
    t.assignment.hotKeyVk = chord->vk;
    t.assignment.hotKeyMods = static_cast<std::uint16_t>(((chord->modifiers & kStepShift) ? kHotKeyShift : 0) |
                                                         ((chord->modifiers & kStepCtrl) ? kHotKeyControl : 0) |
                                                         ((chord->modifiers & kStepAlt) ? kHotKeyAlt : 0));
    return true;
}

bool Extended(FieldTarget& t, std::string_view value, std::string& reason) {
    const std::string word = FoldedName(value);
    if (word != "yes" && word != "no") {
        reason = "\"extended\" is \"yes\" or \"no\"";
        return false;
    }
    t.extended = word == "yes";
    return true;
}

bool Special(FieldTarget& t, std::string_view value, std::string& reason) {
    for (int index = 1; index < kSpecialKeyItemCount; ++index)
        if (FoldedName(kSpecialKeyItems[index]) == FoldedName(value)) {
            t.assignment.specialKey = StoredSpecialKey(index);
            return true;
        }
    reason = "there is no special key \"" + std::string(TrimSpaces(value)) +
             "\"; the special keys are Enter, Tab, Shift + Tab, Space, Backspace and Delete";
    return false;
}

bool Flags(FieldTarget& t, std::string_view value, std::string& reason) {
    const std::optional<std::int16_t> code = FlagCode(value);
    if (!code || *code == 0) {
        reason = "the flags are Ctl, Alt and Shft, joined by \"+\"";
        return false;
    }
    t.assignment.flagCode = *code;
    return true;
}

bool Mouse(FieldTarget& t, std::string_view value, std::string& reason) {
    const std::optional<std::int16_t> mode = MouseMode(t.wheel, value);
    if (!mode) {
        reason = "there is no mouse action \"" + std::string(TrimSpaces(value)) + "\" for " +
                 (t.wheel ? "the wheel; it is one of " : "a transport key; it is one of ") + MouseWords(t.wheel) +
                 ", or a number";
        return false;
    }
    t.assignment.mouseMode = *mode;
    return true;
}

bool Point(FieldTarget& t, std::string_view value, std::string& reason) {
    const std::size_t comma = value.find(',');
    const std::optional<long long> x = WholeNumber(value.substr(0, comma));
    const std::optional<long long> y =
        comma == std::string_view::npos ? std::nullopt : WholeNumber(value.substr(comma + 1));
    constexpr long long kLeast = std::numeric_limits<std::int32_t>::min();
    constexpr long long kMost = std::numeric_limits<std::int32_t>::max();
    if (!x || !y || *x < kLeast || *x > kMost || *y < kLeast || *y > kMost) {
        reason = "a point is two whole numbers, \"x, y\"";
        return false;
    }
    t.assignment.clickX = static_cast<std::int32_t>(*x);
    t.assignment.clickY = static_cast<std::int32_t>(*y);
    return true;
}

bool Window(FieldTarget& t, std::string_view value, std::string& reason) {
    return Text(t.assignment.windowTitle, value, t, "window", reason);
}

bool WindowClass(FieldTarget& t, std::string_view value, std::string& reason) {
    return Text(t.assignment.windowClass, value, t, "window class", reason);
}

bool Capture(FieldTarget& t, std::string_view value, std::string& reason) {
    t.assignment.captureOnFirstPress = 1;
    return NoValue(value, "capture", reason);
}

bool Speed(FieldTarget& t, std::string_view value, std::string& reason) {
    const std::optional<long long> speed = WholeNumber(value);
    if (!speed || *speed < kSlowestWheelSpeed || *speed > kFastestWheelSpeed) {
        reason = "the speed is a whole number from 1 to 128";
        return false;
    }
    t.assignment.wheelSpeed = static_cast<std::int16_t>(*speed);
    return true;
}

// Steps are kept as written, once they read as steps.
bool Steps(std::string& steps, std::string_view value, const char* what, std::string& reason) {
    std::string inner;
    const std::optional<std::vector<QuotedPiece>> pieces = Unquoted(value, inner);
    if (!pieces) {
        reason = std::string("the ") + what + " steps " + inner;
        return false;
    }
    std::string text;
    for (const QuotedPiece& piece : *pieces)
        text += piece.text;
    const StepsParse parse = ParseSteps(text);
    if (!parse.Ok()) {
        const StepsError& e = *parse.error;
        reason = std::string("the ") + what + " steps" +
                 (e.step == 0 ? ": " : ", step " + std::to_string(e.step) + " (\"" + e.stepText + "\"): ") + e.reason;
        return false;
    }
    steps = text;
    return true;
}

bool Press(FieldTarget& t, std::string_view value, std::string& reason) {
    return Steps(t.steps.press, value, "press", reason);
}

bool Release(FieldTarget& t, std::string_view value, std::string& reason) {
    return Steps(t.steps.release, value, "release", reason);
}

bool Repeat(FieldTarget& t, std::string_view value, std::string& reason) {
    t.steps.repeat = true;
    return NoValue(value, "repeat", reason);
}

struct FieldKind {
    const char* name; // folded
    FieldReader read;
};
constexpr FieldKind kFields[] = {
    {"name", Name},   {"key", Key},     {"extended", Extended}, {"special", Special},         {"flags", Flags},
    {"mouse", Mouse}, {"point", Point}, {"window", Window},     {"windowclass", WindowClass}, {"capture", Capture},
    {"speed", Speed}, {"press", Press}, {"release", Release},   {"repeat", Repeat},
};

} // namespace

bool ReadField(const std::string& name, std::string_view value, FieldTarget& target, std::size_t& index,
               std::string& reason) {
    for (index = 0; index < std::size(kFields); ++index)
        if (name == kFields[index].name)
            return kFields[index].read(target, value, reason);
    reason = "there is no field \"" + name + "\"";
    return false;
}

bool FinishFields(FieldTarget& target, std::string& reason) {
    ControlAssignment& a = target.assignment;
    if (target.extended && a.hotKeyVk == 0) {
        reason = "\"extended\" belongs to a key press, and there is none";
        return false;
    }
    if (a.hotKeyVk != 0 && target.extended.value_or(UsuallyExtended(a.hotKeyVk)))
        a.hotKeyMods = static_cast<std::uint16_t>(a.hotKeyMods | kHotKeyExtended);
    return true;
}

std::optional<std::string> CodePageValue(std::string_view value, std::size_t limit, const char* what,
                                         const CodePage& codePage, std::string& reason) {
    std::string inner;
    const std::optional<std::vector<QuotedPiece>> pieces = Unquoted(value, inner);
    if (!pieces) {
        reason = std::string("the ") + what + " " + inner;
        return std::nullopt;
    }
    std::string bytes;
    for (const QuotedPiece& piece : *pieces) {
        const std::optional<std::string> converted =
            piece.bytes ? std::optional<std::string>(piece.text) : codePage.FromUtf8(piece.text);
        if (!converted) {
            reason = std::string("the ") + what + " holds a character that this system's code page does not have";
            return std::nullopt;
        }
        bytes += *converted;
    }
    if (bytes.size() > limit) {
        reason = std::string("the ") + what + " has more than " + std::to_string(limit) + " characters";
        return std::nullopt;
    }
    return bytes;
}

} // namespace qvl::keyset_text
