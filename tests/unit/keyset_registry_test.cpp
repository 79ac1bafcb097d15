#include "ascii_text_case.h"
#include "fake_registry.h"

#include "model/keyset_registry.h"
#include "model/memory_blocks.h"
#include "model/prefs_storage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace qvl {
namespace {

using fakes::Bytes;
using fakes::FakeKeysetLock;
using fakes::FakeRegistry;

const std::string kKeysets = kKeysetsKeyPath;

KeysetRecord Keyset(const char* name, unsigned char fill = 0) {
    KeysetRecord record;
    InitKeyset(record, name, 0, NoStrings());
    if (fill != 0) {
        for (BankRecord& bank : record.banks)
            for (ControlAssignment& a : bank.controls) {
                std::memset(&a, fill, sizeof a);
                a.windowTitle[0] = a.windowClass[0] = a.controlName[0] = '\0';
            }
    }
    return record;
}

template <typename T> Bytes BytesOf(const T& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    return Bytes(p, p + sizeof value);
}

bool SameBytes(const KeysetRecord& a, const KeysetRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct RegistryRig {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    FakeRegistry registry;
    FakeKeysetLock lock{registry.journal};
    fakes::FakeKeysetWatch watch{registry};
    CKeysetRegistry keysets{KeysetStorage{registry, lock, AsciiCase(), watch}};

    RegistryRig() { shared.Create(); }
    void Save() { keysets.SaveAll(store); }
    bool Load() { return keysets.LoadAll(store).Done(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < store.GetCount(); ++i)
            names.push_back(ReadField(store.GetKeyset(i)->header.appName));
        return names;
    }
    // Store a keyset in the registry as another program would have left it.
    void Put(const KeysetRecord& record, const std::string& subkey) {
        const std::string path = kKeysets + "\\" + subkey;
        registry.SetValue(path, "AppPref", BytesOf(record.header));
        for (int b = 0; b < kBankCount; ++b)
            for (int c = 0; c < kControlCount; ++c)
                registry.SetValue(path + "\\" + kBankKeyNames[b], kControlValueNames[c],
                                  BytesOf(AssignmentAt(record, b, c)));
    }
};

TEST(KeysetRegistry, NothingStoredGivesJustDefaultAndWritesNothing) {
    RegistryRig rig;
    rig.shared.SetCurrentKeysetIndex(5);
    LoadOrCreate(rig.store, rig.keysets);
    ASSERT_EQ(rig.store.GetCount(), 1);
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(0), Keyset("Default")));
    EXPECT_EQ(rig.store.GetCurrentIndex(), 0);
    EXPECT_TRUE(rig.registry.journal.empty());
    EXPECT_FALSE(rig.registry.KeyExists(kStoreRootPath));
}

TEST(KeysetRegistry, SaveLeavesExactlyTheListInTheStoredLayout) {
    RegistryRig rig;
    rig.Put(Keyset("stale"), "stale");                                           // a keyset no longer in the list goes
    rig.registry.SetValue(kKeysets + "\\Default\\Leftover", "Play", Bytes(380)); // not ours: stays
    const KeysetRecord keysets[] = {Keyset("Default", 0x11), Keyset("notepad", 0x22), Keyset("audacity", 0x33)};
    for (const KeysetRecord& k : keysets)
        rig.store.Add(k);
    rig.Save();

    EXPECT_EQ(rig.registry.Subkeys(kKeysets), (std::vector<std::string>{"audacity", "Default", "notepad"}));
    for (const KeysetRecord& k : keysets) {
        const std::string path = kKeysets + "\\" + k.header.appName;
        SCOPED_TRACE(path);
        EXPECT_EQ(rig.registry.ValueNames(path), (std::vector<std::string>{"AppPref", "Generation"}));
        EXPECT_EQ(rig.registry.Value(path, "AppPref"), BytesOf(k.header));
        EXPECT_EQ(rig.registry.Subkeys(path).size(), k.header.appName == std::string("Default") ? 5u : 4u);
        for (int b = 0; b < kBankCount; ++b) {
            const std::string bank = path + "\\" + kBankKeyNames[b];
            EXPECT_EQ(rig.registry.ValueNames(bank).size(), 7u);
            for (int c = 0; c < kControlCount; ++c)
                EXPECT_EQ(rig.registry.Value(bank, kControlValueNames[c]), BytesOf(AssignmentAt(k, b, c)));
        }
    }
    EXPECT_FALSE(rig.registry.KeyExists(kStoreRootPath + std::string("\\Settings"))); // no prefs yet
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
}

TEST(KeysetRegistry, LoadGivesBackWhatWasSavedWithDefaultFirst) {
    RegistryRig rig;
    rig.store.Add(Keyset("Default", 0x11));
    rig.store.Add(Keyset("zoom", 0x22));
    rig.store.Add(Keyset("audacity", 0x33));
    rig.Save();

    rig.store.RemoveAll();
    rig.store.Add(Keyset("junk"));
    ASSERT_TRUE(rig.Load());
    // Subkeys come in the registry's order; "Default" is moved in front of them.
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "audacity", "zoom"}));
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(0), Keyset("Default", 0x11)));
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(1), Keyset("audacity", 0x33)));
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(2), Keyset("zoom", 0x22)));
    EXPECT_EQ(rig.registry.OpenHandles(), 0u);
}

// The first look gives the list and rules a load gives, the assignments of the current keyset only,
// and leaves the load that follows a whole one.
TEST(KeysetRegistry, AGlanceReadsTheCurrentKeysetAndTheLoadAfterItReadsTheRest) {
    RegistryRig rig;
    rig.store.Add(Keyset("Default", 0x11));
    rig.store.Add(Keyset("zoom", 0x22), WindowRule{"zoom", "Meeting", ""});
    rig.store.Add(Keyset("audacity", 0x33));
    rig.Save();
    CKeysetStore fresh{rig.shared, rig.names};
    CKeysetRegistry keysets{KeysetStorage{rig.registry, rig.lock, AsciiCase(), rig.watch}};
    rig.shared.SetCurrentKeysetIndex(2); // "zoom", in load order after "audacity"

    ASSERT_TRUE(keysets.Glance(fresh).Done() && fresh.GetCount() == 3);
    EXPECT_TRUE(SameBytes(*fresh.GetKeyset(2), Keyset("zoom", 0x22)));
    EXPECT_EQ(fresh.GetRule(2).title, "Meeting");
    EXPECT_TRUE(SameBytes(*fresh.GetKeyset(1), Keyset("audacity"))) << "not read yet";
    ASSERT_TRUE(keysets.LoadAll(fresh).Done());
    EXPECT_TRUE(SameBytes(*fresh.GetKeyset(1), Keyset("audacity", 0x33)));

    // "Default" shown: the load puts it first, and nothing else is read.
    rig.shared.SetCurrentKeysetIndex(0);
    ASSERT_TRUE(keysets.Glance(fresh).Done());
    ASSERT_EQ(fresh.GetCount(), 1);
    EXPECT_TRUE(SameBytes(*fresh.GetKeyset(0), Keyset("Default", 0x11)));
}

TEST(KeysetRegistry, LoadWithoutDefaultPutsANewOneFirst) {
    RegistryRig rig;
    rig.Put(Keyset("notepad", 0x22), "notepad");
    ASSERT_TRUE(rig.Load());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "notepad"}));
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(0), Keyset("Default")));

    RegistryRig empty;
    empty.registry.SetValue(kKeysets, "unrelated", Bytes(1)); // "Keysets" exists but holds no keyset
    LoadOrCreate(empty.store, empty.keysets);
    EXPECT_EQ(empty.Names(), std::vector<std::string>{"Default"});
}

TEST(KeysetRegistry, UnopenableRootOrKeysetsLeavesTheListAlone) {
    for (const char* failing : {kStoreRootPath, kKeysetsKeyPath}) {
        SCOPED_TRACE(failing);
        RegistryRig rig;
        rig.Put(Keyset("notepad"), "notepad");
        rig.registry.FailOpen(failing);
        rig.store.Add(Keyset("mine"));
        EXPECT_FALSE(rig.Load());
        EXPECT_EQ(rig.Names(), std::vector<std::string>{"mine"});
    }
}

TEST(KeysetRegistry, MissingBankKeyIsCreatedEmptyAndItsControlsKeepDefaults) {
    RegistryRig rig;
    rig.Put(Keyset("Default", 0x11), "Default");
    rig.registry.RemoveKey(kKeysets + "\\Default\\Shift Bank");
    ASSERT_TRUE(rig.Load());
    EXPECT_TRUE(rig.registry.KeyExists(kKeysets + "\\Default\\Shift Bank"));
    EXPECT_TRUE(rig.registry.ValueNames(kKeysets + "\\Default\\Shift Bank").empty());
    const KeysetRecord loaded = *rig.store.GetKeyset(0);
    const KeysetRecord fresh = Keyset("Default");
    EXPECT_EQ(std::memcmp(&loaded.banks[kShiftBank], &fresh.banks[kShiftBank], sizeof(BankRecord)), 0);
    EXPECT_EQ(AssignmentAt(loaded, kOptionShiftBank, kPlay).wheelSpeed, 0x1111);
}

// A value missing or of the wrong size ends its bank; the rest of that bank keeps the defaults of a
// new keyset, never the bytes of the keyset loaded before it.
TEST(KeysetRegistry, BankReadingStopsAtTheFirstUnusableValue) {
    const Bytes cases[] = {Bytes(), Bytes(379, 0x44), Bytes(381, 0x44)};
    for (const Bytes& stop : cases) {
        SCOPED_TRACE(stop.size());
        RegistryRig rig;
        rig.Put(Keyset("audacity", 0x22), "audacity"); // loaded first
        rig.Put(Keyset("zoom", 0x33), "zoom");
        const std::string bank = kKeysets + "\\zoom\\Option Bank";
        if (stop.empty())
            rig.registry.RemoveValue(bank, "Stop");
        else
            rig.registry.SetValue(bank, "Stop", stop);
        ASSERT_TRUE(rig.Load());
        const KeysetRecord zoom = *rig.store.GetKeyset(2);
        const KeysetRecord fresh = Keyset("zoom");
        EXPECT_EQ(AssignmentAt(zoom, kOptionBank, kPlay).wheelSpeed, 0x3333);
        for (int c = kStop; c < kControlCount; ++c)
            EXPECT_EQ(std::memcmp(&AssignmentAt(zoom, kOptionBank, c), &AssignmentAt(fresh, kOptionBank, c), 380), 0)
                << kControlValueNames[c];
        EXPECT_EQ(AssignmentAt(zoom, kShiftBank, kStop).wheelSpeed, 0x3333);
    }
}

TEST(KeysetRegistry, KeysetWithoutUsableAppPrefIsSkipped) {
    const Bytes cases[] = {Bytes(), Bytes(43, 'a'), Bytes(45, 'a')};
    for (const Bytes& header : cases) {
        SCOPED_TRACE(header.size());
        RegistryRig rig;
        rig.Put(Keyset("notepad"), "notepad");
        rig.Put(Keyset("broken"), "broken");
        if (header.empty())
            rig.registry.RemoveValue(kKeysets + "\\broken", "AppPref");
        else
            rig.registry.SetValue(kKeysets + "\\broken", "AppPref", header);
        ASSERT_TRUE(rig.Load());
        EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "notepad"}));
    }
}

TEST(KeysetRegistry, StringsWithoutTheirNulAreCutToTheirField) {
    RegistryRig rig;
    KeysetRecord record = Keyset("Default");
    std::memset(record.header.appName, 'd', sizeof record.header.appName);
    ControlAssignment& a = AssignmentAt(record, 0, 0);
    std::memset(a.windowTitle, 't', sizeof a.windowTitle);
    std::memset(a.windowClass, 'c', sizeof a.windowClass);
    std::memset(a.controlName, 'n', sizeof a.controlName);
    rig.Put(record, "long");
    ASSERT_TRUE(rig.Load());
    const KeysetRecord loaded = *rig.store.GetKeyset(1);
    EXPECT_EQ(std::string(loaded.header.appName), std::string(31, 'd'));
    const ControlAssignment& b = AssignmentAt(loaded, 0, 0);
    EXPECT_EQ(std::string(b.windowTitle), std::string(255, 't'));
    EXPECT_EQ(std::string(b.windowClass), std::string(62, 'c'));
    EXPECT_EQ(std::string(b.controlName), std::string(32, 'n'));

    rig.Save(); // and written back terminated within the field
    const Bytes title = *rig.registry.Value(kKeysets + "\\" + std::string(31, 'd') + "\\MainBank", "Play");
    EXPECT_EQ(title[28 + 255], 0);
}

// Key names ignore case: "Default" and "default" share one subkey, the later keyset's values win, and
// the load finds only that one; a new "Default" goes in front of it.
TEST(KeysetRegistry, NamesDifferingOnlyInCaseShareOneSubkey) {
    RegistryRig rig;
    rig.store.Add(Keyset("Default", 0x11));
    rig.store.Add(Keyset("default", 0x22));
    rig.Save();
    EXPECT_EQ(rig.registry.Subkeys(kKeysets), std::vector<std::string>{"Default"});
    ASSERT_TRUE(rig.Load());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "default"}));
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(0), Keyset("Default")));
    EXPECT_TRUE(SameBytes(*rig.store.GetKeyset(1), Keyset("default", 0x22)));
}

TEST(KeysetRegistry, KeysetsThatCannotBeStoredUnderTheirNameAreNotWritten) {
    RegistryRig rig;
    rig.store.Add(Keyset("Default"));
    rig.store.Add(Keyset(""));
    rig.store.Add(Keyset("a\\b"));
    rig.store.Add(Keyset("notepad"));
    rig.Save();
    EXPECT_EQ(rig.registry.Subkeys(kKeysets), (std::vector<std::string>{"Default", "notepad"}));
    EXPECT_EQ(rig.registry.ValueNames(kKeysets), std::vector<std::string>{"Changes"});
}

TEST(KeysetRegistry, WriteBankStopsAtTheFirstFailedWrite) {
    RegistryRig rig;
    rig.registry.FailWrite("FF");
    rig.store.Add(Keyset("Default"));
    rig.Save();
    EXPECT_EQ(rig.registry.ValueNames(kKeysets + "\\Default\\MainBank"), (std::vector<std::string>{"Play", "Stop"}));
}

TEST(KeysetRegistry, WritesAreMadeOnlyUnderTheLockAndLoadsGoOnWithoutIt) {
    RegistryRig rig;
    rig.store.Add(Keyset("Default"));
    rig.Save();
    EXPECT_EQ(rig.registry.journal.front(), "lock");
    EXPECT_EQ(rig.registry.journal.back(), "unlock");
    EXPECT_EQ(std::count(rig.registry.journal.begin(), rig.registry.journal.end(), "lock"), 1);

    // The other program kept the lock past the bounded wait: no write, and the failure says why.
    rig.lock.heldElsewhere = true;
    rig.store.Add(Keyset("notepad"));
    ControlAssignment a = *rig.store.GetAssignment(0, kMainBank, kPlay);
    a.hotKeyVk = 'P';
    rig.store.SetAssignment(0, kMainBank, kPlay, a);
    rig.registry.journal.clear();
    EXPECT_EQ(rig.keysets.SaveAll(rig.store).status, StoreResult::Status::kNotLocked);
    EXPECT_EQ(rig.keysets.StoreOne(rig.store, 0, kMainBank, kPlay)->status, StoreResult::Status::kNotLocked);
    EXPECT_EQ(rig.registry.journal, (std::vector<std::string>{"lock timed out", "lock timed out"}));
    EXPECT_EQ(rig.registry.Subkeys(kKeysets), std::vector<std::string>{"Default"});

    rig.store.RemoveAll();
    ASSERT_TRUE(rig.Load());
    EXPECT_EQ(rig.Names(), std::vector<std::string>{"Default"});
    EXPECT_EQ(rig.lock.Held(), 0);
}

// The rule lives in text values beside "AppPref"; a save writes only the fields that changed (an
// emptied one is deleted), a failed write is reported and tried again by the next save.
TEST(KeysetRegistry, WindowRulesRoundTripAndAreWrittenByTheField) {
    RegistryRig rig;
    rig.store.Add(Keyset("Default"));
    rig.store.Add(Keyset("browser"));
    rig.store.Add(Keyset("browser - Video"), WindowRule{"browser", "Video", ""});
    rig.Save();
    const std::string video = kKeysets + "\\browser - Video";
    EXPECT_EQ(rig.registry.ValueNames(video),
              (std::vector<std::string>{"AppPref", "Generation", "MatchProgram", "MatchTitle"}));
    EXPECT_EQ(*rig.registry.Value(video, "MatchTitle"), (Bytes{'V', 'i', 'd', 'e', 'o', 0}));
    EXPECT_EQ(rig.registry.ValueNames(kKeysets + "\\browser"), (std::vector<std::string>{"AppPref", "Generation"}));

    rig.registry.journal.clear();
    rig.store.SetRule(2, WindowRule{"browser", "", "EditorFrame"});
    rig.registry.FailWrite("MatchClass");
    EXPECT_FALSE(rig.keysets.SaveAll(rig.store).Done());
    rig.registry.FailNothing();
    rig.Save();
    std::vector<long> counts; // no AppPref; the emptied title deleted once; the class written once
    for (const std::string entry : {":AppPref", ":MatchTitle", ":MatchClass"})
        counts.push_back(std::count_if(rig.registry.journal.begin(), rig.registry.journal.end(),
                                       [&](const std::string& line) { return line.find(video + entry) != line.npos; }));
    EXPECT_EQ(counts, (std::vector<long>{0, 1, 1}));

    rig.keysets.Forget(); // read everything, as another program would
    rig.registry.SetValue(kKeysets + "\\browser", "MatchTitle", Bytes(300, 'x')); // a text left by hand
    ASSERT_TRUE(rig.Load());
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Default", "browser", "browser - Video"}));
    EXPECT_EQ(rig.store.GetRule(2), (WindowRule{"browser", "", "EditorFrame"}));
    EXPECT_EQ(rig.store.GetRule(1).title, std::string(kRuleFieldMax, 'x'));
    EXPECT_TRUE(rig.store.GetRule(0).Empty());
}

TEST(PrefsStorage, PrefsAreWrittenWholeAndReadOnlyWhenWhole) {
    FakeRegistry registry;
    PrefsRecord prefs;
    prefs.comPort = 2;
    ASSERT_TRUE(WritePrefs(registry, prefs).Done());
    const std::string settings = kStoreRootPath + std::string("\\Settings");
    EXPECT_EQ(registry.Value(settings, "Prefs"), (Bytes{1, 0, 0, 0, 2, 0, 0, 0}));

    PrefsRecord read;
    ASSERT_TRUE(ReadPrefs(registry, read));
    EXPECT_EQ(read.comPort, 2);

    const Bytes unusable[] = {Bytes(7, 0), Bytes(9, 0)};
    for (const Bytes& value : unusable) {
        registry.SetValue(settings, "Prefs", value);
        PrefsRecord defaults;
        EXPECT_FALSE(ReadPrefs(registry, defaults));
        EXPECT_EQ(defaults.loadAtStart, 1);
        EXPECT_EQ(defaults.comPort, 0);
    }
    registry.SetValue(settings, "Prefs", Bytes{0, 0, 0, 0, 9, 0, 0, 0});
    ASSERT_TRUE(ReadPrefs(registry, read));
    EXPECT_EQ(read.loadAtStart, 0);
    EXPECT_EQ(read.comPort, 0); // no such port: the first one
}

} // namespace
} // namespace qvl
