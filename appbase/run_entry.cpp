#include "appbase/run_entry.h"

#include "model/shared_names.h"

namespace qvl {

StoreResult RunKeyEntry::Write(const std::string& commandLine) {
    const RegKey key = RegKey::Create(registry_, Registry::kCurrentUser, kRunKeyPath);
    if (!key)
        return StoreResult::Failed(key.Status());
    return StoreResult::Of(registry_.WriteText(key.Get(), kRunValueName, commandLine.c_str()));
}

StoreResult RunKeyEntry::Remove() {
    return StoreResult::Of(registry_.DeleteValue(Registry::kCurrentUser, kRunKeyPath, kRunValueName));
}

} // namespace qvl
