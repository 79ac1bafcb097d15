// A C++ object behind a control of a dialog, a form or any other window.
//
// Attaching subclasses the control (its window procedure replaced by ours, the wrapper kept in the
// control's user data), so a derived wrapper can see the control's own messages in HandleMessage;
// the subclass goes when the control is destroyed or the wrapper is detached or destroyed, whichever
// comes first. No window property is read on the way: under Wine each property read is a call to
// its server, and the controls of a form see many messages. The parent passes the notifications a
// control sends about itself (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_HSCROLL, WM_VSCROLL,
// WM_CTLCOLOR*) back to the wrapper first (ReflectToControl), so a bitmap button draws itself and a
// trackbar reports its own position.
#pragma once

#include <windows.h>

#include <string>

namespace qvl::framework {

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    // Serve `hwnd` with this object. False when the wrapper already serves a control, `hwnd` is no
    // window, or the window is served by another wrapper.
    bool Attach(HWND hwnd);
    // The child `id` of `parent`.
    bool AttachItem(HWND parent, int id);
    void Detach();

    HWND Handle() const { return hwnd_; }
    int Id() const;
    // The wrapper serving `hwnd`, or null. Found while its procedure is the control's (not under a
    // subclass put above it later), without asking the system for anything but the window's own data.
    static Control* FromHandle(HWND hwnd);

    std::string GetText() const;
    void SetText(const std::string& text);
    void Enable(bool enabled);
    bool IsEnabled() const;
    void Show(bool visible);
    bool IsVisible() const;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

protected:
    // Every message of the control while attached. The default passes it on to the control's own
    // procedure; swallowing a message means returning without calling Default.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification about this control that its parent received; true when handled, with the
    // parent's answer in `result`.
    virtual bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called after Attach succeeded.
    virtual void OnAttached() {}

private:
    friend bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
};

// Called by a parent for each message it receives: when the message is a notification about one of
// its controls and that control's wrapper handles it, true with the answer in `result`.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Register the common control classes the programs use (trackbar, hot key); once per program.
bool InitCommonControlClasses();

} // namespace qvl::framework
