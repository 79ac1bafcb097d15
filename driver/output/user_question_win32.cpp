#include "driver/output/user_question_win32.h"

#include <windows.h>

namespace qvl {

void Win32UserQuestion::AttachInput(std::uint32_t threadId, bool attach) {
    AttachThreadInput(GetCurrentThreadId(), threadId, attach ? TRUE : FALSE);
}

// A cancel reaches the box as WM_QUIT in the asking thread's queue: the box's own message loop ends on
// it, whether it arrives while the box is open or just before it opens. The thread gets its queue
// before it says it is asking, so the message always has somewhere to go. The box's answer to WM_QUIT
// is not Cancel on every system, so a cancelled question answers Cancel whatever the box returned.
bool Win32UserQuestion::AskOkCancel(const char* text) {
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    askingThread_ = GetCurrentThreadId();
    bool ok = false;
    if (!cancelled_)
        ok = MessageBoxA(nullptr, text, caption_.c_str(), MB_OKCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL) == IDOK;
    askingThread_ = 0;
    if (cancelled_) {
        // The quit message was for the box; this thread has no loop of its own to end.
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        return false;
    }
    return ok;
}

void Win32UserQuestion::CancelAll() {
    cancelled_ = true;
    if (const unsigned long thread = askingThread_)
        PostThreadMessageA(thread, WM_QUIT, 0, 0);
}

void Win32UserQuestion::SetForeground(WindowId window) {
    SetForegroundWindow(reinterpret_cast<HWND>(window));
}

} // namespace qvl
