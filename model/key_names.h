// How a keystroke is written as text: the names of the keys, the modifier prefixes of a hot
// key, the prefixes of the editor's flags and the names of the special keys. The editor shows them,
// and the driver's on-screen note names the keys of an action with them.
#pragma once

#include <cstdint>
#include <string>

namespace qvl {

// The name of virtual-key code `vk`: letters and digits as their character, every other key the hot-key
// control can produce by a short name ("Page Up", "Num 7", "F13", "Delete", ";"). A code without a name
// reads "Key " and its number, never as a control byte.
std::string KeyName(std::uint16_t vk);

// The prefix of a hot key's modifiers ("Shft+", "CtlShft+", ...), from the Shift, Ctrl and Alt bits
// alone: the extended-key bit, which the hot-key control sets for Delete, the arrows and the like,
// changes nothing.
std::string ModifierPrefix(std::uint16_t hotKeyMods);

// The prefix of the editor's flag code (1 "Ctl+" to 7 "AltShft+"); none for any other value, the
// default 128 included.
std::string FlagPrefix(std::int16_t flagCode);

// The name of a special key by the low 16 bits of `specialKey` ("Enter", "Tab", "ShftTab", ...); empty
// for a value that names none.
std::string SpecialKeyName(std::uint32_t specialKey);

} // namespace qvl
