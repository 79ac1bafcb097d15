#include "driver/output/input_synth_win32.h"

#include <windows.h>

namespace qvl {

void Win32InputSynth::Key(std::uint8_t vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = 0;
    // Never KEYEVENTF_EXTENDEDKEY: the arrow keys of a keystroke go out like the keypad ones, as every
    // target program has always received them from this driver.
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void Win32InputSynth::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = 0;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

} // namespace qvl
