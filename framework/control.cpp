#include "framework/control.h"

#include <commctrl.h>

#include <vector>

namespace qvl::framework {

namespace {

// The control's user data says who its procedure serves: 0 nobody, a wrapper, or (tagged with the low
// bit, which no aligned object has) what is left of a wrapper that let go while another subclass sat
// above its procedure: the procedure it replaced, to pass every message on to. The window owns that
// record and frees it with itself, or hands it to the next wrapper, which then serves from the place
// in the chain where the procedure already is.
struct PassOn {
    WNDPROC previous;
};
constexpr LONG_PTR kPassOnTag = 1;

PassOn* PassOnOf(LONG_PTR data) {
    return (data & kPassOnTag) != 0 ? reinterpret_cast<PassOn*>(data & ~kPassOnTag) : nullptr;
}

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
    if (hwnd_ != nullptr || hwnd == nullptr || !IsWindow(hwnd))
        return false;
    const LONG_PTR data = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (PassOn* left = PassOnOf(data)) {
        previous_ = left->previous;
        delete left;
    } else if (data != 0) {
        return false; // served by another wrapper, or the program's data is there
    } else {
        // Wide, as the controls are: the messages reach the control's own procedure unconverted.
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProcedure)));
        if (previous_ == nullptr)
            return false;
    }
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hwnd_ = hwnd;
    OnAttached();
    return true;
}

bool Control::AttachItem(HWND parent, int id) {
    return Attach(GetDlgItem(parent, id));
}

void Control::Detach() {
    if (hwnd_ == nullptr)
        return;
    LONG_PTR data = 0;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &Control::SubclassProcedure)
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    else // another subclass calls ours, which must go on passing messages on
        data = reinterpret_cast<LONG_PTR>(new PassOn{previous_}) | kPassOnTag;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, data);
    hwnd_ = nullptr;
    previous_ = nullptr;
}

int Control::Id() const {
    return hwnd_ != nullptr ? GetDlgCtrlID(hwnd_) : 0;
}

Control* Control::FromHandle(HWND hwnd) {
    // Read from the window itself, without a property: notifications ask for it on every paint.
    if (hwnd == nullptr ||
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &Control::SubclassProcedure)
        return nullptr;
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return control != nullptr && control->hwnd_ == hwnd ? control : nullptr;
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
    return CallWindowProcW(previous_, hwnd_, message, wParam, lParam);
}

bool Control::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

LRESULT CALLBACK Control::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR data = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (PassOn* left = PassOnOf(data)) {
        const WNDPROC previous = left->previous;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete left;
        }
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    auto* control = reinterpret_cast<Control*>(data);
    if (control == nullptr || control->hwnd_ != hwnd)
        return DefWindowProcW(hwnd, message, wParam, lParam); // not reached: the data always names ours
    if (message == WM_NCDESTROY) {
        // The control's last message: the wrapper lets go, before the control's own handling.
        const WNDPROC previous = control->previous_;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        control->hwnd_ = nullptr;
        control->previous_ = nullptr;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
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
