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

// The caller's visitor and context, passed through the enumeration's own context value.
struct Visit {
    WindowVisitor visit;
    void* context;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM visit) {
    const Visit& v = *reinterpret_cast<const Visit*>(visit);
    return v.visit(FromHandle(window), v.context) ? TRUE : FALSE;
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

void Win32Desktop::WindowClass(WindowId window, char* name, std::size_t size) {
    if (size == 0)
        return;
    name[0] = '\0';
    if (window != kNoWindow && GetClassNameA(ToHandle(window), name, static_cast<int>(size)) == 0)
        name[0] = '\0';
}

WindowId Win32Desktop::FindTopLevelWindow(const char* title) {
    return FromHandle(FindWindowA(nullptr, title));
}

WindowId Win32Desktop::FindChildWindow(WindowId parent, const char* className, const char* title) {
    return FromHandle(FindWindowExA(ToHandle(parent), nullptr, className, title));
}

void Win32Desktop::EnumThreadWindows(std::uint32_t threadId, WindowVisitor visit, void* context) {
    Visit v{visit, context};
    ::EnumThreadWindows(threadId, &VisitWindow, reinterpret_cast<LPARAM>(&v));
}

void Win32Desktop::EnumChildWindows(WindowId parent, WindowVisitor visit, void* context) {
    Visit v{visit, context};
    ::EnumChildWindows(ToHandle(parent), &VisitWindow, reinterpret_cast<LPARAM>(&v));
}

bool Win32Desktop::SendCommand(WindowId window, int commandId) {
    // Every device event waits behind this call: a hung editor must not stop the driver.
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(ToHandle(window), WM_COMMAND, MAKEWPARAM(commandId, 0), 0,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG, kCommandWaitMs, &result) != 0;
}

} // namespace qvl
