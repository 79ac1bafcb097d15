#include "keyset_fixture.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

namespace qvl {
namespace {

using wintest::ChildProcess;
using wintest::FillKeysets;
using wintest::HoldsKeysets;
using wintest::RealStore;
using wintest::RunProgram;

const std::string kKeysets = kKeysetsKeyPath;

// Each test starts and ends without any stored keysets or preferences.
class KeysetRegistryWin32 : public testing::Test {
protected:
    void SetUp() override { RemoveAll(); }
    void TearDown() override { RemoveAll(); }
    static void RemoveAll() {
        Win32Registry registry;
        registry.DeleteTree(Registry::kCurrentUser, "Software\\Vendrake Electronics");
    }
};

struct KeyInfo {
    DWORD subkeys = 0;
    DWORD values = 0;
};

std::optional<KeyInfo> Info(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    KeyInfo info;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info.subkeys, nullptr, nullptr, &info.values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return info;
}

// Type and size of a stored value; type 0 and size 0 when it is missing.
std::pair<DWORD, DWORD> ValueShape(const std::string& path, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS)
        return {0, 0};
    return {type, size};
}

void SetRaw(const std::string& path, const char* name, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

TEST_F(KeysetRegistryWin32, NothingStoredGivesJustDefaultAndWritesNothing) {
    RealStore real;
    real.shared.SetCurrentKeysetIndex(4);
    LoadOrCreate(real.store, real.keysets);
    ASSERT_EQ(real.store.GetCount(), 1);
    EXPECT_EQ(real.store.GetCurrentName(), "Default");
    EXPECT_EQ(real.store.GetCurrentIndex(), 0);
    EXPECT_FALSE(Info(kStoreRootPath).has_value());
}

TEST_F(KeysetRegistryWin32, SaveLeavesExactlyThreeKeysetsInTheStoredLayout) {
    RealStore real;
    FillKeysets(real.store, 5, 1);
    real.Save();
    FillKeysets(real.store, 3, 2);
    real.Save();
    ASSERT_EQ(Info(kKeysets)->subkeys, 3u);
    EXPECT_EQ(Info(kKeysets)->values, 1u); // the writers' record of changes
    for (const char* name : {"Default", "app0", "app1"}) {
        const std::string keyset = kKeysets + "\\" + name;
        SCOPED_TRACE(keyset);
        EXPECT_EQ(Info(keyset)->subkeys, 4u);
        EXPECT_EQ(Info(keyset)->values, 2u);
        EXPECT_EQ(ValueShape(keyset, "AppPref"), std::make_pair(DWORD{REG_BINARY}, DWORD{44}));
        EXPECT_EQ(ValueShape(keyset, "Generation"), std::make_pair(DWORD{REG_BINARY}, DWORD{8}));
        for (const char* bank : kBankKeyNames) {
            const std::string bankPath = keyset + "\\" + bank;
            ASSERT_TRUE(Info(bankPath).has_value()) << bank;
            EXPECT_EQ(Info(bankPath)->values, 7u);
            EXPECT_EQ(Info(bankPath)->subkeys, 0u);
            for (const char* control : kControlValueNames)
                EXPECT_EQ(ValueShape(bankPath, control), std::make_pair(DWORD{REG_BINARY}, DWORD{380})) << control;
        }
    }
    RealStore reader;
    ASSERT_TRUE(reader.Load());
    EXPECT_TRUE(HoldsKeysets(reader.store, 3, 2));
}

TEST_F(KeysetRegistryWin32, MissingBankIsCreatedEmptyAndAMissingStopEndsItsBank) {
    RealStore real;
    FillKeysets(real.store, 2, 1);
    real.Save();
    Win32Registry registry;
    registry.DeleteTree(Registry::kCurrentUser, (kKeysets + "\\app0\\Shift Bank").c_str());
    RegDeleteKeyValueA(HKEY_CURRENT_USER, (kKeysets + "\\app0\\Option Bank").c_str(), "Stop");

    RealStore reader; // edits by hand: a program that has not seen the registry before
    ASSERT_TRUE(reader.Load());
    EXPECT_EQ(Info(kKeysets + "\\app0\\Shift Bank")->values, 0u);
    const KeysetRecord app = *reader.store.GetKeyset(reader.store.Find("app0").value_or(-1));
    KeysetRecord fresh;
    InitKeyset(fresh, "app0", 0, NoStrings());
    EXPECT_EQ(std::memcmp(&app.banks[kShiftBank], &fresh.banks[kShiftBank], sizeof(BankRecord)), 0);
    EXPECT_EQ(AssignmentAt(app, kOptionBank, kPlay).hotKeyVk, 1);
    for (int c = kStop; c < kControlCount; ++c)
        EXPECT_EQ(std::memcmp(&AssignmentAt(app, kOptionBank, c), &AssignmentAt(fresh, kOptionBank, c), 380), 0) << c;
    EXPECT_EQ(AssignmentAt(app, kOptionShiftBank, kStop).hotKeyVk, 1);
}

TEST_F(KeysetRegistryWin32, WrongSizedValuesAreTreatedAsMissing) {
    RealStore real;
    FillKeysets(real.store, 3, 1);
    real.Save();
    const std::vector<unsigned char> bytes(400, 0x5A);
    SetRaw(kKeysets + "\\app0", "AppPref", bytes.data(), 45);              // no usable identity: skipped
    SetRaw(kKeysets + "\\app1\\MainBank", "FF", bytes.data(), 379);        // ends the bank
    SetRaw(kKeysets + "\\Default\\MainBank", "Record", bytes.data(), 381); // ends the bank

    RealStore reader;
    ASSERT_TRUE(reader.Load());
    ASSERT_EQ(reader.store.GetCount(), 2);
    EXPECT_EQ(reader.store.Find("app0"), std::nullopt);
    const KeysetRecord app = *reader.store.GetKeyset(reader.store.Find("app1").value_or(-1));
    EXPECT_EQ(AssignmentAt(app, kMainBank, kStop).hotKeyVk, 1);
    EXPECT_EQ(AssignmentAt(app, kMainBank, kFastForward).hotKeyVk, 0);
    EXPECT_EQ(AssignmentAt(app, kMainBank, kFastForward).wheelSpeed, 64);
    const KeysetRecord defaults = *reader.store.GetKeyset(0);
    EXPECT_EQ(AssignmentAt(defaults, kMainBank, kRewind).hotKeyVk, 1);
    EXPECT_EQ(AssignmentAt(defaults, kMainBank, kRecord).hotKeyVk, 0);
}

TEST_F(KeysetRegistryWin32, DefaultAndDefaultInLowerCaseShareOneSubkey) {
    RealStore real;
    FillKeysets(real.store, 1, 1);
    KeysetRecord lower = *real.store.GetKeyset(0);
    CopyToField(lower.header.appName, "default");
    AssignmentAt(lower, kMainBank, kPlay).hotKeyVk = 'L';
    real.store.Add(lower);
    real.Save();
    EXPECT_EQ(Info(kKeysets)->subkeys, 1u);

    ASSERT_TRUE(real.Load());
    ASSERT_EQ(real.store.GetCount(), 2);
    EXPECT_TRUE(real.store.NameEquals(0, "Default"));
    EXPECT_EQ(real.store.GetAssignment(0, kMainBank, kPlay)->specialKey, kSpecialEnter); // a new one
    EXPECT_TRUE(real.store.NameEquals(1, "default"));
    EXPECT_EQ(real.store.GetAssignment(1, kMainBank, kPlay)->hotKeyVk, 'L');
}

TEST_F(KeysetRegistryWin32, WhatOneProcessSavesAnotherLoads) {
    RealStore real;
    FillKeysets(real.store, 6, 7);
    real.Save();
    EXPECT_EQ(RunProgram("keyset_peer.exe", "check 6 7"), std::optional<DWORD>(0));
    EXPECT_EQ(RunProgram("keyset_peer.exe", "check 6 8"), std::optional<DWORD>(3));

    ASSERT_EQ(RunProgram("keyset_peer.exe", "save 4 9"), std::optional<DWORD>(0));
    ASSERT_TRUE(real.Load());
    EXPECT_TRUE(HoldsKeysets(real.store, 4, 9));
}

// The editor adds keysets whose names sort before the others (where an underscore sorts depends on the
// system's registry); after its save its list is in the order the driver's load gives, and the shared
// index names the same keyset in both.
TEST_F(KeysetRegistryWin32, AfterASaveBothProgramsHoldTheListInOneOrder) {
    RealStore editor;
    FillKeysets(editor.store, 3, 1);
    SaveAllKeysets(editor.store, editor.keysets);
    RealStore driver;
    ASSERT_TRUE(driver.Load());
    for (const char* name : {"_tool", "Aardvark"}) {
        KeysetRecord record;
        InitKeyset(record, name, 0, editor.names);
        editor.store.Add(record);
        editor.store.SetCurrentIndex(editor.store.GetCount() - 1);
        SaveAllKeysets(editor.store, editor.keysets);
        ASSERT_TRUE(driver.Load());
        std::vector<std::string> inEditor, inDriver;
        for (int i = 0; i < editor.store.GetCount(); ++i)
            inEditor.push_back(editor.store.GetName(i));
        for (int i = 0; i < driver.store.GetCount(); ++i)
            inDriver.push_back(driver.store.GetName(i));
        EXPECT_EQ(inEditor, inDriver);
        EXPECT_EQ(editor.store.GetCurrentName(), name);
        EXPECT_EQ(driver.store.GetName(editor.store.GetCurrentIndex()), name);
    }
}

// The other program saves over and over while this one loads: every load sees one whole save.
TEST_F(KeysetRegistryWin32, LoadsNeverSeeHalfASaveOfTheOtherProgram) {
    RealStore real;
    FillKeysets(real.store, 12, 1);
    real.Save();
    ChildProcess churn;
    ASSERT_TRUE(churn.Start("keyset_peer.exe", "churn 12 1 15"));
    int loads = 0;
    int partial = 0;
    while (!churn.Wait(0).has_value()) {
        ASSERT_TRUE(real.Load());
        ++loads;
        if (!HoldsKeysets(real.store, 12, 1) && !HoldsKeysets(real.store, 12, 2))
            ++partial;
    }
    EXPECT_EQ(churn.Wait(0), std::optional<DWORD>(0));
    EXPECT_GT(loads, 2);
    EXPECT_EQ(partial, 0) << "of " << loads << " loads";
}

// The registry's own notification, as this system gives it: a write by another process deep under
// "Keysets", and "Keysets" deleted and made again are seen; nothing is seen when nobody wrote. A
// reload then reads what a writer without a record of changes left.
TEST_F(KeysetRegistryWin32, TheNotificationSeesEveryWriterAndAReloadReadsWhatTheyWrote) {
    RealStore editor;
    FillKeysets(editor.store, 3, 1);
    editor.Save();
    RealStore driver;
    ASSERT_TRUE(driver.Load());
    Win32KeysetWatch watch;
    watch.Arm(kKeysets);
    EXPECT_FALSE(watch.Changed());
    ASSERT_EQ(RunProgram("keyset_peer.exe", "save 3 2"), std::optional<DWORD>(0));
    EXPECT_TRUE(wintest::WaitUntil([&] { return watch.Changed(); })) << "another process";
    watch.Arm(kKeysets);
    EXPECT_FALSE(watch.Changed());

    Win32Registry registry;
    ASSERT_TRUE(registry.DeleteTree(Registry::kCurrentUser, kKeysetsKeyPath));
    EXPECT_TRUE(wintest::WaitUntil([&] { return watch.Changed(); })) << "Keysets deleted";
    editor.Save();
    watch.Arm(kKeysets); // opens the new "Keysets"
    EXPECT_FALSE(watch.Changed());
    ASSERT_TRUE(driver.Load()); // which watches the new "Keysets" too

    // The editor saves, then a value is set by hand, "Changes" untouched: the driver's watch looks at
    // each as it comes (on its own thread), so the editor's record does not hide the second write.
    ControlAssignment stop = *editor.store.GetAssignment(2, kMainBank, kStop);
    stop.hotKeyVk = 'S';
    editor.store.SetAssignment(2, kMainBank, kStop, stop);
    editor.Save();
    ASSERT_TRUE(wintest::WaitUntil([&] { return !driver.watch.Changed(); })) << "the driver's watch looked";
    ControlAssignment play = *editor.store.GetAssignment(1, kMainBank, kPlay);
    play.hotKeyVk = 'C';
    SetRaw(kKeysets + "\\app0\\MainBank", "Play", &play, sizeof play);
    ASSERT_TRUE(wintest::WaitUntil([&] { return !driver.watch.Changed(); })) << "the driver's watch looked";
    ASSERT_TRUE(driver.Load());
    EXPECT_EQ(driver.store.GetAssignment(*driver.store.Find("app0"), kMainBank, kPlay)->hotKeyVk, 'C');
    EXPECT_EQ(driver.store.GetAssignment(*driver.store.Find("app1"), kMainBank, kStop)->hotKeyVk, 'S');
}

// The rule by which two keyset names are one is the registry's own: a subkey made under one name
// opens under the other exactly when the rule says they are the same.
TEST_F(KeysetRegistryWin32, TheNameRuleIsTheRegistrysOwn) {
    const std::pair<const char*, const char*> pairs[] = {
        {"\xC4udio", "\xE4UDIO"}, {"WaveEdit", "waveedit"}, {"\xFF", "\x9F"}, {"\xDF", "SS"}, {"wave", "waves"}};
    Win32Registry registry;
    SystemTextCase rule;
    for (const auto& [made, other] : pairs) {
        SCOPED_TRACE(other);
        const RegKey keysets = RegKey::Create(registry, Registry::kCurrentUser, kKeysetsKeyPath);
        ASSERT_TRUE(RegKey::Create(registry, keysets.Get(), made));
        EXPECT_EQ(static_cast<bool>(RegKey::Open(registry, keysets.Get(), other)), rule.Same(made, other));
        registry.DeleteTree(keysets.Get(), made);
    }
}

// Steps are stored as the registry's own UTF-16, so a text with characters of any script and one
// beyond U+FFFF (two UTF-16 units) comes back from a save and a load byte for byte.
TEST_F(KeysetRegistryWin32, StepsWithAnyCharacterSurviveASaveAndALoad) {
    const AssignmentSteps steps{"\"\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9D\x84\x9E\", Ctrl+S", "", true};
    RealStore real, reader;
    FillKeysets(real.store, 2, 1);
    real.store.SetAssignmentSteps(1, kShiftBank, kStop, steps);
    real.Save();
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    const std::wstring bank = L"Software\\Vendrake Electronics\\QVL2\\Keysets\\app0\\Shift Bank";
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, bank.c_str(), L"Stop Steps", RRF_RT_REG_SZ, nullptr, text, &size), 0);
    EXPECT_EQ(std::wstring(text), L"\"\x65E5\x672C \xD834\xDD1E\", Ctrl+S");
    EXPECT_EQ(ValueShape(kKeysets + "\\app0\\Shift Bank", "Stop Repeat"), std::make_pair(DWORD{REG_DWORD}, DWORD{4}));
    ASSERT_TRUE(reader.Load());
    EXPECT_TRUE(reader.store.GetAssignmentSteps(*reader.store.Find("app0"), kShiftBank, kStop) == steps);
}

TEST(KeysetLockWin32, WaitsBoundedForTheOtherHolderAndTakesOverAnAbandonedOne) {
    const char* name = "QVL2KeysetsLockTest";
    Win32KeysetLock mine(name, 100);
    ASSERT_TRUE(mine.Acquire());
    bool otherGotIt = true;
    std::thread([&] {
        Win32KeysetLock other(name, 100);
        otherGotIt = other.Acquire();
    }).join();
    EXPECT_FALSE(otherGotIt);
    mine.Release();

    std::thread([&] {
        Win32KeysetLock quitter(name, 100);
        ASSERT_TRUE(quitter.Acquire()); // and the thread ends holding it
    }).join();
    EXPECT_TRUE(mine.Acquire());
    mine.Release();
}

TEST(KeysetLockWin32, ANameHeldByAnotherKindOfObjectLeavesLoadsUnlocked) {
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, "QVL2KeysetsLockSquatted");
    ASSERT_NE(squatter, nullptr);
    Win32KeysetLock lock("QVL2KeysetsLockSquatted", 100);
    EXPECT_FALSE(lock.Acquire());
    CloseHandle(squatter);
}

} // namespace
} // namespace qvl
