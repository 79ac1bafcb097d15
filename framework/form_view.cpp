#include "framework/form_view.h"

#include "framework/frame_window.h"

namespace qvl::framework {

bool FormView::CreateView(FrameWindow& frame, HINSTANCE instance) {
    SetFrame(&frame);
    if (!CreateFromTemplate(instance, templateId_, frame.Handle()))
        return false;
    GrowFrameToFit(frame.Handle());
    RECT client = {};
    GetClientRect(frame.Handle(), &client);
    SetWindowPos(Handle(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOW);
    return true;
}

void FormView::GrowFrameToFit(HWND frame) const {
    // Fresh from its template, the form has its dialog units' size in pixels, which follows the
    // dialog font as this system measures it: a font that measures wider than the one the frame's
    // size was chosen for must not push the form's right-hand controls out of sight.
    RECT form = {};
    RECT client = {};
    RECT outer = {};
    if (!GetWindowRect(Handle(), &form) || !GetClientRect(frame, &client) || !GetWindowRect(frame, &outer))
        return;
    const int missingWidth = (form.right - form.left) - client.right;
    const int missingHeight = (form.bottom - form.top) - client.bottom;
    if (missingWidth <= 0 && missingHeight <= 0)
        return;
    SetWindowPos(frame, nullptr, 0, 0, (outer.right - outer.left) + (missingWidth > 0 ? missingWidth : 0),
                 (outer.bottom - outer.top) + (missingHeight > 0 ? missingHeight : 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FormView::PreTranslateMessage(MSG& message) {
    if (Handle() == nullptr || message.hwnd == nullptr)
        return false;
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))
        return false;
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

bool FormView::OnCommandMessage(UINT id, UINT code, HWND control) {
    if (FrameWindow* frame = GetFrame())
        return frame->RouteCommand(id, code, control);
    return ExecuteCommand(id, control == nullptr ? kCommandCode : code);
}

bool FormView::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_PAINT)
        return false;
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(Handle(), &paint);
    if (dc != nullptr)
        OnDraw(dc);
    EndPaint(Handle(), &paint);
    result = 0;
    return true;
}

} // namespace qvl::framework
