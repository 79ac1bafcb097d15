#include "driver/output/user_question_win32.h"

#include <windows.h>

namespace qvl {

void Win32UserQuestion::AttachInput(std::uint32_t threadId, bool attach) {
    AttachThreadInput(GetCurrentThreadId(), threadId, attach ? TRUE : FALSE);
}

bool Win32UserQuestion::AskOkCancel(const char* text) {
    return MessageBoxA(nullptr, text, caption_.c_str(), MB_OKCANCEL | MB_ICONQUESTION | MB_SYSTEMMODAL) == IDOK;
}

void Win32UserQuestion::SetForeground(WindowId window) {
    SetForegroundWindow(reinterpret_cast<HWND>(window));
}

} // namespace qvl
