#include "model/keyset_registry.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

namespace qvl {

namespace {

// Both programs treat index 0 as "Default", while the registry lists subkeys in its own order.
void PutDefaultFirst(CKeysetStore& store) {
    const int found = store.Find(kDefaultKeysetName);
    if (found == 0)
        return;
    std::unique_ptr<KeysetRecord> record = std::make_unique<KeysetRecord>();
    if (found > 0) {
        *record = *store.GetKeyset(found);
        store.RemoveAt(found);
    } else {
        InitKeyset(*record, kDefaultKeysetName, 0, store.Names());
    }
    store.InsertAt(0, *record);
}

bool IsAssignmentIndex(int bank, int control) {
    return bank >= 0 && bank < kBankCount && control >= 0 && control < kControlCount;
}

} // namespace

bool IsStorableKeysetName(std::string_view name) {
    return !name.empty() && name.size() < sizeof(AppPref::appName) && name.find('\\') == std::string_view::npos;
}

int CKeysetRegistry::SetRootPath(const char* path) {
    root_ = path;
    return RegKey::Open(registry_, Registry::kCurrentUser, path) ? 1 : 0;
}

bool CKeysetRegistry::LoadAll() {
    if (store_ == nullptr)
        return false;
    KeysetLockGuard guard(lock_);
    RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    if (!root)
        return false;
    RegKey keysets = RegKey::Open(registry_, root.Get(), kKeysetsKeyName);
    if (!keysets)
        return false;
    Refresh(keysets.Get());
    TakeLoadedList();
    return true;
}

void CKeysetRegistry::TakeLoadedList() {
    store_->RemoveAll();
    for (const StoredSubkey& subkey : store_->Stored().subkeys)
        if (subkey.taken)
            store_->Add(subkey.loaded);
    PutDefaultFirst(*store_);
}

bool CKeysetRegistry::SaveAll() {
    if (store_ == nullptr)
        return false;
    KeysetLockGuard guard(lock_);
    RegKey root = RegKey::Create(registry_, Registry::kCurrentUser, root_.c_str());
    if (!root)
        return false;
    bool written = false;
    RegKey keysets = RegKey::Create(registry_, root.Get(), kKeysetsKeyName);
    if (keysets) {
        Refresh(keysets.Get());
        written = WriteChanges(keysets.Get());
        PutInLoadOrder();
    }
    keysets.Close();
    if (const PrefsRecord* prefs = store_->Prefs())
        written = WritePrefsIfChanged(*prefs) && written;
    return written;
}

void CKeysetRegistry::PutInLoadOrder() {
    std::vector<std::string> order; // folded names in load order
    for (const StoredSubkey& subkey : store_->Stored().subkeys)
        if (subkey.taken)
            order.push_back(subkey.foldedAppName);
    const int count = store_->GetCount();
    std::vector<std::size_t> rank(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const std::string folded = registry_.FoldKeyName(store_->GetName(index));
        rank[static_cast<std::size_t>(index)] =
            static_cast<std::size_t>(std::find(order.begin(), order.end(), folded) - order.begin());
    }
    std::vector<int> moved(static_cast<std::size_t>(count));
    std::iota(moved.begin(), moved.end(), 0);
    // "Default" stays in front of the registry's order, as a load puts it.
    const int first = store_->NameEquals(0, kDefaultKeysetName) ? 1 : 0;
    std::stable_sort(moved.begin() + std::min(first, count), moved.end(), [&](int a, int b) {
        return rank[static_cast<std::size_t>(a)] < rank[static_cast<std::size_t>(b)];
    });
    if (std::is_sorted(moved.begin(), moved.end()))
        return;
    std::vector<KeysetRecord> records;
    records.reserve(moved.size());
    for (int from : moved)
        records.push_back(*store_->GetKeyset(from));
    for (int index = 0; index < count; ++index)
        store_->SetKeyset(index, records[static_cast<std::size_t>(index)]);
    const int current = store_->GetCurrentIndex();
    const auto at = std::find(moved.begin(), moved.end(), current);
    if (at != moved.end())
        store_->SetCurrentIndex(static_cast<int>(at - moved.begin()));
}

CKeysetRegistry::StoreResult CKeysetRegistry::StoreOne(int index, int bank, int control) {
    if (store_ == nullptr || !IsAssignmentIndex(bank, control))
        return StoreResult::kFailed;
    const std::optional<KeysetRecord> record = store_->GetKeyset(index);
    const std::string name = store_->GetName(index);
    if (!record || !IsStorableKeysetName(name))
        return StoreResult::kFailed;
    KeysetLockGuard guard(lock_);
    RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    RegKey keysets = RegKey::Open(registry_, root.Get(), kKeysetsKeyName);
    if (!keysets)
        return StoreResult::kNotStored;
    Refresh(keysets.Get());
    StoredKeysets& image = store_->Stored();
    const std::string folded = registry_.FoldKeyName(name);
    StoredSubkey* subkey = image.Find(folded);
    if (subkey == nullptr || !subkey->taken || subkey->foldedAppName != folded)
        return StoreResult::kNotStored;
    RegKey keyset = RegKey::Open(registry_, keysets.Get(), subkey->name.c_str());
    if (!keyset)
        return StoreResult::kFailed;

    // The record under "Keysets" and the keyset's own generation move first: a reader that finds
    // them moved reads this keyset again, whatever happens to this program before the value is written.
    std::uint64_t generation = 0;
    if (!RecordChanges(keysets.Get(), {subkey->name}, false, generation))
        return StoreResult::kFailed;
    subkey->generation =
        registry_.WriteBinary(keyset.Get(), kGenerationValueName, &generation, sizeof generation) ? generation : 0;
    RegKey bankKey = RegKey::Create(registry_, keyset.Get(), kBankKeyNames[bank]);
    const ControlAssignment& assignment = AssignmentAt(*record, bank, control);
    const int value = AssignmentValue(bank, control);
    if (!bankKey ||
        !registry_.WriteBinary(bankKey.Get(), kControlValueNames[control], &assignment, sizeof assignment)) {
        subkey->generation = 0; // what is stored there now is not known: read it again next time
        return StoreResult::kFailed;
    }
    AssignmentAt(subkey->stored, bank, control) = assignment;
    subkey->present |= 1u << value;
    DeriveLoaded(*subkey, store_->Names());
    return StoreResult::kWritten;
}

bool CKeysetRegistry::ReadPrefs(PrefsRecord& prefs) {
    RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    RegKey settings = RegKey::Open(registry_, root.Get(), kSettingsKeyName);
    PrefsRecord stored;
    if (!settings || registry_.ReadValue(settings.Get(), kPrefsValueName, &stored, sizeof stored) != sizeof stored)
        return false;
    if (stored.comPort < 0 || stored.comPort >= kComPortCount)
        stored.comPort = PrefsRecord().comPort;
    prefs = stored;
    return true;
}

bool CKeysetRegistry::WritePrefs(const PrefsRecord& prefs) {
    RegKey root = RegKey::Create(registry_, Registry::kCurrentUser, root_.c_str());
    RegKey settings = RegKey::Create(registry_, root.Get(), kSettingsKeyName);
    return settings && registry_.WriteBinary(settings.Get(), kPrefsValueName, &prefs, sizeof prefs);
}

bool CKeysetRegistry::WritePrefsIfChanged(const PrefsRecord& prefs) {
    RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    RegKey settings = RegKey::Open(registry_, root.Get(), kSettingsKeyName);
    PrefsRecord stored;
    if (settings && registry_.ReadValue(settings.Get(), kPrefsValueName, &stored, sizeof stored) == sizeof stored &&
        std::memcmp(&stored, &prefs, sizeof prefs) == 0)
        return true;
    return WritePrefs(prefs);
}

void LoadOrCreate(CKeysetStore& store, KeysetStorage storage) {
    CKeysetRegistry probe(storage);
    const bool stored = probe.SetRootPath(kKeysetsKeyPath) == 1;
    store.RemoveAll();
    if (stored) {
        CKeysetRegistry registry(storage);
        registry.Attach(store);
        registry.LoadAll();
    }
    // "Keysets" may also have vanished between the check and the load.
    if (store.GetCount() == 0) {
        store.SetCurrentIndex(0);
        std::unique_ptr<KeysetRecord> record = std::make_unique<KeysetRecord>();
        InitKeyset(*record, kDefaultKeysetName, 0, store.Names());
        store.Add(*record);
    }
}

void SaveAllKeysets(CKeysetStore& store, KeysetStorage storage) {
    CKeysetRegistry registry(storage);
    registry.Attach(store);
    registry.SaveAll();
    store.Shared().SetKeysetsChanged(1); // after the save: whoever sees the flag finds the new keysets
}

bool ReloadAllKeysets(CKeysetStore& store, KeysetStorage storage) {
    CKeysetRegistry registry(storage);
    registry.Attach(store);
    return registry.LoadAll();
}

bool StoreAssignment(CKeysetStore& store, KeysetStorage storage, int index, int bank, int control) {
    CKeysetRegistry registry(storage);
    registry.Attach(store);
    CKeysetRegistry::StoreResult result = registry.StoreOne(index, bank, control);
    // A keyset that has no subkey yet (or shares one with another name) is written by a save.
    const bool written = result == CKeysetRegistry::StoreResult::kWritten ||
                         (result == CKeysetRegistry::StoreResult::kNotStored && registry.SaveAll());
    if (written)
        store.Shared().SetKeysetsChanged(1);
    return written;
}

} // namespace qvl
