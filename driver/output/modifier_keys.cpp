#include "driver/output/modifier_keys.h"

#include "model/keyset_record.h"

namespace qvl {

void CModifierKeys::Send(InputSynth& input, std::int16_t code, bool up) {
    if (code < 1 || code > 7)
        return;
    if ((code & kHotKeyControl) != 0)
        input.Key(kVkControl, up);
    if ((code & kHotKeyShift) != 0)
        input.Key(kVkShift, up);
    if ((code & kHotKeyAlt) != 0)
        input.Key(kVkMenu, up);
}

} // namespace qvl
