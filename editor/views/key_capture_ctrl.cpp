#include "editor/views/key_capture_ctrl.h"

namespace qvl {

LRESULT CKeyCaptureCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYUP:
        case WM_SYSKEYUP: // a key held with Alt comes up as a system key
            if (onKeyReleased_)
                onKeyReleased_();
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return 0;
        default:
            break;
    }
    return HotKey::HandleMessage(message, wParam, lParam);
}

} // namespace qvl
