// The preferences record in the registry: the 8-byte binary value "Prefs" under "Settings" beside the
// keysets (the store's root), the port and the note settings beside it. The editor writes them; both
// programs read them, and the driver stores the port it found the device on.
#pragma once

#include "model/prefs_record.h"
#include "model/registry.h"
#include "model/store_result.h"

#include <cstdint>

namespace qvl {

constexpr const char* kSettingsKeyName = "Settings";
constexpr const char* kPrefsValueName = "Prefs";
constexpr const char* kNotesValueName = "Notes";
constexpr const char* kPortValueName = "Port";
// "Settings" under the current user, as the driver watches it.
constexpr const char* kSettingsKeyPath = "Software\\Vendrake Electronics\\QVL2\\Settings";

// Which on-screen notes the driver shows, stored as the number "Notes" beside "Prefs" (which keeps
// its 8 bytes, so that older programs read it as before): bit 0 the keyset when it changes, bit 1
// each action. Without the value, the keyset only.
struct NoteSettings {
    bool keyset = true;
    bool actions = false;
};
constexpr std::uint32_t kNoteKeysetBit = 0x1;
constexpr std::uint32_t kNoteActionsBit = 0x2;

NoteSettings NoteSettingsFromBits(std::uint32_t bits);
std::uint32_t NoteSettingsBits(const NoteSettings& notes);

// The stored preferences over `prefs`; false, with `prefs` unchanged, when there are none of the right
// size. A port outside COM1 to COM4 reads as COM1.
bool ReadPrefs(Registry& registry, PrefsRecord& prefs);
// Write `prefs` whole.
StoreResult WritePrefs(Registry& registry, const PrefsRecord& prefs);
// The preferences with the port the driver opens. The port is stored as the text "Port" beside
// "Prefs" ("COM7"), which older programs do not read: they open "Prefs"'s comPort, which is kept
// meaningful for them (COM1 to COM4 as 0 to 3; a higher port leaves it as it was).
struct Preferences {
    PrefsRecord record;
    int port = 1; // COM1 to COM256
};

// "Port" when it holds a port's name; otherwise (missing, empty, malformed) "Prefs"'s comPort, as
// ReadPrefs reads it. The defaults when neither is stored.
Preferences ReadPreferences(Registry& registry);
// Write "Port", then "Prefs" with its comPort following the port (ComPortFor).
StoreResult WritePreferences(Registry& registry, const Preferences& prefs);
// The device was found on `port`: that port, with the rest as it is stored now.
StoreResult StorePort(Registry& registry, int port);
// The comPort older programs read for `port`: port - 1 for COM1 to COM4, else `comPort` unchanged.
std::int32_t ComPortFor(int port, std::int32_t comPort);

// The stored note settings; the defaults when there are none of the right size.
NoteSettings ReadNotes(Registry& registry);
StoreResult WriteNotes(Registry& registry, const NoteSettings& notes);

} // namespace qvl
