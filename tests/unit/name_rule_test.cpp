// One rule decides whether two keyset names are one: the editor's name check, the registry sync and
// the driver's match of a program to its keyset answer alike.
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
            lower[i] = text[i] == 'I' ? '\xFD' : lower[i];
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
        fakes::DriverRig rig;
        rig.AddKeyset(row.keyset);
        CControlDispatcher driver(rig.store, rig.keysets, rig.desktop, rig.processes, rule, rig.player, rig.pointer,
                                  rig.question);
        rig.Run(row.other, 7);
        driver.TrackForeground();
        EXPECT_EQ(rig.store.GetCurrentIndex(), row.same ? 1 : 0) << "the driver";

        fakes::ScriptedKeysetUi ui;
        fakes::FakeKeysetWatch watch(rig.registry);
        KeysetCommands editor(rig.shared, rig.names, KeysetStorage{rig.registry, rig.lock, rule, watch}, ui, rule);
        editor.NewDocument();
        editor.FinishLoad();
        editor.Store()->Add(*rig.store.GetKeyset(1));
        EXPECT_EQ(editor.FindSameTarget(row.other).has_value(), row.same) << "the editor";
        KeysetRecord other;
        InitKeyset(other, row.other, 0, rig.names);
        editor.Store()->Add(other);
        editor.SaveKeysets();
        EXPECT_EQ(rig.registry.Subkeys(kKeysetsKeyPath).size(), row.same ? 2u : 3u) << "the registry";
    }
}

} // namespace
} // namespace qvl
