#include "model/keyset_registry.h"

#include <memory>
#include <vector>

namespace qvl {

namespace {

// Read a value that must be exactly one record long. A value of any other size is treated as missing:
// copying a short one would leave half a record, and a long one would spill into the next field.
template <typename Record> bool ReadRecord(Registry& registry, Registry::Key key, const char* name, Record& record) {
    Record scratch;
    const std::optional<std::size_t> stored = registry.ReadValue(key, name, &scratch, sizeof scratch);
    if (!stored || *stored != sizeof scratch)
        return false;
    record = scratch;
    return true;
}

// A name that the registry would store somewhere else: an empty subkey name opens "Keysets" itself,
// and a backslash makes a path. Such a keyset could never be loaded back from where it was written.
bool IsStorableName(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos;
}

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

} // namespace

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

    store_->RemoveAll();
    std::uint32_t count = 0;
    std::uint32_t longestName = 0;
    if (registry_.QueryKeyInfo(keysets.Get(), count, longestName)) {
        std::vector<char> name(static_cast<std::size_t>(longestName) + 1);
        std::unique_ptr<KeysetRecord> record = std::make_unique<KeysetRecord>();
        for (std::uint32_t index = 0; index < count; ++index) {
            if (!registry_.EnumSubkey(keysets.Get(), index, name.data(), name.size()))
                continue;
            RegKey keyset = RegKey::Open(registry_, keysets.Get(), name.data());
            AppPref header;
            if (!keyset || !ReadRecord(registry_, keyset.Get(), kAppPrefValueName, header))
                continue; // no identity: not a keyset
            TerminateField(header.appName);
            // Whatever is not stored keeps the defaults of a new keyset of that name, never the bytes
            // of the keyset read before it.
            InitKeyset(*record, header.appName, header.reservedA, store_->Names());
            record->header = header;
            ReadBanks(keyset.Get(), *record);
            store_->Add(*record);
        }
    }
    PutDefaultFirst(*store_);
    return true;
}

void CKeysetRegistry::ReadBanks(Registry::Key keysetKey, KeysetRecord& record) {
    for (int bank = 0; bank < kBankCount; ++bank) {
        RegKey bankKey = RegKey::Create(registry_, keysetKey, kBankKeyNames[bank]);
        if (bankKey)
            ReadBank(bankKey.Get(), record.banks[bank]);
    }
}

bool CKeysetRegistry::ReadBank(Registry::Key bankKey, BankRecord& bank) {
    for (int control = 0; control < kControlCount; ++control) {
        if (!ReadRecord(registry_, bankKey, kControlValueNames[control], bank.controls[control]))
            return false;
    }
    return true;
}

void CKeysetRegistry::SaveAll() {
    if (store_ == nullptr)
        return;
    KeysetLockGuard guard(lock_);
    RegKey root = RegKey::Create(registry_, Registry::kCurrentUser, root_.c_str());
    if (!root)
        return;
    registry_.DeleteTree(root.Get(), kKeysetsKeyName);
    RegKey keysets = RegKey::Create(registry_, root.Get(), kKeysetsKeyName);
    if (keysets) {
        for (int index = 0; index < store_->GetCount(); ++index) {
            if (const std::optional<KeysetRecord> record = store_->GetKeyset(index))
                WriteKeyset(keysets.Get(), *record);
        }
    }
    keysets.Close();
    if (const PrefsRecord* prefs = store_->Prefs())
        WritePrefs(*prefs);
}

void CKeysetRegistry::WriteKeyset(Registry::Key keysetsKey, const KeysetRecord& record) {
    const std::string name = ReadField(record.header.appName);
    if (!IsStorableName(name))
        return;
    // Subkey names ignore case: a keyset whose name differs from an earlier one only in case lands
    // in the same subkey and overwrites its values.
    RegKey keyset = RegKey::Create(registry_, keysetsKey, name.c_str());
    if (!keyset)
        return;
    registry_.WriteBinary(keyset.Get(), kAppPrefValueName, &record.header, sizeof record.header);
    WriteBanks(keyset.Get(), record);
}

void CKeysetRegistry::WriteBanks(Registry::Key keysetKey, const KeysetRecord& record) {
    for (int bank = 0; bank < kBankCount; ++bank) {
        RegKey bankKey = RegKey::Create(registry_, keysetKey, kBankKeyNames[bank]);
        if (bankKey)
            WriteBank(bankKey.Get(), record.banks[bank]);
    }
}

bool CKeysetRegistry::WriteBank(Registry::Key bankKey, const BankRecord& bank) {
    for (int control = 0; control < kControlCount; ++control) {
        const ControlAssignment& assignment = bank.controls[control];
        if (!registry_.WriteBinary(bankKey, kControlValueNames[control], &assignment, sizeof assignment))
            return false;
    }
    return true;
}

bool CKeysetRegistry::ReadPrefs(PrefsRecord& prefs) {
    RegKey root = RegKey::Open(registry_, Registry::kCurrentUser, root_.c_str());
    RegKey settings = RegKey::Open(registry_, root.Get(), kSettingsKeyName);
    PrefsRecord stored;
    if (!settings || !ReadRecord(registry_, settings.Get(), kPrefsValueName, stored))
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

} // namespace qvl
