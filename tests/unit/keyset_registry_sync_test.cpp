// Saves that write only what differs and reloads that read only what changed, between two programs
// that share one registry: each must leave exactly what a whole rewrite, or a whole load, would.
#include "ascii_text_case.h"
#include "fake_registry.h"

#include "bench/whole_keyset_save.h"
#include "model/keyset_registry.h"
#include "model/memory_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace qvl {
namespace {

using fakes::Bytes;

const std::string kKeysets = kKeysetsKeyPath;

KeysetRecord Keyset(const char* name, std::uint16_t play = 0) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    for (BankRecord& bank : record.banks)
        bank.controls[kPlay].hotKeyVk = play;
    return record;
}

// One program: its shared block and store, over a registry it shares with the other.
struct Program {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    fakes::FakeKeysetWatch watch;
    CKeysetRegistry keysets;

    Program(fakes::FakeRegistry& registry, KeysetLock& lock)
        : watch(registry), keysets(KeysetStorage{registry, lock, AsciiCase(), watch}) {
        shared.Create();
    }
    void Set(std::initializer_list<KeysetRecord> list) {
        store.RemoveAll();
        for (const KeysetRecord& k : list)
            store.Add(k);
    }
    void Save() { SaveAllKeysets(store, keysets); }
    bool Load() { return ReloadAllKeysets(store, keysets).Done(); }
};

template <typename T> Bytes BytesOf(const T& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    return Bytes(p, p + sizeof value);
}

// The list exactly, byte for byte and in order.
std::vector<Bytes> Contents(const CKeysetStore& store) {
    std::vector<Bytes> list;
    for (int i = 0; i < store.GetCount(); ++i) {
        const KeysetRecord k = *store.GetKeyset(i);
        const auto* p = reinterpret_cast<const unsigned char*>(&k);
        list.emplace_back(p, p + sizeof k);
    }
    return list;
}

struct Rig {
    fakes::FakeRegistry registry;
    fakes::FakeKeysetLock lock{registry.journal};
    Program editor{registry, lock};
    Program driver{registry, lock};

    Rig() {
        editor.Set({Keyset("Default", 1), Keyset("notepad", 2), Keyset("zoom", 3)});
        editor.Save();
        EXPECT_TRUE(driver.Load());
        registry.journal.clear();
        registry.reads = 0;
    }
    std::vector<std::string> Journal(const std::string& prefix) const {
        std::vector<std::string> lines;
        for (const std::string& line : registry.journal)
            if (line.rfind(prefix, 0) == 0)
                lines.push_back(line);
        return lines;
    }
};

TEST(KeysetRegistrySync, SaveWritesOnlyWhatDiffersAndDeletesOnlyWhatLeftAfterEveryWrite) {
    Rig rig;
    KeysetRecord notepad = *rig.editor.store.GetKeyset(1);
    AssignmentAt(notepad, kShiftBank, kRecord).hotKeyVk = 'R';
    rig.editor.Set({Keyset("Default", 1), notepad, Keyset("audacity", 4)});
    rig.editor.Save();

    const std::string np = kKeysets + "\\notepad";
    EXPECT_EQ(rig.Journal("write " + np),
              (std::vector<std::string>{"write " + np + ":Generation", "write " + np + "\\Shift Bank:Record"}));
    EXPECT_TRUE(rig.Journal("write " + kKeysets + "\\Default").empty());
    EXPECT_EQ(rig.Journal("write " + kKeysets + "\\audacity").size(), 1u + 1u + 28u);
    EXPECT_EQ(rig.Journal("delete"), std::vector<std::string>{"delete " + kKeysets + "\\zoom"});
    // The generation under "Keysets" moves first; the delete comes after the last write.
    EXPECT_EQ(rig.registry.journal[1], "write " + kKeysets + ":Changes");
    const auto lastWrite = std::find_if(rig.registry.journal.rbegin(), rig.registry.journal.rend(),
                                        [](const std::string& l) { return l.rfind("write", 0) == 0; });
    EXPECT_EQ(*(lastWrite - 1), "delete " + kKeysets + "\\zoom");

    rig.registry.journal.clear();
    rig.editor.Save();
    EXPECT_EQ(rig.registry.journal, (std::vector<std::string>{"lock", "unlock"})) << "nothing changed";
}

// The driver reloads after each kind of change, by the editor or by a writer that keeps no record of
// changes, and must hold what a program that loads the whole registry for the first time would, while
// reading little when little changed (and nothing when nothing did).
TEST(KeysetRegistrySync, ReloadGivesExactlyAWholeLoadAfterEveryKindOfChange) {
    struct Case {
        const char* what;
        std::function<void(Rig&)> change;
        std::size_t mostReads;
        bool byTheEditor = true;
    };
    const Case cases[] = {
        {"nothing", [](Rig&) {}, 0},
        {"one assignment",
         [](Rig& r) {
             ControlAssignment a = *r.editor.store.GetAssignment(1, kOptionBank, kStop);
             a.hotKeyVk = 'S';
             r.editor.store.SetAssignment(1, kOptionBank, kStop, a);
             EXPECT_TRUE(StoreAssignment(r.editor.store, r.editor.keysets, 1, kOptionBank, kStop).Done());
         },
         1 + 1 + 32},
        {"added before the others",
         [](Rig& r) {
             r.editor.Set({Keyset("Default", 1), Keyset("notepad", 2), Keyset("zoom", 3), Keyset("audacity", 4)});
             r.editor.Save();
         },
         1 + 4 * 1 + 32},
        {"deleted",
         [](Rig& r) {
             r.editor.Set({Keyset("Default", 1), Keyset("zoom", 3)});
             r.editor.Save();
         },
         1},
        {"renamed by case",
         [](Rig& r) {
             r.editor.Set({Keyset("Default", 1), Keyset("Notepad", 2), Keyset("zoom", 3)});
             r.editor.Save();
         },
         1 + 1 + 32},
        {"replaced by an import",
         [](Rig& r) {
             r.editor.store.SetKeyset(2, Keyset("zoom", 9));
             r.editor.Save();
         },
         1 + 1 + 32},
        {"rewritten whole by an older program",
         [](Rig& r) {
             Program older(r.registry, r.lock);
             older.Set({Keyset("Default", 5), Keyset("notepad", 5), Keyset("zoom", 5)});
             bench::WholeKeysetSave(r.registry, r.lock, kStoreRootPath, older.store);
         },
         1 + 3 * 33, false},
        {"one assignment from outside",
         [](Rig& r) {
             r.registry.SetValue(kKeysets + "\\notepad\\Shift Bank", "Play",
                                 BytesOf(AssignmentAt(Keyset("x", 'X'), 0, 0)));
         },
         1 + 3 * 33, false},
        {"a keyset added from outside",
         [](Rig& r) {
             r.registry.SetValue(kKeysets + "\\audacity", kAppPrefValueName, BytesOf(Keyset("audacity").header));
         },
         1 + 4 * 33, false},
        {"a keyset removed from outside", [](Rig& r) { r.registry.RemoveKey(kKeysets + "\\zoom"); }, 1 + 2 * 33, false},
        // The driver's watch looks at each burst of writes as it comes (here: Tell), so the editor's
        // save, which moves the record, does not hide the outside write that follows it.
        {"from outside, after a save of the editor",
         [](Rig& r) {
             r.editor.store.SetKeyset(2, Keyset("zoom", 9));
             r.editor.Save();
             r.driver.watch.Tell();
             r.registry.SetValue(kKeysets + "\\notepad\\Shift Bank", "Play",
                                 BytesOf(AssignmentAt(Keyset("x", 'X'), 0, 0)));
             r.driver.watch.Tell();
         },
         1 + 3 * 33, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        c.change(rig);
        rig.registry.reads = 0;
        ASSERT_TRUE(rig.driver.Load());
        EXPECT_LE(rig.registry.reads, c.mostReads);
        Program fresh(rig.registry, rig.lock);
        ASSERT_TRUE(fresh.Load());
        EXPECT_TRUE(Contents(rig.driver.store) == Contents(fresh.store));
        // And the editor's own list is that list too, in the same order.
        if (c.byTheEditor) {
            EXPECT_TRUE(Contents(rig.editor.store) == Contents(fresh.store));
        }
        if (!c.byTheEditor) {
            EXPECT_FALSE(Contents(rig.driver.store) == Contents(rig.editor.store))
                << "the change reached the driver alone";
        }
    }
}

TEST(KeysetRegistrySync, StoreAssignmentWritesThatValueAndRaisesTheFlag) {
    Rig rig;
    rig.editor.shared.SetKeysetsChanged(0);
    ControlAssignment a = *rig.editor.store.GetAssignment(2, kMainBank, kWheelClockwise);
    a.hotKeyVk = 'W';
    rig.editor.store.SetAssignment(2, kMainBank, kWheelClockwise, a);
    ASSERT_TRUE(StoreAssignment(rig.editor.store, rig.editor.keysets, 2, kMainBank, kWheelClockwise).Done());
    EXPECT_EQ(
        rig.registry.journal,
        (std::vector<std::string>{"lock", "write " + kKeysets + ":Changes", "write " + kKeysets + "\\zoom:Generation",
                                  "write " + kKeysets + "\\zoom\\MainBank:CWheel", "unlock"}));
    EXPECT_EQ(rig.editor.shared.GetKeysetsChanged(), 1);

    EXPECT_FALSE(StoreAssignment(rig.editor.store, rig.editor.keysets, 3, 0, 0).Done());
    EXPECT_FALSE(StoreAssignment(rig.editor.store, rig.editor.keysets, 2, kBankCount, 0).Done());
    // A keyset with no subkey yet is saved with the rest.
    rig.editor.store.Add(Keyset("wave"));
    ASSERT_TRUE(StoreAssignment(rig.editor.store, rig.editor.keysets, 3, 0, 0).Done());
    EXPECT_TRUE(rig.registry.KeyExists(kKeysets + "\\wave\\Option+Shift Bank"));
}

// Two subkeys whose "AppPref" hold one name can only come from editing the registry by hand: the
// load takes the one named like its keyset, and no save throws the other one away.
TEST(KeysetRegistrySync, OneKeysetPerNameAndTheOtherSubkeyIsLeftAlone) {
    Rig rig;
    const KeysetRecord copy = Keyset("notepad", 7);
    const auto* p = reinterpret_cast<const unsigned char*>(&copy);
    rig.registry.SetValue(kKeysets + "\\copy of notepad", "AppPref", Bytes(p, p + sizeof copy.header));
    Program fresh(rig.registry, rig.lock);
    ASSERT_TRUE(fresh.Load());
    ASSERT_EQ(fresh.store.GetCount(), 3);
    EXPECT_EQ(fresh.store.GetAssignment(*fresh.store.Find("notepad"), 0, kPlay)->hotKeyVk, 2);

    fresh.Set({Keyset("Default", 1), Keyset("zoom", 3)});
    fresh.Save();
    EXPECT_EQ(rig.registry.Subkeys(kKeysets), (std::vector<std::string>{"copy of notepad", "Default", "zoom"}));
}

// The record of changes stays within its value's size, and never claims to list a save it dropped.
TEST(KeysetChanges, OldEntriesGiveWayAndTheRecordStopsCoveringTheirSaves) {
    KeysetChanges changes;
    RecordSave(changes, 100, {"a"}, true);
    for (std::uint64_t g = 101; g <= 300; ++g)
        RecordSave(changes, g, {"a keyset with a long name " + std::to_string(g), "a"}, false);
    const std::vector<unsigned char> bytes = EncodeChanges(changes);
    EXPECT_LE(bytes.size(), kChangesMaxBytes);
    const std::optional<KeysetChanges> read = DecodeChanges(bytes.data(), bytes.size());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->generation, 300u);
    EXPECT_EQ(read->addedAt, 100u);
    EXPECT_EQ(read->entries.back().subkey, "a"); // one entry per subkey, at its last save
    const std::uint64_t oldestListed = read->entries.front().generation;
    EXPECT_TRUE(read->Covers(oldestListed - 1));
    EXPECT_FALSE(read->Covers(oldestListed - 2));
    EXPECT_FALSE(DecodeChanges(bytes.data(), bytes.size() - 1).has_value());
}

} // namespace
} // namespace qvl
