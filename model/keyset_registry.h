// Loads and saves the whole keyset list in the registry of the current user:
//
//   Software\Vendrake Electronics\QVL2
//     Keysets\<appName>             "AppPref" (44 bytes)
//       MainBank, Option Bank, Shift Bank, Option+Shift Bank
//                                   "Play" "Stop" "FF" "RR" "Record" "CCWheel" "CWheel" (380 bytes each)
//     Settings                      "Prefs" (8 bytes)
//
// All values are binary copies of the records. A save replaces the whole "Keysets" key; a load
// replaces the whole list. The subkey name only finds a keyset; its identity is the name inside
// "AppPref". A CKeysetRegistry is made for one load or one save and then dropped.
#pragma once

#include "model/keyset_lock.h"
#include "model/keyset_store.h"
#include "model/registry.h"
#include "model/shared_names.h"

#include <string>

namespace qvl {

constexpr const char* kKeysetsKeyName = "Keysets";
constexpr const char* kSettingsKeyName = "Settings";
constexpr const char* kAppPrefValueName = "AppPref";
constexpr const char* kPrefsValueName = "Prefs";
constexpr const char* kDefaultKeysetName = "Default";

// What a whole-set load or save works with: the registry and the lock shared with the other program.
struct KeysetStorage {
    Registry& registry;
    KeysetLock& lock;
};

class CKeysetRegistry {
public:
    explicit CKeysetRegistry(KeysetStorage storage) : registry_(storage.registry), lock_(storage.lock) {}
    CKeysetRegistry(const CKeysetRegistry&) = delete;
    CKeysetRegistry& operator=(const CKeysetRegistry&) = delete;

    // Remember `path` as the root (it starts as kStoreRootPath); 1 when that key exists, else 0.
    int SetRootPath(const char* path);
    void Attach(CKeysetStore& store) { store_ = &store; }

    // Replace the attached store's list with the stored keysets, "Default" first. False, with the list
    // unchanged, when the root or "Keysets" cannot be opened.
    bool LoadAll();
    // Replace the stored keysets with the attached store's list, then write the store's preferences
    // when it has them.
    void SaveAll();

    // The four banks of `record` from the bank subkeys of `keysetKey`; a missing bank subkey is
    // created empty and leaves that bank as it was.
    void ReadBanks(Registry::Key keysetKey, KeysetRecord& record);
    // The seven assignments of one bank, in control order, up to the first value that is missing or
    // of the wrong size; true when all seven were read.
    bool ReadBank(Registry::Key bankKey, BankRecord& bank);
    void WriteBanks(Registry::Key keysetKey, const KeysetRecord& record);
    // The seven assignments of one bank, up to the first write that fails; true when all were written.
    bool WriteBank(Registry::Key bankKey, const BankRecord& bank);

    // The stored preferences over `prefs`; false, with `prefs` unchanged, when there are none of the
    // right size. A port outside COM1 to COM4 reads as COM1.
    bool ReadPrefs(PrefsRecord& prefs);
    bool WritePrefs(const PrefsRecord& prefs);

private:
    void WriteKeyset(Registry::Key keysetsKey, const KeysetRecord& record);

    Registry& registry_;
    KeysetLock& lock_;
    CKeysetStore* store_ = nullptr;
    std::string root_ = kStoreRootPath;
};

// The start-up load: the stored keysets when there are any, else just a new "Default" and current
// index 0. Writes nothing; callers save afterwards.
void LoadOrCreate(CKeysetStore& store, KeysetStorage storage);

// Write the whole store to the registry, then raise keysetsChanged so the other program (and the
// driver itself, at its next event) reloads. The driver saves this way at start-up and when the user
// accepts a new click window.
void SaveAllKeysets(CKeysetStore& store, KeysetStorage storage);

} // namespace qvl
