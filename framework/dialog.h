// Dialogs from templates: modal (DoModal runs its own loop and returns how it ended) or modeless
// (Create returns at once; the program's message loop passes the dialog its keyboard messages
// through PreTranslateModeless).
//
// OK reads the controls into the members (UpdateData) and ends the dialog with IDOK; Cancel, Escape
// and the caption's close box end it with IDCANCEL and leave the members as they were. Other
// commands go to the handlers the dialog registered (CommandTarget).
#pragma once

#include "framework/command_target.h"
#include "framework/dialog_window.h"

namespace qvl::framework {

class Dialog : public DialogWindow, public CommandTarget {
public:
    Dialog(HINSTANCE instance, UINT templateId) : instance_(instance), templateId_(templateId) {}

    // Run the dialog owned by `owner`'s window (ModalOwner; a null `owner` leaves it without one): the
    // owner is disabled while it runs and active again after. IDOK, IDCANCEL or what EndDialog was
    // given, -1 when it could not be shown.
    INT_PTR DoModal(HWND owner);
    // Show the dialog without a loop of its own.
    bool Create(HWND owner);
    bool IsModeless() const { return modeless_; }

    // For the program's message loop: when `message` is for a modeless dialog of ours (or one of its
    // controls), let the dialog manager handle it (Tab, Enter, Escape). True when it did.
    static bool PreTranslateModeless(MSG& message);

protected:
    HINSTANCE Instance() const { return instance_; }
    virtual void OnOK();
    virtual void OnCancel();
    // End a modal dialog with `result`; destroy a modeless one.
    void EndDialog(INT_PTR result);
    bool OnCommandMessage(UINT id, UINT code, HWND control) override;

private:
    HINSTANCE instance_;
    UINT templateId_;
    bool modeless_ = false;
};

// The window a modal dialog, message box or file dialog opened from `window` is owned by: `window`'s
// top-level window or, while that has a modal window of its own up, that one, so that the new window
// stacks over what is up and every window below it stays disabled. Null for a null `window`.
HWND ModalOwner(HWND window);

} // namespace qvl::framework
