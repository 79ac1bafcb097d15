// The probe's windows: a top-level window of the class and title the scenario asked for, with its
// child windows, that takes the foreground and the focus and logs what it really received.
#pragma once

#include "log_file_win32.h"
#include "probe_options.h"
#include "stop_signal_win32.h"

#include <windows.h>

#include <vector>

namespace qvl::e2e {

// Post this to the main window to make the probe take the foreground and the focus again; it logs
// a "front" line with the outcome.
constexpr UINT kTakeForegroundMessage = WM_APP + 1;
// Post this to show the --menu pop-up at the cursor, as a tray program does on a right click; the
// probe logs "menu" with the command chosen (0 when the menu was dismissed).
constexpr UINT kShowMenuMessage = WM_APP + 2;
// Post this to make the probe stop answering messages, as a hung program does, until it is asked to
// stop (or a minute has passed); it logs "hang" first.
constexpr UINT kHangMessage = WM_APP + 3;

class ProbeWindow {
public:
    ProbeWindow(const ProbeOptions& options, LogFile& log, const StopSignal& stop)
        : options_(options), log_(log), stop_(stop) {}
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;
    ~ProbeWindow() { Destroy(); }

    // Creates the windows and logs a "window" line for each; then shows the main window, takes the
    // foreground and logs "ready" once it holds the foreground and the focus (or gave up trying).
    bool Create();
    void Destroy();
    bool Closed() const { return main_ == nullptr; }
    HWND Main() const { return main_; }

private:
    static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);

    LRESULT HandleMain(UINT message, WPARAM wParam, LPARAM lParam);
    void LogReceived(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void LogWindow(HWND window, const char* role, int index);
    HWND FocusTarget() const;
    bool HoldsForeground() const;
    // Ask for the foreground; the timer checks until it holds or the tries run out.
    void StartTakingForeground(const char* kind);
    void CheckForeground();
    void ShowMenu();

    const ProbeOptions& options_;
    LogFile& log_;
    const StopSignal& stop_;
    HWND main_ = nullptr;
    std::vector<HWND> children_;
    std::vector<std::string> registeredClasses_;
    bool closing_ = false;                 // what the windows get while they are taken down is not logged
    const char* foregroundKind_ = nullptr; // "ready" or "front" while taking the foreground
    int foregroundTries_ = 0;
};

} // namespace qvl::e2e
