// One rule decides whether two keyset names are one: the editor's name check, the registry sync and
// the driver's match of a program to its keyset all answer alike.
#include "driver_rig.h"
#include "keyset_ui_script.h"

#include "editor/app/keyset_commands.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

// Lower case as in a Turkish locale, where "I" becomes the dotless "\xFD", while the registry folds
// key names alike in every locale. By the old rule (lower case on both sides) "WINAMP" and "winamp"
// were two keysets, which the registry then kept in one subkey.
class TurkishLowerCase final : public TextCase {
public:
    std::string Lower(const std::string& text) const override {
        std::string lower = AsciiCase().Lower(text);
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == 'I')
                lower[i] = '\xFD';
        return lower;
    }
    std::string Fold(const std::string& name) const override { return AsciiCase().Fold(name); }
};

TEST(NameRule, TheEditorTheRegistryAndTheDriverTakeTwoNamesForOneAlike) {
    const struct {
        const char* keyset;
        const char* other;
        bool same;
        bool sameByTheOldRule;
    } rows[] = {{"winamp", "WINAMP", true, false}, {"notepad", "NotePad", true, true}, {"wave", "waves", false, false}};
    const TurkishLowerCase rule;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.other);
        EXPECT_EQ(rule.Lower(row.keyset) == rule.Lower(row.other), row.sameByTheOldRule);
        fakes::DriverRig driver;
        driver.AddKeyset(row.keyset);
        CControlDispatcher dispatcher(driver.store, driver.keysets, driver.desktop, driver.processes, rule,
                                      driver.input, driver.pointer, driver.question);
        driver.Run(row.other, 7);
        dispatcher.TrackForeground();
        EXPECT_EQ(driver.store.GetCurrentIndex(), row.same ? 1 : 0) << "the driver";

        fakes::ScriptedKeysetUi ui;
        fakes::FakeKeysetWatch watch(driver.registry);
        KeysetCommands editor(driver.shared, driver.names, KeysetStorage{driver.registry, driver.lock, rule, watch}, ui,
                              rule);
        CKeysetStore& store = editor.NewDocument();
        KeysetRecord record;
        InitKeyset(record, row.keyset, 0, driver.names);
        store.Add(record);
        EXPECT_EQ(editor.FindSameTarget(row.other), row.same ? std::optional<int>(1) : std::nullopt) << "the editor";
        InitKeyset(record, row.other, 0, driver.names);
        store.Add(record);
        editor.SaveKeysets();
        EXPECT_EQ(driver.registry.Subkeys(kKeysetsKeyPath).size(), row.same ? 2u : 3u) << "the registry";
    }
}

} // namespace
} // namespace qvl
