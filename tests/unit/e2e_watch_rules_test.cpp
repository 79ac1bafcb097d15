// The dialog watcher's rules: how they are read from the command line and which dialog each one
// answers. A wrong match here presses a button nobody asked for in a scenario.
#include "watch_options.h"
#include "watch_rules.h"

#include <gtest/gtest.h>

namespace qvl::e2e {
namespace {

DialogInfo MessageBoxDialog(const std::string& caption, const std::string& text) {
    DialogInfo box;
    box.caption = caption;
    box.process = "QVL2rs.exe";
    box.controls = {
        {1088, "Static", "", true},    {6, "Button", "&Yes", true},   {7, "Button", "&No", true},
        {2, "Button", "Cancel", true}, {65535, "Static", text, true}, {1040, "Button", "&Help", false},
    };
    return box;
}

WatchRule Rule(const std::string& text) {
    std::string error;
    std::optional<WatchRule> rule = ParseWatchRule(text, error);
    EXPECT_TRUE(rule) << text << ": " << error;
    return rule.value_or(WatchRule{});
}

struct WildcardRow {
    const char* pattern;
    const char* text;
    bool ignoreCase;
    bool matches;
};
const WildcardRow kWildcardRows[] = {
    {"", "", false, true},
    {"", "x", false, false},
    {"*", "", false, true},
    {"Test", "Test", false, true},
    {"Test", "test", false, false},
    {"Test", "test", true, true},
    {"Test", "Tests", false, false},
    {"*not open*", "The window \"Mix\" is not open. If this", false, true},
    {"Open*Editor", "Open QVL2 Editor", false, true},
    {"a*b*c", "aXbYbZc", false, true},
    {"a*b*c", "aXbYbZ", false, false},
    {"*.qvl", "x.qvl.bak", false, false},
    {"?", "?", false, true}, // only '*' is special: the system's texts hold question marks
    {"?", "x", false, false},
    {"**x", "abx", false, true},
};

TEST(WatchRules, WildcardMatch) {
    for (const WildcardRow& row : kWildcardRows) {
        EXPECT_EQ(WildcardMatch(row.pattern, row.text, row.ignoreCase), row.matches)
            << '"' << row.pattern << "\" against \"" << row.text << '"';
    }
}

TEST(WatchRules, ButtonTextsCompareWithoutMnemonicsOrCase) {
    EXPECT_TRUE(ButtonTextMatches("Yes", "&Yes"));
    EXPECT_TRUE(ButtonTextMatches("yes", "&Yes"));
    EXPECT_TRUE(ButtonTextMatches("Save", "&Save"));
    EXPECT_TRUE(ButtonTextMatches("Fish && Chips", "Fish && Chips"));
    EXPECT_FALSE(ButtonTextMatches("Fish & Chips", "Fish && Chips"));
    EXPECT_FALSE(ButtonTextMatches("No", "&Now"));
}

TEST(WatchRules, ParsesEveryField) {
    const WatchRule rule = Rule("caption=Save As;text=*exists*;process=qvl2.exe;button=Yes;fill=1148:Z:\\a\\x.qvl;"
                                "select=1136:COM3;check=1001:1;press=Yes;times=2");
    EXPECT_EQ(rule.caption, "Save As");
    EXPECT_EQ(rule.text, "*exists*");
    EXPECT_EQ(rule.process, "qvl2.exe");
    EXPECT_EQ(rule.button, "Yes");
    ASSERT_EQ(rule.fills.size(), 1u);
    EXPECT_EQ(rule.fills[0].id, 1148);
    EXPECT_EQ(rule.fills[0].text, "Z:\\a\\x.qvl"); // the first colon ends the id
    ASSERT_EQ(rule.selects.size(), 1u);
    EXPECT_EQ(rule.selects[0].text, "COM3");
    ASSERT_EQ(rule.checks.size(), 1u);
    EXPECT_EQ(rule.checks[0].text, "1");
    ASSERT_TRUE(rule.press);
    EXPECT_FALSE(rule.press->id);
    EXPECT_EQ(rule.press->text, "Yes");
    EXPECT_EQ(rule.times, 2);
}

TEST(WatchRules, SemicolonsAndEqualSignsInValues) {
    const WatchRule rule = Rule("text=a\\;b=c;press=#0x6");
    EXPECT_EQ(rule.text, "a;b=c");
    ASSERT_TRUE(rule.press && rule.press->id);
    EXPECT_EQ(*rule.press->id, 6);
    EXPECT_TRUE(Rule("").press == std::nullopt); // an empty rule is a default that leaves dialogs alone
}

TEST(WatchRules, RefusesMalformedFields) {
    const char* bad[] = {"caption",   "press=",  "press=#", "press=#x", "fill=12",    "fill=x:a",
                         "check=5:2", "check=5", "times=0", "times=-1", "colour=red", "select=70000:a"};
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(ParseWatchRule(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(WatchRules, MatchesOnEveryFieldGiven) {
    const DialogInfo box = MessageBoxDialog("Quorvel 2", "Delete the keyset \"wave\"?");
    EXPECT_TRUE(RuleMatches(Rule(""), box));
    EXPECT_TRUE(RuleMatches(Rule("caption=Quorvel 2"), box));
    EXPECT_FALSE(RuleMatches(Rule("caption=Quorvel"), box));
    EXPECT_TRUE(RuleMatches(Rule("text=Delete*"), box));
    EXPECT_FALSE(RuleMatches(Rule("caption=Quorvel 2;text=Import*"), box));
    EXPECT_TRUE(RuleMatches(Rule("process=qvl2rs.EXE"), box)); // file names fold case
    EXPECT_FALSE(RuleMatches(Rule("process=qvl2.exe"), box));
    EXPECT_TRUE(RuleMatches(Rule("button=no"), box));
    EXPECT_FALSE(RuleMatches(Rule("button=OK"), box));
    EXPECT_FALSE(RuleMatches(Rule("button=Help"), box)); // hidden buttons are not there for a user
}

TEST(WatchRules, StaticTextJoinsTheVisibleTexts) {
    DialogInfo dialog = MessageBoxDialog("x", "second");
    dialog.controls.insert(dialog.controls.begin(), DialogControl{1090, "static", "First", true});
    dialog.controls.push_back(DialogControl{1091, "Static", "hidden", false});
    EXPECT_EQ(dialog.StaticText(), "First\nsecond");
}

TEST(WatchRules, FindButtonByTextOrId) {
    const DialogInfo box = MessageBoxDialog("x", "y");
    EXPECT_EQ(FindButton(box, ControlRef{std::nullopt, "No"}), std::optional<int>(7));
    EXPECT_EQ(FindButton(box, ControlRef{std::nullopt, "cancel"}), std::optional<int>(2));
    EXPECT_EQ(FindButton(box, ControlRef{6, "#6"}), std::optional<int>(6));
    EXPECT_EQ(FindButton(box, ControlRef{std::nullopt, "OK"}), std::nullopt);
    EXPECT_EQ(FindButton(box, ControlRef{1088, "#1088"}), std::nullopt); // a static is no button
    EXPECT_EQ(FindButton(box, ControlRef{std::nullopt, "Help"}), std::nullopt);
}

TEST(WatchRules, ChooseRuleTakesTheFirstWithUsesLeft) {
    const std::vector<WatchRule> rules = {Rule("caption=Replace?;times=1;press=Yes"), Rule("caption=Replace?;press=No"),
                                          Rule("press=OK")};
    const DialogInfo replace = MessageBoxDialog("Replace?", "x");
    const DialogInfo other = MessageBoxDialog("Other", "x");
    std::vector<int> used(rules.size(), 0);
    EXPECT_EQ(ChooseRule(rules, used, replace), std::optional<std::size_t>(0));
    used[0] = 1;
    EXPECT_EQ(ChooseRule(rules, used, replace), std::optional<std::size_t>(1));
    used[1] = 50; // no limit
    EXPECT_EQ(ChooseRule(rules, used, replace), std::optional<std::size_t>(1));
    EXPECT_EQ(ChooseRule(rules, used, other), std::optional<std::size_t>(2));
    EXPECT_EQ(ChooseRule({rules[0]}, {1}, replace), std::nullopt);
}

TEST(WatchOptions, ReadsRulesAndTimes) {
    const char* argv[] = {"qvl_watch", "--log",       "Z:\\w.log",    "--rule=caption=A;press=OK",
                          "--rule",    "press=#2",    "--settle=250", "--poll",
                          "10",        "--stop-file", "Z:\\stop"};
    std::string error;
    const std::optional<WatchOptions> options =
        ParseWatchOptions(static_cast<int>(std::size(argv)), const_cast<char**>(argv), error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->logPath, "Z:\\w.log");
    ASSERT_EQ(options->rules.size(), 2u);
    EXPECT_EQ(options->rules[0].caption, "A");
    EXPECT_EQ(options->rules[1].press->id, std::optional<int>(2));
    EXPECT_EQ(options->settleMs, 250);
    EXPECT_EQ(options->pollMs, 10);
    EXPECT_EQ(options->stopFile, "Z:\\stop");
}

TEST(WatchOptions, NamesTheBadRule) {
    const char* argv[] = {"qvl_watch", "--log", "w.log", "--rule", "press=OK", "--rule", "press="};
    std::string error;
    EXPECT_FALSE(ParseWatchOptions(static_cast<int>(std::size(argv)), const_cast<char**>(argv), error));
    EXPECT_EQ(error.rfind("rule 2:", 0), 0u) << error;

    const char* noLog[] = {"qvl_watch", "--rule", "press=OK"};
    EXPECT_FALSE(ParseWatchOptions(3, const_cast<char**>(noLog), error));
    const char* badSettle[] = {"qvl_watch", "--log", "w.log", "--settle", "0"};
    EXPECT_FALSE(ParseWatchOptions(5, const_cast<char**>(badSettle), error));
}

} // namespace
} // namespace qvl::e2e
