#include "driver/core/driver_wnd_win32.h"

#include "driver/core/driver_app_win32.h"
#include "driver/res/resource.h"
#include "framework/menu.h"
#include "framework/string_table.h"

#include <dbt.h>
#include <wtsapi32.h>

#include <optional>
#include <utility>

namespace qvl {

CDriverWnd::CDriverWnd(CDriverApp& app, UINT trayMessage)
    : app_(app), trayMessage_(trayMessage), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")),
      findDevice_(RegisterWindowMessageA(kFindDeviceMessageName)),
      icon_(app.Instance(), IDI_TRAY, trayMessage, kTipText) {}

namespace {

constexpr UINT kPortLostMessage = WM_APP + 1;
constexpr UINT kKeysetChangedMessage = WM_APP + 2;
constexpr UINT kPortFoundMessage = WM_APP + 3;
constexpr UINT kSettingsWrittenMessage = WM_APP + 4;
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT_PTR kTipTimer = 2;
// The tip follows keyset changes at most this often.
constexpr UINT kTipDelayMs = 250;

} // namespace

bool CDriverWnd::CreateHidden(HINSTANCE instance) {
    // No cursor, background or icon: the window is never seen.
    if (!RegisterWindowClass(instance, kDriverWindowClass, CS_PARENTDC))
        return false;
    if (!Create(0, kDriverWindowClass, kDriverWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance))
        return false;
    // The lock of the workstation lets go of what the device holds down.
    sessionNotes_ = WTSRegisterSessionNotification(Handle(), NOTIFY_FOR_THIS_SESSION) != FALSE;
    postTarget_ = Handle();
    return true;
}

void CDriverWnd::DestroyHidden() {
    if (Handle() == nullptr)
        return;
    postTarget_ = nullptr;
    if (std::exchange(sessionNotes_, false))
        WTSUnRegisterSessionNotification(Handle());
    Destroy();
}

void CDriverWnd::PostPortLost() {
    Post(kPortLostMessage);
}

void CDriverWnd::PostKeysetChanged() {
    Post(kKeysetChangedMessage);
}

void CDriverWnd::PostPortFound() {
    Post(kPortFoundMessage);
}

void CDriverWnd::PostSettingsWritten() {
    Post(kSettingsWrittenMessage);
}

void CDriverWnd::Post(UINT message) {
    if (const HWND target = postTarget_.load())
        PostMessageA(target, message, 0, 0);
}

void CDriverWnd::SetRetryTimer(bool on, unsigned periodMs) {
    if (Handle() == nullptr)
        return; // start-up sets it once the window is there
    if (on)
        SetTimer(Handle(), kRetryTimer, periodMs, nullptr);
    else
        KillTimer(Handle(), kRetryTimer);
}

void CDriverWnd::ShowTrayMenu() {
    MenuHandle menu = framework::LoadMenuResource(app_.Instance(), IDR_TRAY_MENU);
    HMENU popup = framework::SubMenu(menu.Get(), 0);
    if (popup == nullptr)
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    const TrayItem toggle = app_.TrayToggle();
    const std::string text = framework::LoadResourceString(app_.Instance(), toggle.stringId);
    framework::ReplaceMenuItem(popup, TRAY_POS_TOGGLE, toggle.commandId, text);
    app_.TraceMenu(framework::MenuItemText(popup, TRAY_POS_TOGGLE), toggle.commandId);
    const UINT command =
        framework::TrackPopupCommand(popup, Handle(), cursor.x, cursor.y, TPM_RIGHTALIGN | TPM_BOTTOMALIGN);
    // The command may run the exit processing (Reload Driver), which destroys this window; the object
    // itself lives as long as the application.
    app_.RunTrayCommand(command);
}

LRESULT CDriverWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == trayMessage_) {
        OnTrayMessage(lParam);
        return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        app_.TraceIcon(icon_.Add(Handle()));
        return 0;
    }
    if (message == findDevice_ && findDevice_ != 0) {
        if (!inMenu_)
            app_.RunTrayCommand(ID_FIND_DEVICE);
        return 0;
    }
    switch (message) {
        case kPortLostMessage:
            app_.PortLost();
            return 0;
        case kPortFoundMessage:
            app_.PortFound();
            return 0;
        case kSettingsWrittenMessage:
            app_.SettingsWritten();
            return 0;
        case kKeysetChangedMessage:
            if (!std::exchange(tipPending_, true))
                SetTimer(Handle(), kTipTimer, kTipDelayMs, nullptr);
            return 0;
        case WM_TIMER:
            if (OnTimer(wParam))
                return 0;
            break;
        default:
            if (const std::optional<LRESULT> handled = OnSystemMessage(message, wParam))
                return *handled;
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void CDriverWnd::OnTrayMessage(LPARAM mouseMessage) {
    // Only a right button press opens the menu; while one is open (or its command runs, with a box of
    // its own) the icon's messages still arrive, and wait their turn by being ignored.
    if (static_cast<UINT>(mouseMessage) == WM_RBUTTONDOWN && !inMenu_) {
        inMenu_ = true;
        ShowTrayMenu();
        inMenu_ = false;
    }
}

bool CDriverWnd::OnTimer(WPARAM timerId) {
    if (timerId == kRetryTimer) {
        app_.RetryTick();
        return true;
    }
    if (timerId == kTipTimer) {
        KillTimer(Handle(), kTipTimer);
        tipPending_ = false;
        app_.RefreshTray();
        return true;
    }
    return false;
}

std::optional<LRESULT> CDriverWnd::OnSystemMessage(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_POWERBROADCAST:
            // Back from sleep: a port whose handle died with the sleep is opened again at once.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
                app_.RetryNow();
            return TRUE;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVNODES_CHANGED)
                app_.RetryNow();
            return TRUE;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_SESSION_LOCK)
                app_.ReleaseHeldInput();
            return 0;
        case WM_CLOSE:
            // Asked to close from outside (a tool, a task list): the same as Exit in the menu.
            app_.RunTrayCommand(ID_EXIT);
            return 0;
        case WM_ENDSESSION:
            // Windows is ending the session and ends the process once this returns.
            if (wParam != FALSE)
                app_.EndSessionNow();
            return 0;
        default:
            return std::nullopt;
    }
}

} // namespace qvl
