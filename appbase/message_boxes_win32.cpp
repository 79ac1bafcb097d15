#include "appbase/message_boxes_win32.h"

#include <windows.h>

namespace qvl {

void Win32MessageBoxes::Show(const char* text, const char* caption, MessageIcon icon) {
    UINT style = MB_OK;
    if (icon == MessageIcon::kWarning)
        style |= MB_ICONWARNING;
    MessageBoxA(static_cast<HWND>(owner_), text, caption != nullptr ? caption : title_.c_str(), style);
}

} // namespace qvl
