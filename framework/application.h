// The program object: start-up, the message loop with idle processing, and exit.
//
// A program derives from Application, overrides InitInstance (build its objects and windows) and
// ExitInstance (tear them down), and runs it with Run from WinMain. Objects that need the program's
// services get a reference passed in; nothing reaches for the application through a global.
//
// The application is the last target of command routing: commands that no window or document handles
// (About, Preferences, Exit) are its own.
#pragma once

#include "framework/command_target.h"

#include <windows.h>

namespace qvl::framework {

class Window;

class Application : public CommandTarget {
public:
    explicit Application(HINSTANCE instance) : instance_(instance) {}
    ~Application() override = default;

    // Start-up. Returning false skips the message loop: ExitInstance runs at once.
    virtual bool InitInstance() { return true; }
    // Exit processing after the loop (or after a failed start-up); the result is the exit code. The
    // default gives the code of the quit message (0 when there was none).
    virtual int ExitInstance() { return quitCode_; }
    // Called while the message queue is empty, with a count that restarts at 0 after each message
    // that counts as activity. Return true to be called again before waiting for the next message.
    virtual bool OnIdle(long count);
    // A look at each message before it is translated and dispatched (accelerators, modeless
    // dialogs). Return true when the message has been dealt with.
    virtual bool PreTranslateMessage(MSG& message);

    // InitInstance, the message loop until WM_QUIT, then ExitInstance; returns the exit code.
    int Run();
    // Windows is ending the session: the process ends once the main window has answered, without
    // the loop coming back. Runs the exit processing now, once; Run does not repeat it.
    void EndSession();

    HINSTANCE Instance() const { return instance_; }
    Window* MainWindow() const { return mainWindow_; }
    void SetMainWindow(Window* window) { mainWindow_ = window; }

protected:
    // The message loop alone; returns when WM_QUIT arrives, keeping its code for ExitInstance.
    void RunMessageLoop();

private:
    bool IsIdleMessage(const MSG& message);
    void ExitOnce();

    HINSTANCE instance_;
    Window* mainWindow_ = nullptr;
    int quitCode_ = 0;
    bool exited_ = false;
    int exitCode_ = 0;
    POINT lastMousePoint_ = {-1, -1};
    UINT lastMouseMessage_ = 0;
};

} // namespace qvl::framework
