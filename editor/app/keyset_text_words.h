// The words of keysets written as text that their reader and writer share: the controls' names, the
// mouse actions, the flags, the keys that are extended by nature, and quoted texts.
#pragma once

#include "model/keyset_record.h"
#include "model/steps.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl::keyset_text {

// Field names of an assignment line, of a rule line and the heads of the lines.
constexpr const char* kKeysetHead = "Keyset";
constexpr const char* kRuleHead = "Rule";

// The controls in slot order ("Play", ..., "Wheel Left", "Wheel Right"); the banks are kBankKeyNames.
extern const char* const kControlWords[kControlCount];

// The mouse action `mode` of a transport key ("Left click") or of the wheel ("Horizontal Drag"); empty
// when the editor has no word for it (it is then written as its number). And the mode a word or a number
// names; nothing when it names none.
std::string MouseWord(bool wheel, int mode);
std::optional<std::int16_t> MouseMode(bool wheel, std::string_view word);
// The words of the mouse actions of one kind of control, for a message ("Left click", "Right click", ...).
std::string MouseWords(bool wheel);

// The flags of `flagCode` as the overview names them ("Ctl+Alt"); empty for none (0, the default 128, any
// code beyond 7). And the code the words name; nothing when they name none.
std::string FlagWords(std::int16_t flagCode);
std::optional<std::int16_t> FlagCode(std::string_view words);

// Whether the hot-key control marks key `vk` as an extended key when it is pressed (the arrows, Insert,
// Delete, Home, End, Page Up and Down, Num /, Num Lock, the Windows and application keys, ...).
bool UsuallyExtended(std::uint16_t vk);

// `bytes` in double quotes: " and \ after a backslash, control characters as \xHH, and with
// `beyondAscii` every byte from 0x80 as \xHH too (bytes that are no characters).
std::string Quoted(std::string_view bytes, bool beyondAscii);

// A quoted text read back: runs of characters (UTF-8) and of bytes given as \x80 to \xFF, in order.
struct QuotedPiece {
    bool bytes = false;
    std::string text;
};
// The pieces of `value`, which must be one quoted text and nothing else; nothing, with `reason`, when it
// is not (a reason reads after the text's name: "has no closing quote").
std::optional<std::vector<QuotedPiece>> Unquoted(std::string_view value, std::string& reason);

// Where the field or head that begins at `start` of `line` ends: the next `separator` outside quotes,
// or the end.
std::size_t SeparatorAt(std::string_view line, std::size_t start, char separator);
// The fields of an assignment or rule line: split at each ';' outside quotes, trimmed, empty ones left out.
std::vector<std::string_view> SplitFields(std::string_view fields);

} // namespace qvl::keyset_text
