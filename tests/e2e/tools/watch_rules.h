// What the watcher does with a dialog: rules from its command line, matched against what it read of
// the dialog. One rule is one argument, fields separated by ';' ("\;" is a literal semicolon):
//
//   caption=PATTERN   the dialog's caption        ('*' matches any run of characters; case counts)
//   text=PATTERN      its static texts, joined with line breaks
//   process=PATTERN   the file name of the program that shows it ("qvl2rs.exe"; case does not count)
//   button=TEXT       it has a button with this text ('&' and case do not count)
//   fill=ID:TEXT      set the text of control ID (an edit, or a combo box's edit)
//   select=ID:TEXT    select the entry of combo box ID that starts with TEXT
//   check=ID:0|1      set check box ID
//   press=TEXT|#ID    press the button with this text, or with this id
//   times=N           use the rule for at most N dialogs
//
// Match fields left out match anything; a rule with none is a default. Actions run in the order
// fill, select, check, press. A rule without actions only names a dialog to leave alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl::e2e {

struct DialogControl {
    int id = 0;
    std::string className;
    std::string text;
    bool visible = true;
};

struct DialogInfo {
    std::string caption;
    std::string process;
    std::vector<DialogControl> controls;

    // The texts of the visible static controls that have one, in child order, joined with "\n".
    std::string StaticText() const;
    // The visible buttons, in child order (a dialog template may hold hidden ones it does not use).
    std::vector<const DialogControl*> Buttons() const;
};

// A button named by its text or, after '#', by its id.
struct ControlRef {
    std::optional<int> id;
    std::string text;
};

struct ControlText {
    int id = 0;
    std::string text;
};

struct WatchRule {
    std::string caption;
    std::string text;
    std::string process;
    std::string button;
    std::vector<ControlText> fills;
    std::vector<ControlText> selects;
    std::vector<ControlText> checks; // text "0" or "1"
    std::optional<ControlRef> press;
    int times = 0; // 0: no limit
};

// The rule one argument describes; nothing, with the reason in `error`, when it is malformed.
std::optional<WatchRule> ParseWatchRule(std::string_view text, std::string& error);

// '*' matches any run of characters, everything else itself.
bool WildcardMatch(std::string_view pattern, std::string_view text, bool ignoreCase = false);

// Button texts compare without their '&' mnemonic markers and without regard to case.
bool ButtonTextMatches(std::string_view wanted, std::string_view buttonText);

bool RuleMatches(const WatchRule& rule, const DialogInfo& dialog);

// The id of the visible button `ref` names, when the dialog has it.
std::optional<int> FindButton(const DialogInfo& dialog, const ControlRef& ref);

} // namespace qvl::e2e
