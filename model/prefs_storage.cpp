#include "model/prefs_storage.h"

#include "model/shared_names.h"

namespace qvl {

bool ReadPrefs(Registry& registry, PrefsRecord& prefs) {
    const RegKey root = RegKey::Open(registry, Registry::kCurrentUser, kStoreRootPath);
    const RegKey settings = RegKey::Open(registry, root.Get(), kSettingsKeyName);
    PrefsRecord stored;
    if (!settings || registry.ReadValue(settings.Get(), kPrefsValueName, &stored, sizeof stored) != sizeof stored)
        return false;
    if (stored.comPort < 0 || stored.comPort >= kComPortCount)
        stored.comPort = PrefsRecord().comPort;
    prefs = stored;
    return true;
}

StoreResult WritePrefs(Registry& registry, const PrefsRecord& prefs) {
    const RegKey root = RegKey::Create(registry, Registry::kCurrentUser, kStoreRootPath);
    const RegKey settings = RegKey::Create(registry, root, kSettingsKeyName);
    if (!settings)
        return StoreResult::Failed(settings.Status());
    return StoreResult::Of(registry.WriteBinary(settings.Get(), kPrefsValueName, &prefs, sizeof prefs));
}

} // namespace qvl
