#include "editor/app/keyset_text_words.h"

#include "editor/app/assignment_form.h"

#include <cctype>
#include <cstdio>

namespace qvl::keyset_text {

const char* const kControlWords[kControlCount] = {"Play",   "Stop",       "Fast Forward", "Rewind",
                                                  "Record", "Wheel Left", "Wheel Right"};

namespace {

// A transport key's mouse actions as the overview names them (1 and 2 are the panel's list too).
constexpr const char* kClickWords[] = {"", "Left click", "Right click", "Alternate Wheel Selector"};
constexpr int kClickWordCount = 4;
// The flags in the order of their bits, as the overview's prefixes name them.
constexpr const char* kFlagWords[] = {"Ctl", "Alt", "Shft"};

bool IsHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

int HexValue(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                       : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

void Append(std::vector<QuotedPiece>& pieces, bool bytes, char c) {
    if (pieces.empty() || pieces.back().bytes != bytes)
        pieces.push_back(QuotedPiece{bytes, std::string()});
    pieces.back().text += c;
}

} // namespace

std::string MouseWord(bool wheel, int mode) {
    if (mode <= 0)
        return "";
    if (wheel)
        return mode < kEmulationItemCount ? kEmulationItems[mode] : "";
    return mode < kClickWordCount ? kClickWords[mode] : "";
}

std::optional<std::int16_t> MouseMode(bool wheel, std::string_view word) {
    const std::string folded = FoldedName(word);
    for (int mode = 0; mode < (wheel ? kEmulationItemCount : kClickWordCount); ++mode) {
        const std::string listed = mode == 0 ? "none" : FoldedName(MouseWord(wheel, mode));
        // The panel's own list names the clicks "Left Mouse Click" and "Right Mouse Click".
        const bool listItem = !wheel && mode < kClickItemCount && FoldedName(kClickItems[mode]) == folded;
        if (listed == folded || listItem)
            return static_cast<std::int16_t>(mode);
    }
    const std::string_view number = TrimSpaces(word);
    long value = 0;
    std::size_t at = number.size() > 0 && number[0] == '-' ? 1 : 0;
    if (at == number.size() || number.size() > 6)
        return std::nullopt;
    for (; at < number.size(); ++at) {
        if (!std::isdigit(static_cast<unsigned char>(number[at])))
            return std::nullopt;
        value = value * 10 + (number[at] - '0');
    }
    value = number[0] == '-' ? -value : value;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string MouseWords(bool wheel) {
    std::string words;
    const int count = wheel ? kEmulationItemCount : kClickWordCount;
    for (int mode = 1; mode < count; ++mode)
        words += "\"" + MouseWord(wheel, mode) + "\"" + (mode + 2 < count ? ", " : mode + 1 < count ? " or " : "");
    return words;
}

std::string FlagWords(std::int16_t flagCode) {
    if (flagCode < 1 || flagCode > 7)
        return "";
    const AssignmentFlags flags = FlagsFromCode(flagCode);
    const bool set[] = {flags.a, flags.b, flags.c};
    std::string words;
    for (int flag = 0; flag < 3; ++flag)
        if (set[flag])
            words += (words.empty() ? "" : "+") + std::string(kFlagWords[flag]);
    return words;
}

std::optional<std::int16_t> FlagCode(std::string_view words) {
    bool set[3] = {false, false, false};
    for (std::size_t start = 0; start <= words.size();) {
        std::size_t plus = words.find('+', start);
        if (plus == std::string_view::npos)
            plus = words.size();
        const std::string word = FoldedName(words.substr(start, plus - start));
        int flag = 0;
        while (flag < 3 && FoldedName(kFlagWords[flag]) != word)
            ++flag;
        if (flag == 3 || set[flag])
            return std::nullopt;
        set[flag] = true;
        start = plus + 1;
    }
    return CodeFromFlags(AssignmentFlags{set[0], set[1], set[2]});
}

bool UsuallyExtended(std::uint16_t vk) {
    return vk == 3 || (vk >= 33 && vk <= 40) || (vk >= 44 && vk <= 46) || (vk >= 91 && vk <= 93) || vk == 95 ||
           vk == 111 || vk == 144 || (vk >= 166 && vk <= 183);
}

std::string Quoted(std::string_view bytes, bool beyondAscii) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte == 0x7F || (beyondAscii && byte >= 0x80)) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::optional<std::vector<QuotedPiece>> Unquoted(std::string_view value, std::string& reason) {
    value = TrimSpaces(value);
    if (value.size() < 2 || value.front() != '"') {
        reason = "must be a text in double quotes";
        return std::nullopt;
    }
    std::vector<QuotedPiece> pieces;
    std::size_t at = 1;
    for (; at < value.size() && value[at] != '"'; ++at) {
        if (value[at] != '\\') {
            Append(pieces, false, value[at]);
        } else if (at + 1 < value.size() && (value[at + 1] == '"' || value[at + 1] == '\\')) {
            Append(pieces, false, value[++at]);
        } else if (at + 3 < value.size() && value[at + 1] == 'x' && IsHex(value[at + 2]) && IsHex(value[at + 3])) {
            const int byte = HexValue(value[at + 2]) * 16 + HexValue(value[at + 3]);
            if (byte == 0) {
                reason = "cannot hold \\x00";
                return std::nullopt;
            }
            Append(pieces, byte >= 0x80, static_cast<char>(byte));
            at += 3;
        } else {
            reason = "has a backslash that is not followed by \", \\ or x and two hexadecimal digits";
            return std::nullopt;
        }
    }
    if (at + 1 != value.size()) {
        reason = at >= value.size() ? "has no closing quote" : "has more after its closing quote";
        return std::nullopt;
    }
    return pieces;
}

std::size_t SeparatorAt(std::string_view line, std::size_t start, char separator) {
    bool quoted = false;
    for (std::size_t at = start; at < line.size(); ++at) {
        if (quoted && line[at] == '\\')
            ++at;
        else if (line[at] == '"')
            quoted = !quoted;
        else if (!quoted && line[at] == separator)
            return at;
    }
    return line.size();
}

std::vector<std::string_view> SplitFields(std::string_view fields) {
    std::vector<std::string_view> split;
    for (std::size_t start = 0; start <= fields.size();) {
        const std::size_t end = SeparatorAt(fields, start, ';');
        const std::string_view field = TrimSpaces(fields.substr(start, end - start));
        start = end + 1;
        if (!field.empty())
            split.push_back(field);
    }
    return split;
}

} // namespace qvl::keyset_text
