#include "appbase/message_boxes_win32.h"

namespace qvl {

void Win32MessageBoxes::Show(const char* text, const char* caption, MessageIcon icon) {
    UINT style = MB_OK;
    if (icon == MessageIcon::kWarning)
        style |= MB_ICONWARNING;
    MessageBoxA(Owner(), text, caption != nullptr ? caption : title_.c_str(), style);
}

bool Win32MessageBoxes::Ask(const std::string& text) {
    return MessageBoxA(Owner(), text.c_str(), title_.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

} // namespace qvl
