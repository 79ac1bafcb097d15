#include "framework/dialog_window.h"

#include "framework/control.h"

namespace qvl::framework {

namespace {

// Messages whose answer a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

} // namespace

DialogWindow::~DialogWindow() {
    if (hwnd_ != nullptr) {
        // No message may reach the object any more, not even the destroy messages.
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
}

DialogWindow* DialogWindow::FromHandle(HWND hwnd) {
    if (hwnd == nullptr || reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hwnd, DWLP_DLGPROC)) != &DialogWindow::Procedure)
        return nullptr;
    return reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
}

bool DialogWindow::UpdateData(bool save) {
    if (hwnd_ == nullptr)
        return false;
    DataExchange exchange(hwnd_, save);
    DoDataExchange(exchange);
    return true;
}

bool DialogWindow::CreateFromTemplate(HINSTANCE instance, UINT templateId, HWND parent) {
    if (hwnd_ != nullptr)
        return false;
    HWND hwnd = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, &DialogWindow::Procedure,
                                   reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr && hwnd == hwnd_;
}

INT_PTR DialogWindow::RunModal(HINSTANCE instance, UINT templateId, HWND owner) {
    if (hwnd_ != nullptr)
        return -1;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &DialogWindow::Procedure,
                           reinterpret_cast<LPARAM>(this));
}

bool DialogWindow::OnInitDialog() {
    UpdateData(false);
    return true;
}

bool DialogWindow::OnCommandMessage(UINT, UINT, HWND) {
    return false;
}

bool DialogWindow::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<DialogWindow*>(lParam);
        if (dialog == nullptr)
            return TRUE;
        dialog->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        return dialog->OnInitDialog() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (dialog == nullptr || dialog->hwnd_ != hwnd)
        return FALSE; // before WM_INITDIALOG (WM_SETFONT) or after the object let go
    // A handler may destroy the window, and a modeless dialog may delete its object once the window
    // is gone: after the handler only `hwnd` and locals are used.
    LRESULT result = 0;
    const bool handled = dialog->Dispatch(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        dialog->hwnd_ = nullptr;
        dialog->OnFinalDestroy();
    }
    if (!handled)
        return FALSE;
    if (AnswersDirectly(message))
        return static_cast<INT_PTR>(result);
    if (message != WM_NCDESTROY)
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

bool DialogWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (ReflectToControl(hwnd_, message, wParam, lParam, result))
        return true;
    if (message == WM_COMMAND)
        return OnCommandMessage(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    return OnMessage(message, wParam, lParam, result);
}

} // namespace qvl::framework
