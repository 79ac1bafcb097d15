#include "appbase/run_entry.h"

#include "model/shared_names.h"

namespace qvl {

bool RunKeyEntry::Write(const std::string& commandLine) {
    const RegKey key = RegKey::Create(registry_, Registry::kCurrentUser, kRunKeyPath);
    return key && registry_.WriteText(key.Get(), kRunValueName, commandLine.c_str());
}

bool RunKeyEntry::Remove() {
    return registry_.DeleteValue(Registry::kCurrentUser, kRunKeyPath, kRunValueName);
}

} // namespace qvl
