#include "model/prefs_storage.h"

#include "model/port_name.h"
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

Preferences ReadPreferences(Registry& registry) {
    Preferences prefs;
    ReadPrefs(registry, prefs.record);
    prefs.port = prefs.record.comPort + 1;
    const RegKey root = RegKey::Open(registry, Registry::kCurrentUser, kStoreRootPath);
    const RegKey settings = RegKey::Open(registry, root.Get(), kSettingsKeyName);
    char text[16] = {};
    const std::optional<std::size_t> size =
        settings ? registry.ReadValue(settings.Get(), kPortValueName, text, sizeof text - 1) : std::nullopt;
    if (size && *size < sizeof text) {
        // Stored with its NUL, or without one by a careless writer.
        const std::string_view stored(text, *size);
        if (const std::optional<int> port = ParsePortName(stored.substr(0, stored.find('\0'))))
            prefs.port = *port;
    }
    return prefs;
}

StoreResult WritePreferences(Registry& registry, const Preferences& prefs) {
    const RegKey root = RegKey::Create(registry, Registry::kCurrentUser, kStoreRootPath);
    const RegKey settings = RegKey::Create(registry, root, kSettingsKeyName);
    if (!settings)
        return StoreResult::Failed(settings.Status());
    // The port first: a driver that watches reads it whichever of the two writes it wakes to.
    StoreResult result =
        StoreResult::Of(registry.WriteText(settings.Get(), kPortValueName, PortName(prefs.port).c_str()));
    PrefsRecord record = prefs.record;
    record.comPort = ComPortFor(prefs.port, record.comPort);
    result.Note(registry.WriteBinary(settings.Get(), kPrefsValueName, &record, sizeof record));
    return result;
}

StoreResult StorePort(Registry& registry, int port) {
    Preferences prefs = ReadPreferences(registry);
    prefs.port = port;
    return WritePreferences(registry, prefs);
}

std::int32_t ComPortFor(int port, std::int32_t comPort) {
    return port >= 1 && port <= kComPortCount ? port - 1 : comPort;
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
