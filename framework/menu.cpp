#include "framework/menu.h"

#include <vector>

namespace qvl::framework {

MenuHandle LoadMenuResource(HINSTANCE instance, UINT id) {
    return MenuHandle(LoadMenuA(instance, MAKEINTRESOURCEA(id)));
}

HMENU SubMenu(HMENU menu, int position) {
    return menu == nullptr ? nullptr : GetSubMenu(menu, position);
}

bool ReplaceMenuItem(HMENU menu, UINT position, UINT commandId, const std::string& text) {
    return menu != nullptr && ModifyMenuA(menu, position, MF_BYPOSITION | MF_STRING, commandId, text.c_str()) != 0;
}

std::string MenuItemText(HMENU menu, UINT position) {
    if (menu == nullptr)
        return std::string();
    const int length = GetMenuStringA(menu, position, nullptr, 0, MF_BYPOSITION);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    const int copied = GetMenuStringA(menu, position, text.data(), length + 1, MF_BYPOSITION);
    return std::string(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

UINT TrackPopupCommand(HMENU popup, HWND owner, int x, int y, UINT alignment) {
    if (popup == nullptr)
        return 0;
    SetForegroundWindow(owner);
    const BOOL command = TrackPopupMenu(popup, alignment | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, nullptr);
    // A message to the owner lets the menu go away for good when it was dismissed by switching tasks.
    PostMessageA(owner, WM_NULL, 0, 0);
    return static_cast<UINT>(command);
}

} // namespace qvl::framework
