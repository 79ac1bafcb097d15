// The preferences record in the registry: the 8-byte binary value "Prefs" under "Settings" beside the
// keysets (the store's root), and the note settings beside it. The editor writes them; both programs
// read them.
#pragma once

#include "model/prefs_record.h"
#include "model/registry.h"
#include "model/store_result.h"

#include <cstdint>

namespace qvl {

constexpr const char* kSettingsKeyName = "Settings";
constexpr const char* kPrefsValueName = "Prefs";
constexpr const char* kNotesValueName = "Notes";

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
// The stored note settings; the defaults when there are none of the right size.
NoteSettings ReadNotes(Registry& registry);
StoreResult WriteNotes(Registry& registry, const NoteSettings& notes);

} // namespace qvl
