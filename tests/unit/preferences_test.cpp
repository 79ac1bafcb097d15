#include "appbase/run_entry.h"
#include "editor/app/preferences.h"
#include "fake_registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace qvl {
namespace {

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run entry as the registry holds it, without its NUL; nothing when there is none.
std::optional<std::string> RunEntry(const fakes::FakeRegistry& registry) {
    const std::optional<fakes::Bytes> value = registry.Value(kRun, "qvl2rs");
    if (!value || value->empty())
        return std::nullopt;
    return std::string(value->begin(), value->end() - 1);
}

TEST(Preferences, TheDriversCommandLineIsTheEditorsFolderAndItsName) {
    EXPECT_EQ(DriverCommandLine("C:\\QVL2\\QVL2.exe"), "C:\\QVL2\\qvl2rs");
    EXPECT_EQ(DriverCommandLine("Z:\\work\\build\\win\\bin\\QVL2.exe"), "Z:\\work\\build\\win\\bin\\qvl2rs");
    EXPECT_EQ(DriverCommandLine("C:\\Program Files\\Vendrake\\QVL2.exe"), "\"C:\\Program Files\\Vendrake\\qvl2rs\"");
    EXPECT_EQ(DriverCommandLine("QVL2.exe"), "qvl2rs");
}

// The check box holds the Run entry as it really is after Close: written, removed, or left as it was
// by a registry that refused, which the result says.
TEST(Preferences, CloseWritesOrRemovesTheEntryAndTheRecordSaysWhatItIs) {
    // comPort follows COM1 to COM4 and stays for a higher port, for programs that read only "Prefs".
    struct Case {
        PreferencesChoice choice;
        bool fail;
        std::optional<std::string> entry;
        PrefsRecord prefs;
    };
    const Case cases[] = {
        {{3, 1}, false, "C:\\QVL2\\qvl2rs", {1, 2}},  {{1, 0}, false, std::nullopt, {0, 0}},
        {{4, 0}, true, "C:\\old\\qvl2rs", {1, 3}},    // not removed: still started with Windows
        {{4, 1}, true, "C:\\old\\qvl2rs", {0, 3}},    // not written: shown as not ticked
        {{12, 1}, false, "C:\\QVL2\\qvl2rs", {1, 1}}, // COM12: comPort stays COM2's
    };
    for (const Case& c : cases) {
        fakes::FakeRegistry registry;
        RunKeyEntry autostart(registry);
        ASSERT_TRUE(autostart.Write("C:\\old\\qvl2rs").Done());
        if (c.fail)
            registry.FailOpen(kRun);
        Preferences prefs;
        prefs.record.loadAtStart = 1;
        prefs.record.comPort = 1;
        prefs.port = 2;
        const StoreResult result = ApplyPreferences(c.choice, "C:\\QVL2\\QVL2.exe", autostart, prefs);
        EXPECT_EQ(result.Done(), !c.fail);
        EXPECT_EQ(result.error, c.fail ? registry.failCode : 0);
        EXPECT_EQ(RunEntry(registry), c.entry);
        EXPECT_EQ(prefs.record.loadAtStart, c.prefs.loadAtStart);
        EXPECT_EQ(prefs.record.comPort, c.prefs.comPort);
        EXPECT_EQ(prefs.port, c.choice.port);
    }
}

TEST(RunKeyEntry, WritesTheQuotedCommandLineAsTextAndRemovesItOverTheRegistryPort) {
    fakes::FakeRegistry registry;
    RunKeyEntry entry(registry);
    const std::string& run = kRun;
    ASSERT_TRUE(entry.Write("\"C:\\Program Files\\QVL2\\qvl2rs\"").Done());
    const std::string stored = "\"C:\\Program Files\\QVL2\\qvl2rs\"";
    EXPECT_EQ(registry.Value(run, "qvl2rs"), fakes::Bytes(stored.c_str(), stored.c_str() + stored.size() + 1));
    EXPECT_TRUE(entry.Remove().Done());
    EXPECT_TRUE(entry.Remove().Done()) << "a missing entry is no error";
    EXPECT_EQ(registry.journal.back(), "delete " + run + ":qvl2rs");
    EXPECT_EQ(registry.journal.end()[-2], "write text " + run + ":qvl2rs");
    EXPECT_EQ(registry.OpenHandles(), 0u);
    registry.FailOpen(run);
    EXPECT_FALSE(entry.Write("qvl2rs").Done());
    EXPECT_FALSE(entry.Remove().Done());
}

} // namespace
} // namespace qvl
