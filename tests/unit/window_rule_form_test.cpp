#include "ascii_text_case.h"
#include "commands_rig.h"
#include "fake_registry.h"
#include "keyset_ui_script.h"

#include "editor/app/keyset_commands.h"
#include "editor/app/window_rule_form.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <regex>

namespace qvl {
namespace {

// The system's windows as a list the test writes.
struct ListedWindows final : OpenWindows {
    std::vector<OpenWindow> windows;
    std::vector<OpenWindow> List() override { return windows; }
};

struct FormRig : CommandsParts {
    ListedWindows windows;
    WindowRuleForm form{commands, windows};

    // "Default" and "browser - Video", the latter current; the registry's journal emptied.
    FormRig() {
        shared.Create();
        commands.NewDocument();
        commands.FinishLoad();
        KeysetRecord record;
        InitKeyset(record, "browser - Video", 0, names);
        commands.AddOrReplace(record);
        commands.SetCurrent(1);
        shared.SetKeysetsChanged(0);
        registry.journal.clear();
    }
    std::string Stored(const char* value) const {
        const std::optional<fakes::Bytes> bytes =
            registry.Value(std::string(kKeysetsKeyPath) + "\\browser - Video", value);
        return bytes ? std::string(bytes->begin(), bytes->end()) : "(none)";
    }
};

// What the list offers, what a click fills in, and what OK stores: the rule's values beside the
// keyset's, written with the save's own values only, the driver told, the menu naming the rule.
TEST(WindowRuleForm, ListsTheWindowsARuleCanNamePicksOneAndStoresTheRule) {
    FormRig rig;
    const std::string longTitle = "Video - " + std::string(300, 'x');
    rig.windows.windows = {
        {"Browser.EXE", longTitle, "BrowserFrame", true, false},
        {"hidden.exe", "Hidden", "Frame", false, false},
        {"untitled.exe", "", "Frame", true, false},
        {"QVL2.exe", "Window Rule", "#32770", true, true},
        {"mail.exe", "Inbox", "MailFrame", true, false},
    };
    ASSERT_TRUE(rig.form.Begin());
    ASSERT_EQ(rig.form.Rows().size(), 2u);
    EXPECT_EQ(WindowRuleForm::RowText(rig.form.Rows()[1]), "mail.exe\tInbox\tMailFrame");
    rig.form.Pick(0);
    EXPECT_EQ(rig.form.rule, (WindowRule{"Browser", longTitle.substr(0, kRuleFieldMax), "BrowserFrame"}));

    // The user keeps the program, shortens the title and clears the class.
    rig.form.rule = WindowRule{"browser", "Video", ""};
    ASSERT_TRUE(rig.form.Store()->Done());
    EXPECT_EQ(rig.Stored(kMatchProgramValueName), std::string("browser") + '\0');
    EXPECT_EQ(rig.Stored(kMatchTitleValueName), std::string("Video") + '\0');
    EXPECT_EQ(rig.Stored(kMatchClassValueName), "(none)");
    for (const std::string& entry : rig.registry.journal) // nothing but the rule and the save's own values
        EXPECT_TRUE(entry.rfind("write", 0) != 0 || std::regex_search(entry, std::regex(":(Match|Generation|Changes)")))
            << entry;
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
    EXPECT_EQ(rig.ui.menu, (std::vector<std::string>{"Default", "browser - Video  [title: Video]"}));
}

// "Default" has no rule to edit; a save the registry refuses is told once, as every failed save.
TEST(WindowRuleForm, DefaultHasNoRuleAndARefusedSaveIsToldOnce) {
    FormRig rig;
    rig.commands.SetCurrent(0);
    EXPECT_FALSE(rig.commands.CanEditRule());
    EXPECT_FALSE(rig.form.Begin());
    rig.commands.SetCurrent(1);
    ASSERT_TRUE(rig.form.Begin());
    rig.registry.FailWrite(kMatchTitleValueName);
    rig.form.rule.title = "Video";
    EXPECT_FALSE(rig.form.Store()->Done());
    EXPECT_FALSE(rig.form.Store()->Done());
    EXPECT_EQ(rig.ui.told, std::vector<std::string>{"62030:error 5"});
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
}

// The list rewritten while the dialog is open (another writer's keyset comes first, or the keyset goes):
// the rule lands on the keyset the dialog was opened for, or nowhere.
TEST(WindowRuleForm, TheRuleGoesToTheKeysetItWasOpenedForOrNowhereWhenItIsGone) {
    for (const bool gone : {false, true}) {
        FormRig rig;
        ASSERT_TRUE(rig.form.Begin());
        CKeysetStore& store = *rig.commands.Store();
        KeysetRecord alpha;
        InitKeyset(alpha, "alpha", 0, rig.names);
        if (gone)
            store.RemoveAt(1);
        store.InsertAt(1, alpha);
        rig.form.rule.title = "Video";
        const std::optional<StoreResult> stored = rig.form.Store();
        EXPECT_EQ(stored.has_value(), !gone);
        EXPECT_EQ(store.GetRule(1), WindowRule()) << "alpha keeps no rule";
        EXPECT_EQ(store.GetRule(2).title, gone ? "" : "Video");
        EXPECT_EQ(rig.Stored(kMatchTitleValueName), gone ? "(none)" : std::string("Video") + '\0');
        EXPECT_EQ(rig.shared.GetKeysetsChanged(), gone ? 0 : 1);
    }
}

} // namespace
} // namespace qvl
