// The preferences record in the registry: the 8-byte binary value "Prefs" under "Settings" beside the
// keysets (the store's root). The editor writes it; both programs read it.
#pragma once

#include "model/prefs_record.h"
#include "model/registry.h"
#include "model/store_result.h"

namespace qvl {

constexpr const char* kSettingsKeyName = "Settings";
constexpr const char* kPrefsValueName = "Prefs";

// The stored preferences over `prefs`; false, with `prefs` unchanged, when there are none of the right
// size. A port outside COM1 to COM4 reads as COM1.
bool ReadPrefs(Registry& registry, PrefsRecord& prefs);
// Write `prefs` whole.
StoreResult WritePrefs(Registry& registry, const PrefsRecord& prefs);

} // namespace qvl
