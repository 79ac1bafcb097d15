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

NoteSettings NoteSettingsFromBits(std::uint32_t bits) {
    NoteSettings notes;
    notes.keyset = (bits & kNoteKeysetBit) != 0;
    notes.actions = (bits & kNoteActionsBit) != 0;
    return notes;
}

std::uint32_t NoteSettingsBits(const NoteSettings& notes) {
    return (notes.keyset ? kNoteKeysetBit : 0u) | (notes.actions ? kNoteActionsBit : 0u);
}

NoteSettings ReadNotes(Registry& registry) {
    const RegKey root = RegKey::Open(registry, Registry::kCurrentUser, kStoreRootPath);
    const RegKey settings = RegKey::Open(registry, root.Get(), kSettingsKeyName);
    unsigned char bytes[4] = {};
    if (!settings || registry.ReadValue(settings.Get(), kNotesValueName, bytes, sizeof bytes) != sizeof bytes)
        return NoteSettings();
    // A REG_DWORD is little-endian on every machine the programs run on.
    return NoteSettingsFromBits(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                static_cast<std::uint32_t>(bytes[2]) << 16 |
                                static_cast<std::uint32_t>(bytes[3]) << 24);
}

StoreResult WriteNotes(Registry& registry, const NoteSettings& notes) {
    const RegKey root = RegKey::Create(registry, Registry::kCurrentUser, kStoreRootPath);
    const RegKey settings = RegKey::Create(registry, root, kSettingsKeyName);
    if (!settings)
        return StoreResult::Failed(settings.Status());
    return StoreResult::Of(registry.WriteDword(settings.Get(), kNotesValueName, NoteSettingsBits(notes)));
}

} // namespace qvl
