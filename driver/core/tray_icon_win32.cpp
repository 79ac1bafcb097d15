#include "driver/core/tray_icon_win32.h"

#include "base/unique_handle_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace qvl {

namespace {

// Copies `text` into a fixed field of the notification record, cut to fit with its NUL.
template <std::size_t N> void CopyField(char (&field)[N], const std::string& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

} // namespace

CTrayIcon::CTrayIcon(HINSTANCE instance, UINT iconId, UINT callbackMessage, std::string tip)
    : instance_(instance), iconId_(iconId), imageId_(iconId), callbackMessage_(callbackMessage), tip_(std::move(tip)) {}

NOTIFYICONDATAA CTrayIcon::Record() const {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = iconId_;
    return data;
}

bool CTrayIcon::Send(DWORD message, UINT flags) {
    // The small icon size, which the notification area shows.
    IconHandle icon(
        static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(imageId_), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    NOTIFYICONDATAA data = Record();
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon.Get();
    // At most 63 characters, as every version of the shell takes.
    CopyField(data.szTip, tip_.substr(0, 63));
    return Shell_NotifyIconA(message, &data) != FALSE;
}

bool CTrayIcon::Add(HWND owner) {
    owner_ = owner;
    constexpr UINT kAll = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // A shell that announces a restart without having lost the icon refuses to add it twice; the
    // icon is then brought up to date instead.
    added_ = Send(NIM_ADD, kAll) || Send(NIM_MODIFY, kAll);
    return added_;
}

void CTrayIcon::Update(UINT imageId, const std::string& tip) {
    if (imageId == imageId_ && tip == tip_)
        return;
    imageId_ = imageId;
    tip_ = tip;
    if (added_)
        Send(NIM_MODIFY, NIF_ICON | NIF_TIP);
}

void CTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (!added_)
        return;
    NOTIFYICONDATAA data = Record();
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    CopyField(data.szInfo, text);
    CopyField(data.szInfoTitle, title);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CTrayIcon::Remove() {
    if (!added_)
        return;
    NOTIFYICONDATAA data = Record();
    Shell_NotifyIconA(NIM_DELETE, &data);
    added_ = false;
}

} // namespace qvl
