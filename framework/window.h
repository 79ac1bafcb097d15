// A C++ object behind every window of ours. All our window classes share one window procedure; it
// finds the object from the handle and calls its HandleMessage, so each kind of window is a class
// that overrides HandleMessage and keeps its state in members.
//
// The object is passed in lpCreateParams and attached at WM_NCCREATE (kept in GWLP_USERDATA), and
// detached at WM_NCDESTROY, after its last message. Messages that arrive before WM_NCCREATE
// (WM_GETMINMAXINFO) go to the default procedure.
#pragma once

#include <windows.h>

namespace qvl::framework {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists.
    virtual ~Window();

    // Register a window class whose windows are served by Window objects. True when the class is
    // registered now or already was (by this module).
    static bool RegisterWindowClass(HINSTANCE instance, const char* className, UINT style = 0, HICON icon = nullptr,
                                    HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                    const char* menuName = nullptr);

    // Create a window of a class registered with RegisterWindowClass, served by this object.
    bool Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menu, HINSTANCE instance);
    // Destroy the window; true when there was one.
    bool Destroy();

    HWND Handle() const { return hwnd_; }
    // The object serving a window of ours; null for other windows.
    static Window* FromHandle(HWND hwnd);

    // The default handling of a message, for overrides that handle part of a message.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

protected:
    // Every message of the window from WM_NCCREATE to WM_NCDESTROY. The default passes it on to the
    // default window procedure.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone (after WM_NCDESTROY); Handle() is null by then.
    virtual void OnFinalDestroy() {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

} // namespace qvl::framework
