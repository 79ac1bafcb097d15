// The driver's hidden main window: it owns the tray icon, receives the icon's mouse messages and shows
// the tray menu on a right click. It also hears what the system says about the port and the session
// (resume from sleep, a device arrival, the workstation locked), runs the port's retry timer and takes
// the port's loss over from the reader thread. It is never shown; the title "QLV" is how tools find it.
#pragma once

#include "driver/core/tray_icon_win32.h"
#include "framework/window.h"
#include "model/shared_names.h"

#include <windows.h>

#include <atomic>
#include <optional>

namespace qvl {

class CDriverApp;

constexpr const char* kTrayMessageName = "TBarDlgMessage";
constexpr const char* kTipText = "QVL 2";

class CDriverWnd final : public framework::Window {
public:
    // `trayMessage` is the registered message the icon calls back with.
    CDriverWnd(CDriverApp& app, UINT trayMessage);

    // Register the class and create the hidden window; false when either fails.
    bool CreateHidden(HINSTANCE instance);
    // Destroy the window, first leaving the session notifications.
    void DestroyHidden();
    bool AddTrayIcon() { return icon_.Add(Handle()); }
    void RemoveTrayIcon() { icon_.Remove(); }
    bool TrayIconAdded() const { return icon_.Added(); }
    CTrayIcon& Icon() { return icon_; }

    // From any thread: the port went away; the keyset in use changed (the tip follows, at most a few
    // times a second). Nothing is posted before the window exists or once it is being destroyed.
    void PostPortLost();
    void PostKeysetChanged();
    // From the listener's thread: the device was found; from the watch's: "Settings" was written.
    void PostPortFound();
    void PostSettingsWritten();
    // The retry timer ticks every retry period while `on`.
    void SetRetryTimer(bool on, unsigned periodMs);

    // Load the menu, put the Disable or Enable item at its position 2, show it at the cursor and
    // carry out the command chosen. The editor's Preferences asks for Find Device with the registered
    // message kFindDeviceMessageName.
    void ShowTrayMenu();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override { postTarget_ = nullptr; }

private:
    // The icon's mouse messages: a right button press shows the menu.
    void OnTrayMessage(LPARAM mouseMessage);
    // The retry and tip timers; false for a timer not ours.
    bool OnTimer(WPARAM timerId);
    // What the system says about power, devices and the session, and its requests to close or end;
    // nothing for any other message.
    std::optional<LRESULT> OnSystemMessage(UINT message, WPARAM wParam);
    void Post(UINT message);

    CDriverApp& app_;
    UINT trayMessage_;
    UINT taskbarCreated_; // the shell restarted: the icon has to be added again
    UINT findDevice_;     // the editor asks the driver to find the device
    CTrayIcon icon_;
    bool inMenu_ = false;       // a menu or its command is running: another right click waits for it
    bool sessionNotes_ = false; // registered for the session's lock and unlock
    bool tipPending_ = false;   // the tip's timer runs: later keyset changes wait for it
    // The handle as the other threads see it. The port's reader posts to the window from the port's
    // opening on, before the window thread has made the window: the handle is published, atomically,
    // once the window exists, and withdrawn before it goes.
    std::atomic<HWND> postTarget_{nullptr};
};

} // namespace qvl
