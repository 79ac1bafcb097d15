// Writing keysets as text: each keyset's name and rule, then a line for each assignment that differs
// from an empty one.
#include "editor/app/assignment_form.h"
#include "editor/app/keyset_text.h"
#include "editor/app/keyset_text_words.h"
#include "model/steps.h"
#include "model/utf_text.h"

#include <algorithm>

namespace qvl {

using namespace keyset_text;

namespace {

// A text the record keeps in the code page: as characters when they give its bytes back, else byte by byte.
std::string CodePageText(std::string_view bytes, const CodePage& codePage) {
    if (const std::optional<std::string> text = codePage.ToUtf8(bytes))
        return Quoted(*text, false);
    return Quoted(bytes, true);
}

// A text kept in UTF-8 (steps): as it is, or byte by byte should it not be UTF-8.
std::string Utf8Text(const std::string& text) {
    return Quoted(text, !Utf16FromUtf8(text).has_value());
}

void Add(std::vector<std::string>& fields, std::string field) {
    fields.push_back(std::move(field));
}

// The keystroke and the special key. A code outside 1 to 254 is no key the hot-key control can hold, and
// the modifiers beyond Shift, Ctrl, Alt and the extended-key bit are none it sets.
void KeyFields(const ControlAssignment& a, std::vector<std::string>& fields) {
    if (a.hotKeyVk >= 1 && a.hotKeyVk <= 254) {
        KeyChord chord{static_cast<std::uint8_t>(a.hotKeyVk), 0};
        chord.modifiers |= (a.hotKeyMods & kHotKeyControl) != 0 ? kStepCtrl : 0;
        chord.modifiers |= (a.hotKeyMods & kHotKeyAlt) != 0 ? kStepAlt : 0;
        chord.modifiers |= (a.hotKeyMods & kHotKeyShift) != 0 ? kStepShift : 0;
        Add(fields, "key " + PrintKeyChord(chord));
        const bool extended = (a.hotKeyMods & kHotKeyExtended) != 0;
        if (extended != UsuallyExtended(a.hotKeyVk))
            Add(fields, extended ? "extended yes" : "extended no");
    }
    const int special = SpecialKeyIndex(a.specialKey);
    if (special > 0 && special < kSpecialKeyItemCount)
        Add(fields, std::string("special ") + kSpecialKeyItems[special]);
    const std::string flags = FlagWords(a.flagCode);
    if (!flags.empty())
        Add(fields, "flags " + flags);
}

// The mouse action, its point and window, the capture and the speed.
void MouseFields(const ControlAssignment& a, bool wheel, const CodePage& codePage, std::vector<std::string>& fields) {
    if (a.mouseMode != kMouseNone) {
        const std::string word = MouseWord(wheel, a.mouseMode);
        Add(fields, "mouse " + (word.empty() ? std::to_string(a.mouseMode) : word));
    }
    if (a.clickX != -1 || a.clickY != -1)
        Add(fields, "point " + std::to_string(a.clickX) + ", " + std::to_string(a.clickY));
    const std::string title = ReadField(a.windowTitle);
    if (!title.empty())
        Add(fields, "window " + CodePageText(title, codePage));
    const std::string windowClass = ReadField(a.windowClass);
    if (!windowClass.empty())
        Add(fields, "window class " + CodePageText(windowClass, codePage));
    if (a.captureOnFirstPress != 0)
        Add(fields, "capture");
    // The editor shows (and stores back) a speed within the slider's range.
    const int speed = std::clamp<int>(a.wheelSpeed, kSlowestWheelSpeed, kFastestWheelSpeed);
    if (speed != 64)
        Add(fields, "speed " + std::to_string(speed));
}

void StepsFields(const AssignmentSteps& steps, std::vector<std::string>& fields) {
    if (!steps.press.empty())
        Add(fields, "press " + Utf8Text(steps.press));
    if (!steps.release.empty())
        Add(fields, "release " + Utf8Text(steps.release));
    if (steps.repeat)
        Add(fields, "repeat");
}

// The line of one assignment; empty when it holds nothing beyond an empty assignment.
std::string AssignmentLine(const TextKeyset& keyset, int bank, int control, const CodePage& codePage) {
    const ControlAssignment& a = AssignmentAt(keyset.record, bank, control);
    std::vector<std::string> fields;
    const std::string name = ReadField(a.controlName);
    if (!name.empty())
        Add(fields, "name " + CodePageText(name, codePage));
    KeyFields(a, fields);
    MouseFields(a, IsWheelControl(control), codePage, fields);
    StepsFields(keyset.steps.Get(bank, control), fields);
    if (fields.empty())
        return "";
    std::string line = std::string(kBankKeyNames[bank]) + ", " + kControlWords[control] + ": ";
    for (std::size_t n = 0; n < fields.size(); ++n)
        line += (n == 0 ? "" : "; ") + fields[n];
    return line + "\r\n";
}

std::string RuleLine(const WindowRule& rule, const CodePage& codePage) {
    const WindowRule bounded = Bounded(rule);
    std::vector<std::string> fields;
    if (!bounded.program.empty())
        fields.push_back("program " + CodePageText(bounded.program, codePage));
    if (!bounded.title.empty())
        fields.push_back("title " + CodePageText(bounded.title, codePage));
    if (!bounded.windowClass.empty())
        fields.push_back("class " + CodePageText(bounded.windowClass, codePage));
    if (fields.empty())
        return "";
    std::string line = std::string(kRuleHead) + ": ";
    for (std::size_t n = 0; n < fields.size(); ++n)
        line += (n == 0 ? "" : "; ") + fields[n];
    return line + "\r\n";
}

} // namespace

std::string WriteKeysetText(const std::vector<TextKeyset>& keysets, const CodePage& codePage,
                            const std::vector<std::string>& comments) {
    // CR LF, so that every Notepad shows the lines.
    std::string text = std::string(kKeysetTextHeader) + "\r\n";
    for (const std::string& comment : comments)
        text += "# " + comment + "\r\n";
    for (const TextKeyset& keyset : keysets) {
        text += "\r\n" + std::string(kKeysetHead) + ": " +
                CodePageText(ReadField(keyset.record.header.appName), codePage) + "\r\n";
        text += RuleLine(keyset.rule, codePage);
        for (int bank = 0; bank < kBankCount; ++bank)
            for (int control = 0; control < kControlCount; ++control)
                text += AssignmentLine(keyset, bank, control, codePage);
    }
    return text;
}

} // namespace qvl
