// A window that the system's dialog manager builds from a dialog template, served by a C++ object:
// the base of modal and modeless dialogs and of form views.
//
// The object is passed as the init parameter, attached at WM_INITDIALOG (kept in DWLP_USER) and
// detached at WM_NCDESTROY. Notifications about a control go to the control's wrapper first
// (ReflectToControl); WM_COMMAND then goes to OnCommandMessage and everything else to OnMessage.
#pragma once

#include "framework/data_exchange.h"

#include <windows.h>

namespace qvl::framework {

class DialogWindow {
public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    // Destroys the window if it still exists.
    virtual ~DialogWindow();

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // The object serving a dialog window of ours; null for other windows.
    static DialogWindow* FromHandle(HWND hwnd);

    // Run DoDataExchange: from the controls into the members (`save`) or back. False without a window.
    bool UpdateData(bool save);

protected:
    // Create the window from template `templateId` of `instance` as a modeless window (a child when
    // the template says WS_CHILD). False when the template or the window could not be made.
    bool CreateFromTemplate(HINSTANCE instance, UINT templateId, HWND parent);
    // Run the template as a modal dialog; the result EndDialog gave, or -1 when it could not be shown.
    INT_PTR RunModal(HINSTANCE instance, UINT templateId, HWND owner);

    // WM_INITDIALOG: the default moves the members into the controls. Return true to let the system
    // put the focus on the first control.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange&) {}
    // WM_COMMAND; `control` is null for menus, accelerators and commands sent without one. True when
    // handled.
    virtual bool OnCommandMessage(UINT id, UINT code, HWND control);
    // Any other message. True when handled, with the answer in `result`.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called once the window is gone (after WM_NCDESTROY); Handle() is null by then.
    virtual void OnFinalDestroy() {}

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND hwnd_ = nullptr;
};

} // namespace qvl::framework
