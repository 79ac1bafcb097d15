// The driver's icon in the notification area: added with the hidden window as its owner and a
// registered callback message, added again when the shell restarts, removed at exit.
#pragma once

#include <windows.h>

#include <string>

namespace qvl {

class CTrayIcon {
public:
    // `iconId` is both the icon resource and the icon's id in the notification area.
    CTrayIcon(HINSTANCE instance, UINT iconId, UINT callbackMessage, std::string tip);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon() { Remove(); }

    // Add the icon for `owner` (or refresh it when the shell has it still). The icon handle is
    // destroyed once the shell has its copy. False when the shell refused (no notification area, no
    // display).
    bool Add(HWND owner);
    // Remove it again; nothing happens when it is not there.
    void Remove();
    bool Added() const { return added_; }

private:
    HINSTANCE instance_;
    UINT iconId_;
    UINT callbackMessage_;
    std::string tip_;
    HWND owner_ = nullptr;
    bool added_ = false;
};

} // namespace qvl
