// The save the keyset store made before it wrote only what differs: delete "Keysets" with everything
// under it, then write every keyset again. Kept here as the yardstick of the store's timings.
#pragma once

#include "model/keyset_registry.h"

namespace qvl::bench {

inline void WholeKeysetSave(Registry& registry, KeysetLock& lock, const char* rootPath, const CKeysetStore& store) {
    KeysetLockGuard guard(lock);
    RegKey root = RegKey::Create(registry, Registry::kCurrentUser, rootPath);
    if (!root)
        return;
    registry.DeleteTree(root.Get(), kKeysetsKeyName);
    RegKey keysets = RegKey::Create(registry, root.Get(), kKeysetsKeyName);
    for (int index = 0; keysets && index < store.GetCount(); ++index) {
        const KeysetRecord record = *store.GetKeyset(index);
        RegKey keyset = RegKey::Create(registry, keysets.Get(), record.header.appName);
        if (!keyset)
            continue;
        registry.WriteBinary(keyset.Get(), kAppPrefValueName, &record.header, sizeof record.header);
        for (int bank = 0; bank < kBankCount; ++bank) {
            RegKey bankKey = RegKey::Create(registry, keyset.Get(), kBankKeyNames[bank]);
            for (int control = 0; bankKey && control < kControlCount; ++control)
                registry.WriteBinary(bankKey.Get(), kControlValueNames[control], &AssignmentAt(record, bank, control),
                                     sizeof(ControlAssignment));
        }
    }
}

} // namespace qvl::bench
