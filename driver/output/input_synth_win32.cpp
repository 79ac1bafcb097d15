#include "driver/output/input_synth_win32.h"

#include <windows.h>

#include <vector>

namespace qvl {

namespace {

// The keys a keyboard sends with the extended-key flag: the ones beside the main block that share a code
// or a scan code with a key of the keypad or the main block, and the keys added since (Windows, menu,
// browser and media keys).
bool IsExtendedKey(std::uint8_t vk) {
    switch (vk) {
        case VK_CANCEL: // Break
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_SNAPSHOT:
        case VK_INSERT:
        case VK_DELETE:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_RCONTROL:
        case VK_RMENU:
            return true;
        default:
            return vk >= VK_BROWSER_BACK && vk <= VK_LAUNCH_APP2;
    }
}

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

} // namespace

void Win32InputSynth::Key(std::uint8_t vk, bool up) {
    // Never KEYEVENTF_EXTENDEDKEY: the arrow keys of a keystroke go out like the keypad ones, as every
    // target program has always received them from this driver.
    INPUT input = KeyInput(vk, 0, up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &input, sizeof input);
}

void Win32InputSynth::StepKey(std::uint8_t vk, bool up) {
    // The virtual key and its scan code together, never KEYEVENTF_SCANCODE alone: programs that take the
    // virtual key would read that as key 0.
    const auto scan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    const DWORD flags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    INPUT input = KeyInput(vk, scan, flags);
    SendInput(1, &input, sizeof input);
}

void Win32InputSynth::Text(std::u16string_view text) {
    std::vector<INPUT> inputs;
    inputs.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        inputs.push_back(KeyInput(0, static_cast<WORD>(unit), KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, static_cast<WORD>(unit), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    if (!inputs.empty())
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
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
