#include "editor/views/panel_later_controls.h"

#include "editor/res/resource.h"

#include <commctrl.h>

namespace qvl {

namespace {

struct LaterControl {
    const char* className;
    const char* text;
    int id;
    DWORD style;
    RECT dialogUnits; // left, top, width, height, as in a template
};

// As the template had them, in its order (all hidden at first).
constexpr LaterControl kLaterControls[] = {
    {WC_COMBOBOXA, "", IDC_MOUSE_EMULATION, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {259, 59, 96, 67}},
    {WC_BUTTONA, "", IDC_CAPTURE, BS_AUTOCHECKBOX | BS_MULTILINE | BS_TOP | WS_TABSTOP, {219, 75, 135, 28}},
    {WC_STATICA, "Wheel Speed:", IDC_WHEEL_SPEED_LABEL, SS_LEFT | WS_GROUP, {218, 107, 23, 17}},
    {TRACKBAR_CLASSA, "", IDC_WHEEL_SPEED, TBS_NOTICKS | WS_TABSTOP, {247, 107, 100, 15}},
    {WC_STATICA, "Slower", IDC_SLOWER, SS_LEFT | WS_GROUP, {246, 122, 25, 8}},
    {WC_STATICA, "Faster", IDC_FASTER, SS_LEFT | WS_GROUP, {327, 122, 25, 8}},
};

} // namespace

bool MakeLaterPanelControls(HWND form, HINSTANCE instance) {
    const auto font = static_cast<WPARAM>(SendMessageA(form, WM_GETFONT, 0, 0));
    for (const LaterControl& control : kLaterControls) {
        RECT place = control.dialogUnits;
        place.right += place.left;
        place.bottom += place.top;
        MapDialogRect(form, &place);
        // The dialog manager gives its controls WS_EX_NOPARENTNOTIFY too.
        HWND made = CreateWindowExA(WS_EX_NOPARENTNOTIFY, control.className, control.text, WS_CHILD | control.style,
                                    place.left, place.top, place.right - place.left, place.bottom - place.top, form,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (made == nullptr)
            return false;
        SendMessageA(made, WM_SETFONT, font, FALSE);
    }
    return true;
}

} // namespace qvl
