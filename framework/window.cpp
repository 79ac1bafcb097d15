#include "framework/window.h"

namespace qvl::framework {

Window::~Window() {
    if (hwnd_ != nullptr) {
        // The object is going away: no message may reach it any more, not even the destroy messages.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
}

bool Window::RegisterWindowClass(HINSTANCE instance, const char* className, UINT style, HICON icon, HCURSOR cursor,
                                 HBRUSH background, const char* menuName) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, className, &existing))
        return existing.lpfnWndProc == &Window::Procedure;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszMenuName = menuName;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

bool Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance) {
    if (hwnd_ != nullptr)
        return false;
    HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, this);
    return hwnd != nullptr && hwnd == hwnd_;
}

bool Window::Destroy() {
    return hwnd_ != nullptr && DestroyWindow(hwnd_) != 0;
}

Window* Window::FromHandle(HWND hwnd) {
    if (hwnd == nullptr || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) != &Window::Procedure)
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = nullptr;
    if (message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window != nullptr) {
            window->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        }
    } else {
        window = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (window == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);

    const LRESULT result = window->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        window->OnFinalDestroy();
    }
    return result;
}

} // namespace qvl::framework
