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
    {WC_COMBOBOXA, "", IDC_MOUSE_EMULATION, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {259, 99, 96, 67}},
    {WC_BUTTONA, "", IDC_CAPTURE, BS_AUTOCHECKBOX | BS_MULTILINE | BS_TOP | WS_TABSTOP, {219, 115, 135, 28}},
    {WC_STATICA, "", IDC_STEPS_NOTE, SS_LEFT | WS_GROUP, {5, 133, 205, 37}},
    {WC_STATICA, "Wheel Speed:", IDC_WHEEL_SPEED_LABEL, SS_LEFT | WS_GROUP, {218, 147, 23, 17}},
    {TRACKBAR_CLASSA, "", IDC_WHEEL_SPEED, TBS_NOTICKS | WS_TABSTOP, {247, 147, 100, 15}},
    {WC_STATICA, "Slower", IDC_SLOWER, SS_LEFT | WS_GROUP, {246, 162, 25, 8}},
    {WC_STATICA, "Faster", IDC_FASTER, SS_LEFT | WS_GROUP, {327, 162, 25, 8}},
};

// The steps controls, wide windows so that they hold any character, in their tab order after the
// special-key list.
struct StepsControl {
    const wchar_t* className;
    unsigned textId; // 0: none
    int id;
    DWORD style;
    DWORD exStyle;
    RECT dialogUnits;
};
constexpr StepsControl kStepsControls[] = {
    {L"EDIT", 0, IDC_STEPS, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {242, 58, 113, 12}},
    {L"EDIT", 0, IDC_RELEASE_STEPS, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {259, 72, 96, 12}},
    {L"BUTTON", IDS_REPEAT, IDC_REPEAT, BS_AUTOCHECKBOX | WS_TABSTOP, 0, {259, 86, 96, 10}},
};

RECT PixelPlace(HWND form, const RECT& dialogUnits) {
    RECT place = dialogUnits;
    place.right += place.left;
    place.bottom += place.top;
    MapDialogRect(form, &place);
    return place;
}

} // namespace

bool MakeStepsControls(HWND form, HINSTANCE instance, HWND after) {
    const auto font = static_cast<WPARAM>(SendMessageW(form, WM_GETFONT, 0, 0));
    for (const StepsControl& control : kStepsControls) {
        wchar_t text[64] = {};
        if (control.textId != 0)
            LoadStringW(instance, control.textId, text, static_cast<int>(sizeof text / sizeof text[0]));
        const RECT place = PixelPlace(form, control.dialogUnits);
        HWND made = CreateWindowExW(WS_EX_NOPARENTNOTIFY | control.exStyle, control.className, text,
                                    WS_CHILD | WS_VISIBLE | control.style, place.left, place.top,
                                    place.right - place.left, place.bottom - place.top, form,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (made == nullptr)
            return false;
        SendMessageW(made, WM_SETFONT, font, FALSE);
        SetWindowPos(made, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = made;
    }
    return true;
}

bool MakeLaterPanelControls(HWND form, HINSTANCE instance) {
    const auto font = static_cast<WPARAM>(SendMessageA(form, WM_GETFONT, 0, 0));
    for (const LaterControl& control : kLaterControls) {
        const RECT place = PixelPlace(form, control.dialogUnits);
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
