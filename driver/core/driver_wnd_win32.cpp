#include "driver/core/driver_wnd_win32.h"

#include "driver/core/driver_app_win32.h"
#include "driver/res/resource.h"
#include "framework/menu.h"
#include "framework/string_table.h"

namespace qvl {

CDriverWnd::CDriverWnd(CDriverApp& app, UINT trayMessage)
    : app_(app), trayMessage_(trayMessage), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")),
      icon_(app.Instance(), IDI_TRAY, trayMessage, kTipText) {}

bool CDriverWnd::CreateHidden(HINSTANCE instance) {
    // No cursor, background or icon: the window is never seen.
    if (!RegisterWindowClass(instance, kDriverWindowClass, CS_PARENTDC))
        return false;
    return Create(0, kDriverWindowClass, kDriverWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance);
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
        // Only a right button press opens the menu; while one is open (or its command runs, with a
        // box of its own) the icon's messages still arrive, and wait their turn by being ignored.
        if (static_cast<UINT>(lParam) == WM_RBUTTONDOWN && !inMenu_) {
            inMenu_ = true;
            ShowTrayMenu();
            inMenu_ = false;
        }
        return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        app_.TraceIcon(icon_.Add(Handle()));
        return 0;
    }
    switch (message) {
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
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace qvl
