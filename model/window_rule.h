// A keyset's window rule: which windows it serves beyond its program's name. A keyset without one
// serves every window of the program it is named after. With one, the rule may name the program (the
// keyset's name is then free, so several keysets can serve one program), ask that the window's title
// contain a text (ignoring case) and that its class be one name (ignoring case).
//
// The rule is stored beside the keyset's "AppPref" as up to three text values, which programs that do
// not know them ignore; an absent or empty value is no condition.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qvl {

class TextCase;

constexpr const char* kMatchProgramValueName = "MatchProgram";
constexpr const char* kMatchTitleValueName = "MatchTitle";
constexpr const char* kMatchClassValueName = "MatchClass";
// Each field of a rule holds at most this many characters; longer text is cut.
constexpr std::size_t kRuleFieldMax = 255;

struct WindowRule {
    std::string program;     // file name without ".exe"; empty: the keyset's own name
    std::string title;       // text the window's title contains; empty: any title
    std::string windowClass; // the window's class name; empty: any class

    bool Empty() const { return program.empty() && title.empty() && windowClass.empty(); }
    bool operator==(const WindowRule& other) const {
        return program == other.program && title == other.title && windowClass == other.windowClass;
    }
    bool operator!=(const WindowRule& other) const { return !(*this == other); }
};

// The three fields in stored order, with their value names, for code that walks them.
constexpr int kRuleFieldCount = 3;
extern const char* const kRuleValueNames[kRuleFieldCount];
std::string& RuleField(WindowRule& rule, int field);
const std::string& RuleField(const WindowRule& rule, int field);

// The rule with each field cut to kRuleFieldMax characters and at its first NUL.
WindowRule Bounded(WindowRule rule);

// The rule as short text for titles and menus ("title: Video, class: EditorFrame"); "" without one.
// The program is named only when the keyset's name does not begin with it.
std::string DescribeRule(const WindowRule& rule, const std::string& keysetName, const TextCase& textCase);

// The window in front as the choice sees it.
struct ForegroundWindow {
    std::string program; // file name without ".exe", as the system reports it
    std::string title;
    std::string windowClass;
};

// One keyset as the choice sees it: its name and its rule.
struct RuledKeyset {
    std::string name;
    WindowRule rule;
};

// The keyset chosen for a window and why: its index (0, "Default", when none matches) and the
// conditions its rule has beyond the program.
struct KeysetChoice {
    int index = 0;
    bool matched = false; // false: no keyset matched, "Default" serves
    bool byTitle = false;
    bool byClass = false;
};

// Matches a window against a list of keysets. The program comparison uses the one rule of keyset
// names (TextCase::Fold); title and class ignore case by the same rule. The keyset's folded program
// names are worked out once, so a choice per device event costs comparisons only.
class KeysetChooser {
public:
    explicit KeysetChooser(const TextCase& textCase) : textCase_(textCase) {}
    KeysetChooser(const KeysetChooser&) = delete;
    KeysetChooser& operator=(const KeysetChooser&) = delete;

    void SetKeysets(const std::vector<RuledKeyset>& keysets);
    // Whether some keyset asks about the title: only then is it worth reading at each event.
    bool NeedsTitle() const { return needsTitle_; }
    bool NeedsClass() const { return needsClass_; }
    // The most specific matching keyset: more conditions win, the first in the list among equals;
    // none: index 0 ("Default").
    KeysetChoice Choose(const ForegroundWindow& window) const;

private:
    struct Entry {
        std::string program; // folded
        std::string title;   // folded
        std::string windowClass;
        int conditions = 0;
    };
    const TextCase& textCase_;
    std::vector<Entry> entries_;
    bool needsTitle_ = false;
    bool needsClass_ = false;
};

// Why `choice` fell on its keyset, for the trace: `title "Video", class "Frame"`, `program "browser"`,
// or `no keyset for "notepad"`.
std::string DescribeChoice(const KeysetChoice& choice, const WindowRule& rule, const std::string& program);

} // namespace qvl
