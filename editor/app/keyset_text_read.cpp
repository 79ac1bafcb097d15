// Reading keysets written as text: line by line, each line the form's first line, a comment, a blank, a
// "Keyset:" line, a "Rule:" line or an assignment; the first fault refuses the whole text.
#include "editor/app/keyset_text.h"
#include "editor/app/keyset_text_fields.h"
#include "editor/app/keyset_text_words.h"
#include "model/keyset_registry.h"
#include "model/utf_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace qvl {

using namespace keyset_text;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeaderStart = "quorvel2keysets,"; // folded

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool Utf16Marked(std::string_view bytes) {
    return StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF");
}

// The line that begins at `start`, without its line end; `next` is where the next one begins.
std::string_view LineAt(std::string_view text, std::size_t start, std::size_t& next) {
    std::size_t end = text.find('\n', start);
    next = end == std::string_view::npos ? text.size() : end + 1;
    end = end == std::string_view::npos ? text.size() : end;
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool Ignored(std::string_view line) {
    line = TrimSpaces(line);
    return line.empty() || line.front() == '#';
}

std::string Capitalized(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

class Reader {
public:
    explicit Reader(const CodePage& codePage) : codePage_(codePage) {}
    KeysetTextRead Read(std::string_view text);

private:
    bool Line(std::string_view line);
    bool Header(std::string_view line);
    bool KeysetLine(std::string_view value);
    bool RuleLine(std::string_view fields);
    bool AssignmentLine(std::string_view head, std::string_view fields);
    bool Slot(std::string_view head, int& bank, int& control);
    // Refuse the text at the current line: `reason` about the line, or about the thing `head` names.
    bool Fail(const std::string& reason, std::string_view head = {});

    const CodePage& codePage_;
    int line_ = 0;
    bool headerRead_ = false;
    std::vector<TextKeyset> keysets_;
    int ruleLine_ = 0;                                    // of the current keyset; 0: none yet
    std::array<int, kBankCount * kControlCount> given_{}; // the line of each assignment of the current keyset
    KeysetTextRead result_;
};

bool Reader::Fail(const std::string& reason, std::string_view head) {
    result_.line = line_;
    result_.error = "Line " + std::to_string(line_) + ": " +
                    (head.empty() ? Capitalized(reason) : "\"" + std::string(TrimSpaces(head)) + "\": " + reason) + ".";
    return false;
}

KeysetTextRead Reader::Read(std::string_view text) {
    if (Utf16Marked(text)) {
        line_ = 1;
        Fail("the text is UTF-16; save it as UTF-8 (in Notepad: Save As, Encoding UTF-8)");
        return result_;
    }
    if (StartsWith(text, kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    for (std::size_t start = 0, next = 0; start < text.size() || line_ == 0; start = next) {
        ++line_;
        if (!Line(LineAt(text, start, next)))
            return result_;
    }
    if (keysets_.empty()) {
        Fail(headerRead_
                 ? "the text holds no keyset (a keyset begins with a line \"Keyset: \"name\"\")"
                 : "the text is empty; keysets as text begin with the line \"" + std::string(kKeysetTextHeader) + "\"");
        return result_;
    }
    result_.keysets = std::move(keysets_);
    return result_;
}

bool Reader::Line(std::string_view line) {
    if (!Utf16FromUtf8(line))
        return Fail("the line is not UTF-8 text; save the file as UTF-8 (in Notepad: Save As, Encoding UTF-8)");
    if (line.find('\0') != std::string_view::npos)
        return Fail("the line holds a NUL character");
    if (Ignored(line))
        return true;
    if (!headerRead_)
        return Header(line);
    const std::size_t colon = SeparatorAt(line, 0, ':');
    if (colon == line.size())
        return Fail("this is neither a \"Keyset:\" line, a \"Rule:\" line nor an assignment (\"Option Bank, Play: "
                    "key Ctrl+Home\")");
    const std::string_view head = line.substr(0, colon);
    const std::string_view rest = line.substr(colon + 1);
    const std::string folded = FoldedName(head);
    if (folded == FoldedName(kKeysetHead))
        return KeysetLine(rest);
    if (keysets_.empty())
        return Fail("\"" + std::string(TrimSpaces(head)) + "\" comes before the first \"Keyset:\" line");
    if (folded == FoldedName(kRuleHead))
        return RuleLine(rest);
    return AssignmentLine(head, rest);
}

bool Reader::Header(std::string_view line) {
    const std::string folded = FoldedName(line);
    const std::string expected = "keysets as text begin with the line \"" + std::string(kKeysetTextHeader) + "\"";
    if (!StartsWith(folded, kHeaderStart) || !StartsWith(folded.substr(kHeaderStart.size()), "version"))
        return Fail(expected);
    const std::string number = folded.substr(kHeaderStart.size() + 7);
    int version = 0;
    for (const char c : number) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || version > 100000)
            return Fail(expected);
        version = version * 10 + (c - '0');
    }
    if (number.empty() || version < 1)
        return Fail(expected);
    if (version > kKeysetTextVersion)
        return Fail("these keysets were written by a later QVL2, in version " + std::to_string(version) +
                    " of keysets as text; this QVL2 reads version " + std::to_string(kKeysetTextVersion));
    headerRead_ = true;
    return true;
}

bool Reader::KeysetLine(std::string_view value) {
    if (keysets_.size() == kKeysetTextMaxKeysets)
        return Fail("the text holds more than " + std::to_string(kKeysetTextMaxKeysets) + " keysets");
    std::string reason;
    const std::optional<std::string> name =
        CodePageValue(value, sizeof(AppPref::appName) - 1, "keyset's name", codePage_, reason);
    if (!name)
        return Fail(reason, kKeysetHead);
    if (!IsStorableKeysetName(*name))
        return Fail(name->empty() ? "the keyset's name is empty" : "a keyset's name cannot hold a backslash",
                    kKeysetHead);
    keysets_.emplace_back();
    TextKeyset& keyset = keysets_.back();
    std::memset(&keyset.record.header, 0, sizeof keyset.record.header);
    CopyToField(keyset.record.header.appName, name->c_str());
    for (BankRecord& bank : keyset.record.banks)
        for (ControlAssignment& assignment : bank.controls)
            InitAssignment(assignment);
    ruleLine_ = 0;
    given_.fill(0);
    return true;
}

bool Reader::RuleLine(std::string_view fields) {
    if (ruleLine_ != 0)
        return Fail("the keyset has a rule already, on line " + std::to_string(ruleLine_), kRuleHead);
    ruleLine_ = line_;
    WindowRule& rule = keysets_.back().rule;
    bool given[kRuleFieldCount] = {};
    const char* const names[kRuleFieldCount] = {"program", "title", "class"};
    for (const std::string_view field : SplitFields(fields)) {
        const std::size_t quote = field.find('"');
        const std::string name = FoldedName(field.substr(0, quote));
        int n = 0;
        while (n < kRuleFieldCount && name != names[n])
            ++n;
        if (n == kRuleFieldCount)
            return Fail("a rule has no field \"" + std::string(TrimSpaces(field.substr(0, quote))) +
                            "\"; its fields are program, title and class",
                        kRuleHead);
        if (given[n])
            return Fail("the field \"" + name + "\" is given twice", kRuleHead);
        given[n] = true;
        std::string reason;
        const std::optional<std::string> text =
            CodePageValue(field.substr(std::min(quote, field.size())), kRuleFieldMax, names[n], codePage_, reason);
        if (!text)
            return Fail(reason, kRuleHead);
        RuleField(rule, n) = *text;
    }
    return true;
}

bool Reader::Slot(std::string_view head, int& bank, int& control) {
    const std::size_t comma = head.find(',');
    if (comma == std::string_view::npos)
        return Fail("an assignment names its bank and its control before the colon (\"Option Bank, Play:\")", head);
    const std::string bankName = FoldedName(head.substr(0, comma));
    const std::string controlName = FoldedName(head.substr(comma + 1));
    for (bank = 0; bank < kBankCount && FoldedName(kBankKeyNames[bank]) != bankName; ++bank) {
    }
    if (bank == kBankCount)
        return Fail("there is no bank \"" + std::string(TrimSpaces(head.substr(0, comma))) +
                        "\"; the banks are MainBank, Option Bank, Shift Bank and Option+Shift Bank",
                    head);
    for (control = 0; control < kControlCount && FoldedName(kControlWords[control]) != controlName; ++control) {
    }
    if (control == kControlCount)
        return Fail("there is no control \"" + std::string(TrimSpaces(head.substr(comma + 1))) +
                        "\"; the controls are Play, Stop, Fast Forward, Rewind, Record, Wheel Left and Wheel Right",
                    head);
    return true;
}

bool Reader::AssignmentLine(std::string_view head, std::string_view fields) {
    int bank = 0, control = 0;
    if (!Slot(head, bank, control))
        return false;
    int& given = given_[static_cast<std::size_t>(bank * kControlCount + control)];
    if (given != 0)
        return Fail("the assignment is given a second time (first on line " + std::to_string(given) + ")", head);
    given = line_;
    TextKeyset& keyset = keysets_.back();
    AssignmentSteps steps;
    FieldTarget target{AssignmentAt(keyset.record, bank, control), steps, IsWheelControl(control), codePage_, {}};
    std::vector<bool> seen;
    for (const std::string_view field : SplitFields(fields)) {
        // A field's name is its words before a quoted text, else its first word.
        const std::size_t split =
            field.find('"') != std::string_view::npos ? field.find('"') : field.find_first_of(" \t");
        const std::string name = FoldedName(field.substr(0, split));
        const std::string_view value = split == std::string_view::npos ? std::string_view() : field.substr(split);
        std::string reason;
        std::size_t index = 0;
        if (!ReadField(name, value, target, index, reason))
            return Fail(reason, head);
        seen.resize(std::max(seen.size(), index + 1));
        if (seen[index])
            return Fail("the field \"" + std::string(TrimSpaces(field.substr(0, split))) + "\" is given twice", head);
        seen[index] = true;
    }
    std::string reason;
    if (!FinishFields(target, reason))
        return Fail(reason, head);
    keyset.steps.Set(bank, control, steps);
    return true;
}

} // namespace

bool IsKeysetText(std::string_view bytes) {
    if (Utf16Marked(bytes))
        return true;
    if (StartsWith(bytes, kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    if (StartsWith(bytes, "QVL2") || StartsWith(bytes, "QVLX"))
        return false;
    for (std::size_t start = 0, next = 0; start < bytes.size(); start = next) {
        const std::string_view line = LineAt(bytes, start, next);
        if (!Ignored(line))
            return StartsWith(FoldedName(line), kHeaderStart) || bytes.find('\0') == std::string_view::npos;
    }
    return bytes.find('\0') == std::string_view::npos;
}

KeysetTextRead ReadKeysetText(std::string_view bytes, const CodePage& codePage) {
    Reader reader(codePage);
    return reader.Read(bytes);
}

} // namespace qvl
