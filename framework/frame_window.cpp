#include "framework/frame_window.h"

#include "base/unique_handle_win32.h"
#include "framework/document.h"
#include "framework/view.h"

#include <commctrl.h>

namespace qvl::framework {

namespace {

bool IsHotKeyControl(HWND hwnd) {
    char name[32] = {};
    return hwnd != nullptr && GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpiA(name, HOTKEY_CLASSA) == 0;
}

} // namespace

bool FrameWindow::CreateFrame(HINSTANCE instance, UINT resourceId, const std::string& title, Application* application) {
    application_ = application;
    FrameCreateParams params;
    PreCreateWindow(params);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
    if (!RegisterWindowClass(instance, params.className, CS_DBLCLKS, icon, LoadCursorA(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    // The window takes the menu over and destroys it with itself.
    MenuHandle menu(LoadMenuA(instance, MAKEINTRESOURCEA(resourceId)));
    if (!Create(params.exStyle, params.className, title.c_str(), params.style, params.x, params.y, params.width,
                params.height, nullptr, menu.Get(), instance))
        return false;
    menu.Release();
    accelerators_ = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    return true;
}

Document* FrameWindow::GetActiveDocument() const {
    return view_ != nullptr ? view_->GetDocument() : nullptr;
}

CommandRoute FrameWindow::Route() {
    return CommandRoute({view_, GetActiveDocument(), this, application_});
}

bool FrameWindow::RouteCommand(UINT id, UINT code, HWND control) {
    const bool fromControl = control != nullptr;
    return Route().Execute(id, fromControl ? code : kCommandCode, fromControl);
}

void FrameWindow::UpdateMenuItems(HMENU menu) {
    const CommandRoute route = Route();
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item))
            continue;
        if (item.hSubMenu != nullptr || (item.fType & MFT_SEPARATOR) != 0)
            continue; // a pop-up is updated when it opens
        const CommandState state = route.Query(item.wID);
        EnableMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | (state.enabled ? MF_ENABLED : MF_GRAYED));
        if (state.checked.has_value())
            CheckMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | (*state.checked ? MF_CHECKED : 0));
    }
}

bool FrameWindow::PreTranslateMessage(MSG& message) {
    if (Handle() == nullptr || message.hwnd == nullptr)
        return false;
    if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))
        return false;
    if (accelerators_ != nullptr && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
        !IsHotKeyControl(message.hwnd) && TranslateAcceleratorW(Handle(), accelerators_, &message))
        return true;
    return view_ != nullptr && view_->PreTranslateMessage(message);
}

LRESULT FrameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (RouteCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
                return 0;
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) == 0) // not the window menu
                UpdateMenuItems(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SIZE:
            if (view_ != nullptr && view_->ViewHandle() != nullptr && wParam != SIZE_MINIMIZED)
                SetWindowPos(view_->ViewHandle(), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                             SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        case WM_SETFOCUS:
            if (view_ != nullptr && view_->ViewHandle() != nullptr) {
                SetFocus(view_->ViewHandle());
                return 0;
            }
            break;
        case WM_CLOSE:
            if (Document* document = GetActiveDocument())
                document->OnCloseDocument();
            else
                Destroy();
            return 0;
        case WM_ENDSESSION:
            // Windows ends without another message to the loop: close the document now, so it can
            // keep what it holds, and let the application do its exit processing.
            if (wParam != 0 && application_ != nullptr && application_->MainWindow() == this) {
                if (Document* document = GetActiveDocument())
                    document->OnCloseDocument();
                application_->EndSession();
            }
            return 0;
        case WM_DESTROY:
            if (application_ != nullptr && application_->MainWindow() == this)
                PostQuitMessage(0);
            break;
        default:
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace qvl::framework
