#include "ascii_text_case.h"
#include "commands_rig.h"
#include "fake_registry.h"
#include "keyset_ui_script.h"
#include "scratch_folder.h"

#include "editor/app/keyset_commands.h"
#include "model/keyset_file.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace qvl {
namespace {

using fakes::Bytes;

const std::string kKeysets = kKeysetsKeyPath;

KeysetRecord Keyset(const char* name) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    return record;
}

// A keyset whose assignments say where they came from: every Play in every bank sends `key`.
KeysetRecord Marked(const char* name, std::uint16_t key) {
    KeysetRecord record = Keyset(name);
    for (BankRecord& bank : record.banks)
        bank.controls[kPlay].hotKeyVk = key;
    return record;
}

template <typename T> Bytes BytesOf(const T& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    return Bytes(p, p + sizeof value);
}

bool SameBytes(const KeysetRecord& a, const KeysetRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct CommandsRig : CommandsParts {
    testing::ScratchFolder folder;

    CommandsRig() { shared.Create(); }

    // Start as the editor does, with `stored` in the registry beforehand (index 0 should be "Default").
    CKeysetStore& Start(const std::vector<KeysetRecord>& stored = {}) {
        for (const KeysetRecord& record : stored)
            Put(record);
        CKeysetStore& store = commands.NewDocument();
        commands.FinishLoad();
        commands.RebuildKeysetsMenu();
        shared.SetKeysetsChanged(0); // as the driver leaves it after selecting
        registry.journal.clear();
        return store;
    }
    void Put(const KeysetRecord& record) {
        const std::string path = kKeysets + "\\" + ReadField(record.header.appName);
        registry.SetValue(path, kAppPrefValueName, BytesOf(record.header));
        for (int b = 0; b < kBankCount; ++b)
            for (int c = 0; c < kControlCount; ++c)
                registry.SetValue(path + "\\" + kBankKeyNames[b], kControlValueNames[c],
                                  BytesOf(AssignmentAt(record, b, c)));
    }
    CKeysetStore& Store() { return *commands.Store(); }
    std::vector<std::string> Names() {
        std::vector<std::string> list;
        for (int i = 0; i < Store().GetCount(); ++i)
            list.push_back(Store().GetName(i));
        return list;
    }
    // The stored keysets, in the order the registry lists them (by name, ignoring case).
    std::vector<std::string> StoredNames() const { return registry.Subkeys(kKeysets); }
    // The Play assignment of the main bank as the registry holds it for keyset subkey `name`.
    std::optional<Bytes> StoredPlay(const std::string& name) const {
        return registry.Value(kKeysets + "\\" + name + "\\MainBank", "Play");
    }
    std::string WriteKeysetFile(const std::string& fileName, const KeysetRecord& record) {
        const std::string path = folder.File(fileName);
        KeysetRecord copy = record;
        CKeysetFile file;
        file.Init(path, &copy);
        EXPECT_TRUE(file.Write().Done());
        return path;
    }
};

TEST(KeysetCommands, ANewDocumentLoadsOrCreatesDefaultAndSavesWhenTheLoadFinishes) {
    CommandsRig rig;
    CKeysetStore& store = rig.commands.NewDocument();
    EXPECT_FALSE(rig.registry.KeyExists(kStoreRootPath)) << "nothing written before FinishLoad";
    EXPECT_TRUE(rig.commands.FinishLoad());
    EXPECT_FALSE(rig.commands.FinishLoad());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default"}));
    EXPECT_EQ(store.GetCurrentIndex(), 0);
    EXPECT_EQ(rig.StoredNames(), (std::vector<std::string>{"Default"}));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);

    CommandsRig again;
    again.Start({Keyset("Default"), Marked("notepad", 'N')});
    EXPECT_EQ(again.Names(), (std::vector<std::string>{"Default", "notepad"}));
    EXPECT_EQ(again.ui.menu, again.Names());
}

TEST(KeysetCommands, NewKeysetIsNamedByTheProgramsLowerCaseFileTitleAndBecomesCurrent) {
    CommandsRig rig;
    rig.Start();
    rig.ui.files = {"C:\\Program Files\\Audio\\WaveEdit.EXE"};
    rig.commands.NewKeyset();

    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "waveedit"}));
    EXPECT_EQ(rig.Store().GetCurrentIndex(), 1);
    EXPECT_EQ(rig.ui.menu, (std::vector<std::string>{"Default", "waveedit"}));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Keyset("waveedit")));
    EXPECT_EQ(rig.StoredNames(), (std::vector<std::string>{"Default", "waveedit"}));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
    EXPECT_EQ(rig.ui.viewUpdates, 1);
}

// The shared current index must name the same keyset in the driver, which has the list in load order.
TEST(KeysetCommands, ANewKeysetTakesItsPlaceInLoadOrderAndTheSharedIndexNamesItInBothPrograms) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("notepad"), Keyset("wave")});
    rig.ui.files = {"C:\\Tools\\Audacity.exe"};
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "audacity", "notepad", "wave"}));
    EXPECT_EQ(rig.ui.menu, rig.Names());
    EXPECT_EQ(rig.Store().GetCurrentName(), "audacity");

    CKeysetStore driver(rig.shared, rig.names);
    fakes::FakeKeysetWatch driverWatch(rig.registry);
    CKeysetRegistry driverKeysets(KeysetStorage{rig.registry, rig.lock, rig.textCase, driverWatch});
    ASSERT_TRUE(ReloadAllKeysets(driver, driverKeysets).Done());
    EXPECT_EQ(driver.GetCurrentName(), "audacity");
}

TEST(KeysetCommands, NewKeysetForAStoredTargetReplacesItInPlaceOnlyAfterYes) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Marked("waveedit", 'W'), Keyset("xedit")});
    rig.shared.SetCurrentKeysetIndex(2);

    rig.ui.files = {"C:\\Program Files\\Audio\\WaveEdit.EXE"};
    rig.ui.answers = {false};
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.ui.questions, (std::vector<unsigned>{kNewReplaceQuestionId}));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Marked("waveedit", 'W')));
    EXPECT_EQ(rig.Store().GetCurrentIndex(), 2);
    EXPECT_TRUE(rig.registry.journal.empty()) << "No saves nothing";

    rig.ui.files = {"D:\\elsewhere\\waveedit.exe"};
    rig.ui.answers = {true};
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "waveedit", "xedit"}));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Keyset("waveedit"))) << "reset to the defaults";
    EXPECT_EQ(rig.Store().GetCurrentIndex(), 1);
    EXPECT_EQ(rig.ui.menu.size(), 3u) << "a replaced keyset adds no menu item";
    EXPECT_EQ(rig.StoredPlay("waveedit"), BytesOf(AssignmentAt(Keyset("waveedit"), kMainBank, kPlay)));
}

TEST(KeysetCommands, NamesThatDifferOnlyInCaseMeetTheKeysetTheyWouldOverwrite) {
    CommandsRig rig;
    rig.Start({Marked("Default", 'D'), Marked("wave", 'W')});

    // A program called Default.exe: after Yes, "Default" is reset and keeps its name and index 0.
    rig.ui.files = {"C:\\Tools\\Default.exe"};
    rig.ui.answers = {true};
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.ui.questions, (std::vector<unsigned>{kNewReplaceQuestionId}));
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "wave"}));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(0), Keyset("Default")));
    EXPECT_EQ(rig.Store().GetCurrentIndex(), 0);

    // A file holding "Wave": after Yes it replaces "wave", which keeps its name.
    const std::string path = rig.WriteKeysetFile("Wave.qvl", Marked("Wave", 'X'));
    rig.ui.files = {path};
    rig.ui.answers = {true};
    rig.commands.ImportKeyset();
    EXPECT_EQ(rig.ui.questions.back(), kImportReplaceQuestionId);
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "wave"}));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Marked("wave", 'X')));
    EXPECT_EQ(rig.StoredNames(), (std::vector<std::string>{"Default", "wave"}));
    EXPECT_EQ(ReadField(reinterpret_cast<const char*>(rig.registry.Value(kKeysets + "\\wave", "AppPref")->data()), 32),
              "wave");

    // And after No nothing changes.
    rig.ui.files = {"C:\\Tools\\DEFAULT.EXE"};
    rig.ui.answers = {false};
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "wave"}));
    EXPECT_EQ(rig.ui.questions.size(), 3u);
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(0), Keyset("Default")));
}

TEST(KeysetCommands, FindByNameComparesExactlyAndNeverMeetsDefault) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("notepad"), Keyset("wave")});
    EXPECT_EQ(rig.commands.FindByName("wave"), std::optional<int>(2));
    EXPECT_EQ(rig.commands.FindByName("Wave"), std::nullopt);
    EXPECT_EQ(rig.commands.FindByName("Default"), std::nullopt);
    EXPECT_EQ(rig.commands.FindSameTarget("WAVE"), std::optional<int>(2));
    EXPECT_EQ(rig.commands.FindSameTarget("default"), std::optional<int>(0));
    EXPECT_EQ(rig.commands.FindSameTarget("cubase"), std::nullopt);
}

TEST(KeysetCommands, ImportAsksAboutTheKeysetTheFileWouldReplace) {
    // x.qvl holds the keyset y: the file's name decides nothing.
    struct Case {
        std::vector<const char*> stored;
        std::vector<bool> answers;
        bool asked;
        std::vector<std::string> names;
        bool replaced; // y now holds the file's assignments
    };
    const Case cases[] = {
        {{"Default"}, {}, false, {"Default", "y"}, true},
        {{"Default", "x"}, {}, false, {"Default", "x", "y"}, true},
        {{"Default", "x", "y"}, {true}, true, {"Default", "x", "y"}, true},
        {{"Default", "y"}, {false}, true, {"Default", "y"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.size() * 10 + c.answers.size());
        CommandsRig rig;
        std::vector<KeysetRecord> stored;
        for (const char* name : c.stored)
            stored.push_back(Keyset(name));
        rig.Start(stored);
        rig.ui.files = {rig.WriteKeysetFile("x.qvl", Marked("y", 'Y'))};
        rig.ui.answers.assign(c.answers.begin(), c.answers.end());
        rig.commands.ImportKeyset();

        EXPECT_EQ(rig.ui.questions,
                  c.asked ? std::vector<unsigned>{kImportReplaceQuestionId} : std::vector<unsigned>{});
        EXPECT_EQ(rig.Names(), c.names);
        ASSERT_TRUE(rig.Store().Find("y").has_value());
        const int y = *rig.Store().Find("y");
        EXPECT_EQ(SameBytes(*rig.Store().GetKeyset(y), Marked("y", 'Y')), c.replaced);
        if (c.replaced) {
            EXPECT_EQ(rig.Store().GetCurrentIndex(), y);
            EXPECT_EQ(rig.StoredPlay("y"), BytesOf(AssignmentAt(Marked("y", 'Y'), kMainBank, kPlay)));
        }
        if (const std::optional<int> x = rig.Store().Find("x")) {
            EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(*x), Keyset("x")));
        }
        EXPECT_EQ(rig.ui.menu, rig.Names());
    }
}

// An import takes the file's rule when it has one (an empty one clears it) and keeps the keyset's own
// when the file comes from an older writer; the registry holds it.
TEST(KeysetCommands, ImportTakesTheRuleOfTheFileOnlyWhenItHasOne) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("y")});
    const auto import = [&rig](const std::optional<WindowRule>& rule) {
        KeysetRecord record = Marked("y", 'Y');
        CKeysetFile file;
        file.Init(rig.folder.File("y.qvl"), &record);
        if (rule)
            file.SetRule(*rule);
        EXPECT_TRUE(file.Write().Done());
        rig.ui.answers = {true};
        EXPECT_TRUE(rig.commands.ImportFile(rig.folder.File("y.qvl")));
        return rig.Store().GetRule(1);
    };
    EXPECT_EQ(import(WindowRule{"", "Video", ""}), (WindowRule{"", "Video", ""}));
    EXPECT_EQ(rig.registry.Value(kKeysets + "\\y", "MatchTitle"), (Bytes{'V', 'i', 'd', 'e', 'o', 0}));
    EXPECT_EQ(import(std::nullopt), (WindowRule{"", "Video", ""}));
    EXPECT_TRUE(import(WindowRule()).Empty());
    EXPECT_FALSE(rig.registry.Value(kKeysets + "\\y", "MatchTitle").has_value());
}

TEST(KeysetCommands, AFileThatIsNoKeysetFileChangesNothing) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("y")});
    const std::string wrongMagic = rig.folder.File("other.qvl");
    {
        std::ofstream out(wrongMagic, std::ios::binary);
        const KeysetRecord record = Marked("y", 'Y');
        out.write("QVL3", 4);
        out.write("\x02\x00\x01\x00\xC4\x29\x00\x00", 8);
        out.write(reinterpret_cast<const char*>(&record), sizeof record);
    }
    KeysetRecord nameless = Marked("", 'N');
    const std::string withoutName = rig.WriteKeysetFile("nameless.qvl", nameless);
    const std::string missing = rig.folder.File("missing.qvl");
    const std::string notValid = std::to_string(kNotAKeysetFileMessageId) + ":";
    const std::string notRead =
        std::to_string(kFileNotReadMessageId) + ":" + missing + "|\n\n" + std::strerror(ENOENT) + ".";
    for (const auto& [path, told] : {std::pair{wrongMagic, notValid + wrongMagic},
                                     std::pair{withoutName, notValid + withoutName}, std::pair{missing, notRead}}) {
        SCOPED_TRACE(path);
        rig.ui.told.clear();
        rig.ui.files = {path};
        rig.commands.ImportKeyset();
        EXPECT_EQ(rig.ui.told, std::vector<std::string>{told});
        EXPECT_TRUE(rig.ui.questions.empty());
        EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "y"}));
        EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Keyset("y")));
        EXPECT_TRUE(rig.registry.journal.empty());
    }
}

TEST(KeysetCommands, ExportWritesTheCurrentKeysetUnderItsNameAndIsOffForDefault) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Marked("waveedit", 'W')});
    EXPECT_FALSE(rig.commands.CanExport());
    EXPECT_FALSE(rig.commands.CanDelete());
    rig.commands.ExportKeyset();
    EXPECT_TRUE(rig.ui.dialogs.empty());

    rig.shared.SetCurrentKeysetIndex(1);
    ASSERT_TRUE(rig.commands.CanExport());
    const std::string path = rig.folder.File("waveedit.qvl");
    rig.ui.files = {path};
    rig.commands.ExportKeyset();
    EXPECT_EQ(rig.ui.proposedNames, (std::vector<std::string>{"waveedit"}));
    const Bytes bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 10696u + 14u); // and a trailer that says the keyset has no window rule
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 12),
              (Bytes{'Q', 'V', 'L', '2', 0x02, 0x00, 0x01, 0x00, 0xC4, 0x29, 0x00, 0x00}));
    EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.begin() + 10696), BytesOf(Marked("waveedit", 'W')));
    EXPECT_EQ(Bytes(bytes.begin() + 10696, bytes.end()), EncodeRuleTrailer(WindowRule()));
    EXPECT_TRUE(rig.registry.journal.empty()) << "an export changes no keyset";

    // A cancelled dialog writes nothing.
    rig.ui.files = {std::nullopt};
    rig.commands.ExportKeyset();
    EXPECT_EQ(rig.ui.dialogs.size(), 2u);
}

TEST(KeysetCommands, DeletingTheCurrentKeysetMakesTheOneBeforeItCurrent) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("a"), Keyset("b"), Keyset("c"), Keyset("d")});
    rig.shared.SetCurrentKeysetIndex(3);

    rig.ui.answers = {false};
    rig.commands.DeleteCurrentKeyset();
    EXPECT_EQ(rig.ui.questions, (std::vector<unsigned>{kDeleteQuestionId}));
    EXPECT_EQ(rig.Names().size(), 5u);
    EXPECT_TRUE(rig.registry.journal.empty());

    rig.ui.answers = {true};
    rig.commands.DeleteCurrentKeyset();
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "a", "b", "d"}));
    EXPECT_EQ(rig.Store().GetCurrentIndex(), 2);
    EXPECT_EQ(rig.ui.menu, rig.Names()) << "the menu is rebuilt: ids 2000 up to 2003";
    EXPECT_EQ(rig.StoredNames(), (std::vector<std::string>{"a", "b", "d", "Default"}));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);

    // Deleting a keyset after the current one leaves the current one alone.
    rig.commands.DeleteKeyset(3);
    EXPECT_EQ(rig.Store().GetCurrentIndex(), 2);
    // "Default" is never deleted.
    rig.commands.DeleteKeyset(0);
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "a", "b"}));
}

TEST(KeysetCommands, DeleteIsOffWhileDefaultOrNoKeysetIsCurrent) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("a")});
    for (int current : {0, 2, 7, -1}) {
        SCOPED_TRACE(current);
        rig.shared.SetCurrentKeysetIndex(current);
        EXPECT_FALSE(rig.commands.CanDelete());
        EXPECT_FALSE(rig.commands.CanExport());
        rig.commands.DeleteCurrentKeyset();
    }
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_EQ(rig.Names().size(), 2u);
}

TEST(KeysetCommands, PasteGivesTheTargetTheCopiedAssignmentsUnderItsOwnNameWithoutSaving) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Marked("a", 'A'), Marked("b", 'B')});
    EXPECT_FALSE(rig.commands.CanPaste());
    rig.shared.SetCurrentKeysetIndex(1);
    rig.commands.CopyKeyset();
    ASSERT_TRUE(rig.commands.CanPaste());
    rig.shared.SetCurrentKeysetIndex(2);
    rig.commands.PasteKeyset();

    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(2), Marked("b", 'A')));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Marked("a", 'A')));
    EXPECT_TRUE(rig.registry.journal.empty()) << "the paste waits for the next save";
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
    EXPECT_EQ(rig.StoredPlay("b"), BytesOf(AssignmentAt(Marked("b", 'B'), kMainBank, kPlay)));
    EXPECT_TRUE(rig.commands.HasUnsavedPaste());

    // The clipboard can be pasted again, into "Default" too, which keeps its name.
    rig.shared.SetCurrentKeysetIndex(0);
    rig.commands.PasteKeyset();
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(0), Marked("Default", 'A')));

    // A reload from the registry saves the paste first instead of losing it.
    rig.commands.ReloadKeysets();
    EXPECT_FALSE(rig.commands.HasUnsavedPaste());
    EXPECT_EQ(rig.StoredPlay("b"), BytesOf(AssignmentAt(Marked("b", 'A'), kMainBank, kPlay)));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(2), Marked("b", 'A')));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
}

// What the user pasted and saw is stored by the time the window closes, however focus gains (a reload
// from the registry), the driver's choice of the current keyset, outside writes and panel edits fall
// around the paste.
TEST(KeysetCommands, APasteIsStoredAtCloseWhateverHappensAroundIt) {
    enum Step { kDriverPicksOther, kDriverPicksDefault, kPaste, kFocus, kPanelEdit, kOutsideWrite };
    const std::vector<std::vector<Step>> orders = {
        {kDriverPicksOther, kPaste},
        {kDriverPicksOther, kPaste, kDriverPicksDefault, kFocus},
        {kDriverPicksOther, kFocus, kPaste, kPanelEdit},
        {kDriverPicksOther, kPaste, kDriverPicksDefault, kPanelEdit},
        {kDriverPicksOther, kPaste, kOutsideWrite, kFocus, kDriverPicksDefault},
        {kDriverPicksOther, kPaste, kOutsideWrite, kPanelEdit, kFocus},
    };
    for (std::size_t order = 0; order < orders.size(); ++order) {
        CommandsRig rig;
        rig.Start({Keyset("Default"), Marked("mixer", 'M'), Marked("other", 'O')});
        rig.shared.SetCurrentKeysetIndex(1);
        rig.commands.CopyKeyset();
        for (const Step step : orders[order]) {
            if (step == kDriverPicksOther || step == kDriverPicksDefault)
                rig.shared.SetCurrentKeysetIndex(step == kDriverPicksOther ? 2 : 0);
            else if (step == kPaste)
                rig.commands.PasteKeyset();
            else if (step == kFocus)
                rig.commands.ReloadKeysets(); // the panel then shows the shared block's keyset
            else if (step == kOutsideWrite)
                rig.registry.SetValue(kKeysets + "\\Default\\MainBank", "Stop", BytesOf(ControlAssignment{}));
            rig.watch.Tell();
            if (step == kPanelEdit) {
                const int shown = rig.shared.GetCurrentKeysetIndex();
                ControlAssignment stop = *rig.Store().GetAssignment(shown, kMainBank, kStop);
                stop.hotKeyVk = 'S';
                EXPECT_TRUE(rig.commands.PutAssignment(stop, shown, kMainBank, kStop).Done());
            }
        }
        rig.commands.SaveKeysets(); // the document's close
        EXPECT_EQ(rig.StoredPlay("other"), BytesOf(AssignmentAt(Marked("other", 'M'), kMainBank, kPlay))) << order;
        EXPECT_EQ(rig.registry.Value(kKeysets + "\\other", kAppPrefValueName), BytesOf(Marked("other", 'M').header));
        EXPECT_EQ(rig.StoredPlay("mixer"), BytesOf(AssignmentAt(Marked("mixer", 'M'), kMainBank, kPlay))) << order;
        EXPECT_TRUE(rig.ui.told.empty()) << order;
    }
}

// A registry that refuses writes: the failure comes back with the system's code and is told once, no
// flag is raised, and what was not written stays in the list until a save works again.
TEST(KeysetCommands, AFailedSaveIsToldOnceAndWhatItDidNotWriteWaitsForTheNextSave) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Marked("a", 'A'), Marked("b", 'B')});
    rig.shared.SetCurrentKeysetIndex(1);
    rig.commands.CopyKeyset();
    rig.shared.SetCurrentKeysetIndex(2);
    rig.commands.PasteKeyset();
    rig.registry.FailWrite(kChangesValueName); // the first write of every save
    const StoreResult saved = rig.commands.SaveKeysets();
    EXPECT_EQ(saved.status, StoreResult::Status::kFailed);
    EXPECT_EQ(saved.error, rig.registry.failCode);
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);
    EXPECT_TRUE(rig.commands.HasUnsavedPaste());

    // A further edit and a reload on the panel's focus fail too, silently, and take nothing away.
    ControlAssignment stop = *rig.Store().GetAssignment(1, kMainBank, kStop);
    stop.hotKeyVk = 'S';
    EXPECT_FALSE(rig.commands.PutAssignment(stop, 1, kMainBank, kStop).Done());
    EXPECT_FALSE(rig.commands.ReloadKeysets().Done());
    EXPECT_EQ(rig.ui.told, std::vector<std::string>{"62030:error 5"});
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(2), Marked("b", 'A')));
    EXPECT_EQ(rig.Store().GetAssignment(1, kMainBank, kStop)->hotKeyVk, 'S');
    EXPECT_EQ(rig.StoredPlay("b"), BytesOf(AssignmentAt(Marked("b", 'B'), kMainBank, kPlay)));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 0);

    // The registry takes writes again: the next change stores all that waited.
    rig.registry.FailNothing();
    ASSERT_TRUE(rig.commands.PutAssignment(stop, 1, kMainBank, kStop).Done());
    EXPECT_EQ(rig.StoredPlay("b"), BytesOf(AssignmentAt(Marked("b", 'A'), kMainBank, kPlay)));
    EXPECT_EQ(rig.registry.Value(kKeysets + "\\a\\MainBank", "Stop"), BytesOf(stop));
    EXPECT_FALSE(rig.commands.HasUnsavedPaste());
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);

    // A write that works ends the silence: the next failure (the lock not had) is told again.
    rig.lock.heldElsewhere = true;
    EXPECT_FALSE(rig.commands.PutAssignment(stop, 1, kMainBank, kStop).Done());
    EXPECT_EQ(rig.ui.told.back(), "62030:not locked");
    EXPECT_EQ(rig.ui.told.size(), 2u);
}

TEST(KeysetCommands, ClearResetsTheCurrentKeysetUnderItsNameAndSaves) {
    CommandsRig rig;
    rig.Start({Marked("Default", 'D'), Marked("a", 'A')});
    rig.commands.ClearKeyset();
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(0), Keyset("Default")));
    EXPECT_TRUE(SameBytes(*rig.Store().GetKeyset(1), Marked("a", 'A')));
    EXPECT_EQ(rig.StoredPlay("Default"), BytesOf(AssignmentAt(Keyset("Default"), kMainBank, kPlay)));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);

    // With no keyset current, Copy, Paste and Clear do nothing.
    rig.shared.SetCurrentKeysetIndex(5);
    rig.registry.journal.clear();
    rig.commands.CopyKeyset();
    EXPECT_FALSE(rig.commands.CanPaste());
    rig.commands.ClearKeyset();
    EXPECT_TRUE(rig.registry.journal.empty());
    EXPECT_EQ(rig.Store().GetCount(), 2);
}

TEST(KeysetCommands, AProgramNameTooLongForAKeysetIsRefusedWithAMessage) {
    CommandsRig rig;
    rig.Start();
    const std::string title31(31, 'k');
    const std::string title32(32, 'k');
    rig.ui.files = {"C:\\" + title32 + ".exe", "C:\\" + title31 + ".exe", std::nullopt};
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.ui.told, (std::vector<std::string>{std::to_string(kNameTooLongMessageId) + ":" + title32}));
    EXPECT_EQ(rig.Names().size(), 1u);
    rig.commands.NewKeyset();
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", title31}));
    rig.commands.NewKeyset(); // cancelled
    EXPECT_EQ(rig.Names().size(), 2u);
}

TEST(KeysetCommands, AssignmentsAreStoredAtOnceAndFetchedOnlyFromTheList) {
    CommandsRig rig;
    rig.Start({Keyset("Default"), Keyset("a")});
    ControlAssignment assignment = *rig.Store().GetAssignment(1, kShiftBank, kRecord);
    assignment.hotKeyVk = 'R';
    rig.commands.PutAssignment(assignment, 1, kShiftBank, kRecord);
    EXPECT_EQ(rig.registry.Value(kKeysets + "\\a\\Shift Bank", "Record"), BytesOf(assignment));
    EXPECT_EQ(rig.shared.GetKeysetsChanged(), 1);
    EXPECT_EQ(std::count_if(rig.registry.journal.begin(), rig.registry.journal.end(),
                            [](const std::string& line) { return line.rfind("write", 0) == 0; }),
              3)
        << "the value, the keyset's generation and the record of changes";

    ControlAssignment fetched;
    std::memset(&fetched, 0x5A, sizeof fetched);
    const ControlAssignment untouched = fetched;
    EXPECT_FALSE(rig.commands.FetchAssignment(fetched, 2, kMainBank, kPlay));
    EXPECT_EQ(BytesOf(fetched), BytesOf(untouched));
    EXPECT_TRUE(rig.commands.FetchAssignment(fetched, 1, kShiftBank, kRecord));
    EXPECT_EQ(BytesOf(fetched), BytesOf(assignment));
}

// A panel edit of one wheel half gives the other half of its bank its name, mouse emulation, speed and
// target, keeps the other half's keys, and stores both; an assignment the keyset does not have is
// refused with nothing changed.
TEST(KeysetCommands, APanelEditOfAWheelHalfGivesTheOtherHalfWhatTheyShare) {
    CommandsRig rig;
    KeysetRecord stored = Keyset("Default");
    AssignmentAt(stored, kOptionBank, kWheelClockwise).hotKeyVk = 0x27;
    AssignmentAt(stored, kOptionBank, kWheelClockwise).specialKey = kSpecialTab;
    rig.Start({stored});
    ControlAssignment edit = AssignmentAt(stored, kOptionBank, kWheelCounterClockwise);
    CopyToField(edit.controlName, "Scroll");
    CopyToField(edit.windowTitle, "Probe");
    CopyToField(edit.windowClass, "ProbeClass");
    edit.mouseMode = kVerticalScroll;
    edit.wheelSpeed = 100;
    edit.captureOnFirstPress = 1;
    edit.clickX = 5;
    edit.clickY = 6;
    edit.hotKeyVk = 0x25;
    ASSERT_TRUE(rig.commands.PutAssignment(edit, 0, kOptionBank, kWheelCounterClockwise).Done());

    ControlAssignment other = edit;
    other.hotKeyVk = 0x27;
    other.specialKey = kSpecialTab;
    EXPECT_EQ(BytesOf(*rig.Store().GetAssignment(0, kOptionBank, kWheelClockwise)), BytesOf(other));
    EXPECT_EQ(rig.registry.Value(kKeysets + "\\Default\\Option Bank", "CCWheel"), BytesOf(edit));
    EXPECT_EQ(rig.registry.Value(kKeysets + "\\Default\\Option Bank", "CWheel"), BytesOf(other));

    rig.registry.journal.clear();
    EXPECT_FALSE(rig.commands.PutAssignment(edit, 1, kMainBank, kPlay).Done());
    EXPECT_TRUE(rig.registry.journal.empty());
    EXPECT_TRUE(rig.ui.told.empty());
}

} // namespace
} // namespace qvl
