#include "driver/output/mouse_pointer_win32.h"

#include <windows.h>

namespace qvl {

namespace {

HWND ToHandle(WindowId window) {
    return reinterpret_cast<HWND>(window);
}

} // namespace

Point Win32MousePointer::ClientToScreen(WindowId window, Point client) {
    POINT p = {client.x, client.y};
    ::ClientToScreen(ToHandle(window), &p);
    return {p.x, p.y};
}

Point Win32MousePointer::CursorPosition() {
    POINT p = {0, 0};
    GetCursorPos(&p);
    return {p.x, p.y};
}

Point Win32MousePointer::ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void Win32MousePointer::SetCursorPosition(Point screen) {
    SetCursorPos(screen.x, screen.y);
}

void Win32MousePointer::SetCapture(WindowId window) {
    ::SetCapture(ToHandle(window));
}

void Win32MousePointer::ReleaseCapture() {
    ::ReleaseCapture();
}

void Win32MousePointer::BringToTop(WindowId window) {
    BringWindowToTop(ToHandle(window));
}

} // namespace qvl
