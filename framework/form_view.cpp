#include "framework/form_view.h"

#include "framework/frame_window.h"

namespace qvl::framework {

bool FormView::CreateView(FrameWindow& frame, HINSTANCE instance) {
    SetFrame(&frame);
    if (!CreateFromTemplate(instance, templateId_, frame.Handle()))
        return false;
    RECT client = {};
    GetClientRect(frame.Handle(), &client);
    SetWindowPos(Handle(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOW);
    return true;
}

bool FormView::PreTranslateMessage(MSG& message) {
    if (Handle() == nullptr || message.hwnd == nullptr)
        return false;
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    if (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))
        return false;
    return IsDialogMessageA(Handle(), &message) != FALSE;
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
