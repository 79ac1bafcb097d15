#include "framework/control.h"

#include <commctrl.h>

#include <vector>

namespace qvl::framework {

namespace {

// One subclass per control and procedure; the id only has to be the same on every call.
constexpr UINT_PTR kSubclassId = 1;
// The window property that leads from a control to its wrapper (the subclass data cannot be read
// back by name on every system).
constexpr const char* kWrapperProperty = "QvlControlWrapper";

// The control a notification is about, or null when the message is none.
HWND NotifyingControl(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<HWND>(lParam);
        case WM_NOTIFY:
            return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
        case WM_DRAWITEM:
            // Menus are owner-drawn through the same message, with no window.
            if (wParam == 0 || lParam == 0)
                return nullptr;
            return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        default:
            return nullptr;
    }
}

} // namespace

Control::~Control() {
    Detach();
}

bool Control::Attach(HWND hwnd) {
    if (hwnd_ != nullptr || hwnd == nullptr || !IsWindow(hwnd) || FromHandle(hwnd) != nullptr)
        return false;
    if (!SetPropA(hwnd, kWrapperProperty, this))
        return false;
    if (!SetWindowSubclass(hwnd, &Control::SubclassProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropA(hwnd, kWrapperProperty);
        return false;
    }
    hwnd_ = hwnd;
    OnAttached();
    return true;
}

bool Control::AttachItem(HWND parent, int id) {
    return Attach(GetDlgItem(parent, id));
}

void Control::Detach() {
    if (hwnd_ != nullptr) {
        RemoveWindowSubclass(hwnd_, &Control::SubclassProcedure, kSubclassId);
        RemovePropA(hwnd_, kWrapperProperty);
        hwnd_ = nullptr;
    }
}

int Control::Id() const {
    return hwnd_ != nullptr ? GetDlgCtrlID(hwnd_) : 0;
}

Control* Control::FromHandle(HWND hwnd) {
    return hwnd != nullptr ? static_cast<Control*>(GetPropA(hwnd, kWrapperProperty)) : nullptr;
}

std::string Control::GetText() const {
    if (hwnd_ == nullptr)
        return std::string();
    const int length = GetWindowTextLengthA(hwnd_);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    const int copied = GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Control::SetText(const std::string& text) {
    if (hwnd_ != nullptr)
        SetWindowTextA(hwnd_, text.c_str());
}

void Control::Enable(bool enabled) {
    if (hwnd_ != nullptr)
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Control::IsEnabled() const {
    return hwnd_ != nullptr && IsWindowEnabled(hwnd_);
}

void Control::Show(bool visible) {
    if (hwnd_ != nullptr)
        ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool Control::IsVisible() const {
    return hwnd_ != nullptr && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_ != nullptr ? SendMessageA(hwnd_, message, wParam, lParam) : 0;
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

bool Control::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT CALLBACK Control::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
    Control* control = reinterpret_cast<Control*>(data);
    if (message == WM_NCDESTROY) {
        // The control's last message: the subclass goes with it, before the control's own handling.
        RemoveWindowSubclass(hwnd, &Control::SubclassProcedure, kSubclassId);
        RemovePropA(hwnd, kWrapperProperty);
        if (control != nullptr && control->hwnd_ == hwnd)
            control->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (control == nullptr || control->hwnd_ != hwnd)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    return control->HandleMessage(message, wParam, lParam);
}

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = NotifyingControl(message, wParam, lParam);
    if (child == nullptr || GetParent(child) != parent)
        return false;
    Control* control = Control::FromHandle(child);
    return control != nullptr && control->OnReflected(message, wParam, lParam, result);
}

bool InitCommonControlClasses() {
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES;
    return InitCommonControlsEx(&classes) != FALSE;
}

} // namespace qvl::framework
