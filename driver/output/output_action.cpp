#include "driver/output/output_action.h"

namespace qvl {

std::int16_t ModifierCodeFor(const ControlAssignment& assignment) {
    if (assignment.hotKeyVk == 0)
        return static_cast<std::int16_t>(assignment.specialKey >> 16);
    const std::uint16_t mods = assignment.hotKeyMods;
    // 9 to 15: one or more modifiers with the extended-key flag. 8 alone stays 8 and presses nothing.
    if (mods > kHotKeyExtended && mods <= (kHotKeyExtended | kHotKeyShift | kHotKeyControl | kHotKeyAlt))
        return static_cast<std::int16_t>(mods & ~kHotKeyExtended);
    return static_cast<std::int16_t>(mods);
}

} // namespace qvl
