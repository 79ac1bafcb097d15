// Steps: what a press can send beyond one keystroke, and their text form, which the editor, the
// overview, the on-screen note, the driver's trace and keysets written as text all use.
//
// The text is one line, steps separated by commas, spaces around a step ignored, names ignoring case
// (and the spaces inside them):
//
//   Ctrl+Shift+S   a key with its modifiers (Ctrl, Alt, Shift, Win): the modifiers go down, then the
//                  key; the key comes up, then the modifiers
//   Shift down     a key (with its modifiers) pressed and left down; "Shift up" lets it go
//   "take 1"       text typed as characters, whatever the keyboard layout; \" and \\ inside
//   wait 250       a pause of 1 to 10000 ms
//
// Every key the editor names can be written by that name ("Page Up", "Num 3", "F5", "A", "7"); the
// punctuation keys also by a word ("Comma", which the separator leaves no other way to write, and
// "Semicolon", "Slash", ...); and any virtual-key code 1 to 254 as "Key 123". The printer writes the
// name that reads back to the same key, so that what it writes parses to the same steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl {

// A text without the spaces around it; a name as names are compared (lower case, without spaces): the
// steps' names and the keyset text's words both read this way.
std::string_view TrimSpaces(std::string_view text);
std::string FoldedName(std::string_view name);

// Modifier bits of a key step, in the order they go down.
constexpr std::uint8_t kStepCtrl = 0x1;
constexpr std::uint8_t kStepAlt = 0x2;
constexpr std::uint8_t kStepShift = 0x4;
constexpr std::uint8_t kStepWin = 0x8;

// A key with its modifiers.
struct KeyChord {
    std::uint8_t vk = 0;        // 1 to 254
    std::uint8_t modifiers = 0; // kStep* bits
    bool operator==(const KeyChord& other) const { return vk == other.vk && modifiers == other.modifiers; }
    bool operator!=(const KeyChord& other) const { return !(*this == other); }
};

enum class StepKind : std::uint8_t {
    kTap,  // the chord goes down and up
    kDown, // the chord goes down and stays down
    kUp,   // the chord's key comes up, then its modifiers
    kText, // characters typed
    kWait, // a pause
};

struct Step {
    StepKind kind = StepKind::kTap;
    KeyChord chord;       // kTap, kDown, kUp
    std::u16string text;  // kText: UTF-16, a character beyond U+FFFF as its two halves
    std::uint16_t ms = 0; // kWait

    bool operator==(const Step& other) const {
        return kind == other.kind && chord == other.chord && text == other.text && ms == other.ms;
    }
    bool operator!=(const Step& other) const { return !(*this == other); }
};

using Steps = std::vector<Step>;

constexpr std::size_t kStepsMaxCharacters = 1024; // UTF-16 units of the whole text
constexpr std::size_t kStepsMaxCount = 256;
constexpr std::uint16_t kWaitMinMs = 1;
constexpr std::uint16_t kWaitMaxMs = 10000;

// Why a text is not steps.
struct StepsError {
    int step = 0;         // 1 for the first step; 0: the text as a whole
    std::string stepText; // the step as written, spaces around it taken off
    std::string reason;   // `there is no key named "Foo"`: no capital, no full stop
};

struct StepsParse {
    Steps steps;
    std::optional<StepsError> error; // set: `steps` is empty
    bool Ok() const { return !error.has_value(); }
};

// The steps of UTF-8 `text`. An empty text, or spaces alone, is no steps.
StepsParse ParseSteps(std::string_view text);

// The text form of `steps`, steps joined by ", ".
std::string PrintSteps(const Steps& steps);

// The message for an error, as the editor shows it: `Step 2, "Ctrl+Foo": there is no key named "Foo".`,
// or for the text as a whole `The steps are longer than 1024 characters.`
std::string DescribeStepsError(const StepsError& error);

// One key chord as a step writes it ("Ctrl+Shift+S"), and the reading of one. Keysets written as text
// name keys this way too.
std::string PrintKeyChord(const KeyChord& chord);
// The chord `text` names; nothing, with the reason in `reason`, when it names none.
std::optional<KeyChord> ParseKeyChord(std::string_view text, std::string& reason);

// The name of one key as a step writes it ("Comma", "Page Up", "Key 255" for a code no name reads back
// to), and the key a name reads as (nothing: no key has that name).
std::string StepKeyName(std::uint8_t vk);
std::optional<std::uint8_t> StepKeyCode(std::string_view name);

} // namespace qvl
