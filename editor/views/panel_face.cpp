#include "editor/views/panel_face.h"

#include "editor/res/resource.h"
#include "framework/dpi.h"
#include "framework/string_table.h"

#include <string>

namespace qvl {

namespace {

// A place in dialog units: a picture's top-left corner, or a text's box.
struct Place {
    unsigned id;
    int x;
    int y;
    int width;
    int height;
};

// The strip, the name plate and the symbols under the transport keys from left to right; each is
// shown at its own size from its top-left corner.
constexpr Place kPictures[] = {{IDB_STRIP, 0, 172, 0, 0},          {IDB_NAME_PLATE, 19, 83, 0, 0},
                               {IDB_REWIND_SYMBOL, 11, 121, 0, 0}, {IDB_FAST_FORWARD_SYMBOL, 39, 121, 0, 0},
                               {IDB_STOP_SYMBOL, 67, 121, 0, 0},   {IDB_PLAY_SYMBOL, 95, 121, 0, 0},
                               {IDB_RECORD_SYMBOL, 122, 121, 0, 0}};
// White on the body, from their top-left corners.
constexpr Place kBodyLabels[] = {{IDS_OPTION, 7, 45, 0, 0}, {IDS_SHIFT, 10, 74, 0, 0}, {IDS_JOG, 138, 27, 0, 0}};
// Black on the editing area, broken into lines within their boxes as a left-aligned text static does.
constexpr Place kCaptions[] = {
    {IDS_NAME_CAPTION, 218, 18, 23, 8},        {IDS_KEY_PRESS_CAPTION, 218, 32, 40, 8},
    {IDS_SPECIAL_KEY_CAPTION, 218, 46, 40, 8}, {IDS_STEPS_CAPTION, 218, 60, 23, 8},
    {IDS_RELEASE_CAPTION, 218, 74, 40, 8},     {IDS_MOUSE_EMULATION_CAPTION, 218, 98, 40, 16}};
// The grey behind the editing controls, from corner to corner.
constexpr RECT kControlsArea = {216, 3, 216 + 142, 3 + 169};

// The box of `place` in the form's pixels. Corner and size are mapped apart, as the dialog manager
// places a control, so that a text breaks into lines where it did in a static of that size.
RECT PixelBox(HWND form, const Place& place) {
    RECT mapped = {place.x, place.y, place.width, place.height};
    MapDialogRect(form, &mapped);
    return RECT{mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

void FillBox(HDC dc, const RECT& box, COLORREF colour) {
    GdiObjectHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &box, static_cast<HBRUSH>(brush.Get()));
}

void DrawPicture(HDC dc, HBITMAP picture, const RECT& box) {
    BITMAP size = {};
    HDC memory = picture != nullptr ? CreateCompatibleDC(dc) : nullptr;
    if (memory == nullptr || GetObjectA(picture, sizeof size, &size) == 0) {
        if (memory != nullptr)
            DeleteDC(memory);
        return;
    }
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(dc, box.left, box.top, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

} // namespace

void CPanelFace::LoadPictures(HINSTANCE instance, int dpi) {
    for (int i = 0; i < kPictureCount; ++i)
        pictures_[i] = framework::LoadBitmapForDpi(instance, "#" + std::to_string(kPictures[i].id), dpi);
}

void CPanelFace::Paint(HINSTANCE instance, HWND form, HDC dc) const {
    RECT whole = {};
    GetClientRect(form, &whole);
    FillBox(dc, whole, kPanelBodyColour);
    RECT area = kControlsArea;
    MapDialogRect(form, &area);
    FillBox(dc, area, kPanelControlsColour);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(form, WM_GETFONT, 0, 0)));

    SetBkColor(dc, kPanelBodyColour);
    SetTextColor(dc, RGB(255, 255, 255));
    for (const Place& label : kBodyLabels) {
        const std::string text = framework::LoadResourceString(instance, label.id);
        const RECT at = PixelBox(form, label);
        TextOutA(dc, at.left, at.top, text.c_str(), static_cast<int>(text.size()));
    }
    for (int i = 0; i < kPictureCount; ++i)
        DrawPicture(dc, static_cast<HBITMAP>(pictures_[i].Get()), PixelBox(form, kPictures[i]));

    SetBkColor(dc, kPanelControlsColour);
    SetTextColor(dc, RGB(0, 0, 0));
    for (const Place& caption : kCaptions) {
        const std::string text = framework::LoadResourceString(instance, caption.id);
        RECT box = PixelBox(form, caption);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
    }
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
}

} // namespace qvl
