#include "editor/app/panel_tables.h"

namespace qvl {

namespace {

// Captions of the transport keys by slot and bank (none, OPTION, SHIFT, OPTION and SHIFT).
constexpr unsigned kTransportCaptions[5][kBankCount] = {
    {61216, 61217, 61218, 61219}, // Play
    {61212, 61213, 61215, 61214}, // Stop
    {61204, 61205, 61206, 61207}, // Fast Forward
    {61208, 61209, 61210, 61211}, // Rewind
    {61220, 61221, 61222, 61223}, // Record
};
// Captions of the wheel halves with the LED on and off.
constexpr unsigned kWheelCaptions[2][2] = {
    {61225, 61224}, // CCWheel
    {61227, 61226}, // CWheel
};

int ModifierBank(bool option, bool shift) {
    if (option && shift)
        return kOptionShiftBank;
    if (option)
        return kOptionBank;
    return shift ? kShiftBank : kMainBank;
}

} // namespace

int SlotOfButton(unsigned id) {
    for (int slot = 0; slot < kControlCount; ++slot)
        if (kControlButtonIds[slot] == id)
            return slot;
    return -1;
}

int CurrentBank(int slot, bool option, bool shift, bool ledOn) {
    if (IsWheelControl(slot))
        return ledOn ? kMainBank : kOptionBank;
    return ModifierBank(option, shift);
}

unsigned CaptionStringId(int slot, bool option, bool shift, bool ledOn) {
    if (IsWheelControl(slot))
        return kWheelCaptions[slot - kWheelCounterClockwise][ledOn ? 0 : 1];
    if (slot < 0 || slot >= kWheelCounterClockwise)
        return kTransportCaptions[0][0];
    return kTransportCaptions[slot][ModifierBank(option, shift)];
}

} // namespace qvl
