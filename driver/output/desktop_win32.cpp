#include "driver/output/desktop_win32.h"

#include <windows.h>

namespace qvl {

namespace {

HWND ToHandle(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

WindowId FromHandle(HWND window) {
    return reinterpret_cast<WindowId>(window);
}

} // namespace

WindowId Win32Desktop::ForegroundWindow() {
    return FromHandle(GetForegroundWindow());
}

std::uint32_t Win32Desktop::WindowThreadProcess(WindowId window, std::uint32_t& processId) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(ToHandle(window), &process);
    processId = process;
    return thread;
}

void Win32Desktop::WindowText(WindowId window, char* text, std::size_t size) {
    if (size == 0)
        return;
    text[0] = '\0';
    if (window != kNoWindow)
        GetWindowTextA(ToHandle(window), text, static_cast<int>(size));
}

WindowId Win32Desktop::FindTopLevelWindow(const char* title) {
    return FromHandle(FindWindowA(nullptr, title));
}

WindowId Win32Desktop::FindChildWindow(WindowId parent, const char* className, const char* title) {
    return FromHandle(FindWindowExA(ToHandle(parent), nullptr, className, title));
}

void Win32Desktop::SendCommand(WindowId window, int commandId) {
    SendMessageA(ToHandle(window), WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

} // namespace qvl
