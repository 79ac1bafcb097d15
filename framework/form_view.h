// A view made from a dialog template: a child window of class "#32770" that fills the frame's client
// area (the frame grows where the form would not fit), holds the template's controls and paints through OnDraw.
// Commands from its controls, and commands that other programs send to it, take the frame's route (this view first).
// The template must have the WS_CHILD style and no caption, so the view's window has an empty title.
#pragma once

#include "framework/dialog_window.h"
#include "framework/view.h"

namespace qvl::framework {

class FormView : public View, public DialogWindow {
public:
    explicit FormView(UINT templateId) : templateId_(templateId) {}

    bool CreateView(FrameWindow& frame, HINSTANCE instance) override;
    HWND ViewHandle() const override { return Handle(); }
    // Tab and the arrow keys move between the form's controls, as in a dialog.
    bool PreTranslateMessage(MSG& message) override;

protected:
    // Paint the form; the dialog's background has been erased already.
    virtual void OnDraw(HDC dc) { (void)dc; }
    bool OnCommandMessage(UINT id, UINT code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The form's controls are set up by the initial update, not by WM_INITDIALOG.
    bool OnInitDialog() override { return false; }

private:
    // Make the frame's client area at least as large as the form is, never smaller.
    void GrowFrameToFit(HWND frame) const;

    UINT templateId_;
};

} // namespace qvl::framework
