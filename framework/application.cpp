#include "framework/application.h"

namespace qvl::framework {

namespace {
// The system's caret-blink timer: it arrives all the time and is no sign of activity.
constexpr UINT kSystemTimer = 0x0118;
} // namespace

bool Application::OnIdle(long) {
    return false;
}

bool Application::PreTranslateMessage(MSG&) {
    return false;
}

int Application::Run() {
    if (InitInstance())
        RunMessageLoop();
    ExitOnce();
    return exitCode_;
}

void Application::EndSession() {
    ExitOnce();
}

void Application::ExitOnce() {
    if (exited_)
        return;
    exited_ = true;
    exitCode_ = ExitInstance();
}

// The loop takes and hands on messages wide, whatever the windows: a character typed into a wide window
// (a field that holds any character) reaches it whole, where the ANSI functions would have made it the
// code page's default character on the way; an ANSI window still gets its characters converted.
void Application::RunMessageLoop() {
    bool idle = true;
    long idleCount = 0;
    MSG message = {};
    for (;;) {
        while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        // Take messages until the queue is empty again, then go back to idle processing.
        do {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) {
                quitCode_ = static_cast<int>(message.wParam);
                return;
            }
            if (got == -1)
                return;
            if (!PreTranslateMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (IsIdleMessage(message)) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    }
}

bool Application::IsIdleMessage(const MSG& message) {
    if (message.message == WM_PAINT || message.message == kSystemTimer)
        return false;
    // A mouse that reports the same point again has not moved.
    if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
        const bool same = message.message == lastMouseMessage_ && message.pt.x == lastMousePoint_.x &&
                          message.pt.y == lastMousePoint_.y;
        lastMouseMessage_ = message.message;
        lastMousePoint_ = message.pt;
        return !same;
    }
    return true;
}

} // namespace qvl::framework
