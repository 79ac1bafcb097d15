#include "editor/views/panel_buttons.h"

namespace qvl {

void CLatchButton::SetLatched(int value) {
    Send(BM_SETSTATE, value ? TRUE : FALSE);
    latched = value ? 1 : 0;
}

LRESULT CLatchButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The button's own handling would draw it released when it loses the focus.
    if (message == WM_KILLFOCUS)
        return 0;
    return BitmapButton::HandleMessage(message, wParam, lParam);
}

void CLedButton::SetLit(HINSTANCE instance, bool lit, int dpi) {
    if (lit == lit_ && NormalPicture() != nullptr)
        return;
    lit_ = lit;
    LoadBitmaps(instance, lit ? "LEDBTN2U" : "LEDBTN1U", lit ? "LEDBTN2D" : "LEDBTN1D", dpi);
}

LRESULT CLedButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
        return 0;
    return BitmapButton::HandleMessage(message, wParam, lParam);
}

} // namespace qvl
