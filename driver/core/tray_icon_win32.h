// The driver's icon in the notification area: added with the hidden window as its owner and a
// registered callback message, added again when the shell restarts, removed at exit. Its picture and
// tip follow the driver's state; a balloon tells the user what changed without a box.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace qvl {

class CTrayIcon {
public:
    // `iconId` is both the first icon resource and the icon's id in the notification area.
    CTrayIcon(HINSTANCE instance, UINT iconId, UINT callbackMessage, std::string tip);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon() { Remove(); }

    // Add the icon for `owner` (or refresh it when the shell has it still). The icon handle is
    // destroyed once the shell has its copy. False when the shell refused (no notification area, no
    // display).
    bool Add(HWND owner);
    // Show icon resource `imageId` with tip `tip` (cut to 63 characters); nothing is sent when both
    // are as shown already.
    void Update(UINT imageId, const std::string& tip);
    // A balloon at the icon with `text`, and the driver's name as its title.
    void ShowBalloon(const std::string& title, const std::string& text);
    // Remove it again; nothing happens when it is not there.
    void Remove();
    bool Added() const { return added_; }

private:
    // Send the icon with what `flags` names: NIM_ADD or NIM_MODIFY.
    // The record that names this icon to the shell, every other field empty.
    NOTIFYICONDATAA Record() const;
    bool Send(DWORD message, UINT flags);

    HINSTANCE instance_;
    UINT iconId_;
    UINT imageId_;
    UINT callbackMessage_;
    std::string tip_;
    HWND owner_ = nullptr;
    bool added_ = false;
};

} // namespace qvl
