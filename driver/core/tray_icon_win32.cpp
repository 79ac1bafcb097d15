#include "driver/core/tray_icon_win32.h"

#include "base/unique_handle_win32.h"

#include <shellapi.h>

#include <cstring>

namespace qvl {

CTrayIcon::CTrayIcon(HINSTANCE instance, UINT iconId, UINT callbackMessage, std::string tip)
    : instance_(instance), iconId_(iconId), callbackMessage_(callbackMessage), tip_(std::move(tip)) {}

bool CTrayIcon::Add(HWND owner) {
    // The small icon size, which the notification area shows.
    IconHandle icon(
        static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(iconId_), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = iconId_;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon.Get();
    // At most 63 characters, as every version of the shell takes.
    std::strncpy(data.szTip, tip_.c_str(), 63);
    data.szTip[63] = '\0';
    owner_ = owner;
    // A shell that announces a restart without having lost the icon refuses to add it twice; the
    // icon is then brought up to date instead.
    added_ = Shell_NotifyIconA(NIM_ADD, &data) != FALSE || Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
    return added_;
}

void CTrayIcon::Remove() {
    if (!added_)
        return;
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = iconId_;
    Shell_NotifyIconA(NIM_DELETE, &data);
    added_ = false;
}

} // namespace qvl
