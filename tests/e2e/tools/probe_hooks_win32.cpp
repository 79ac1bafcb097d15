#include "probe_hooks_win32.h"

#include "message_names_win32.h"
#include "performance_count_win32.h"

namespace qvl::e2e {

LowLevelHooks* LowLevelHooks::installed_ = nullptr;

bool LowLevelHooks::Install() {
    if (installed_ != nullptr)
        return false;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    keyboard_ = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, instance, 0);
    mouse_ = SetWindowsHookExA(WH_MOUSE_LL, MouseProc, instance, 0);
    if (keyboard_ == nullptr || mouse_ == nullptr) {
        Remove();
        return false;
    }
    installed_ = this;
    log_.Write(LogLine("hooked").Number("t", PerformanceCount()));
    return true;
}

void LowLevelHooks::Remove() {
    const bool held = keyboard_ != nullptr || mouse_ != nullptr;
    if (keyboard_ != nullptr)
        UnhookWindowsHookEx(keyboard_);
    if (mouse_ != nullptr)
        UnhookWindowsHookEx(mouse_);
    keyboard_ = nullptr;
    mouse_ = nullptr;
    if (installed_ == this)
        installed_ = nullptr;
    if (held)
        log_.Write(LogLine("unhooked").Number("t", PerformanceCount()));
}

LRESULT CALLBACK LowLevelHooks::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && installed_ != nullptr) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        installed_->log_.Write(LogLine("llkey")
                                   .Number("t", PerformanceCount())
                                   .Word("msg", MessageName(static_cast<UINT>(wParam)).c_str())
                                   .Hex("vk", event->vkCode)
                                   .Hex("scan", event->scanCode)
                                   .Number("up", (event->flags & LLKHF_UP) != 0)
                                   .Number("injected", (event->flags & LLKHF_INJECTED) != 0)
                                   .Number("extended", (event->flags & LLKHF_EXTENDED) != 0)
                                   .Number("alt", (event->flags & LLKHF_ALTDOWN) != 0)
                                   .Hex("flags", event->flags));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK LowLevelHooks::MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && installed_ != nullptr) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        installed_->log_.Write(LogLine("llmouse")
                                   .Number("t", PerformanceCount())
                                   .Word("msg", MessageName(static_cast<UINT>(wParam)).c_str())
                                   .Number("x", event->pt.x)
                                   .Number("y", event->pt.y)
                                   .Number("data", static_cast<short>(HIWORD(event->mouseData)))
                                   .Number("injected", (event->flags & LLMHF_INJECTED) != 0)
                                   .Hex("flags", event->flags));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace qvl::e2e
