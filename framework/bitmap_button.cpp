#include "framework/bitmap_button.h"

#include "framework/dpi.h"

namespace qvl::framework {

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

} // namespace

bool BitmapButton::LoadBitmaps(HINSTANCE instance, const std::string& normalName, const std::string& pushedName,
                               int dpi) {
    // The pictures are drawn for 96 DPI; the dialog around the button grows with the DPI by its
    // dialog units, so the pictures grow with it.
    if (dpi <= 0)
        dpi = ScreenDpi();
    normal_ = LoadBitmapForDpi(instance, normalName, dpi);
    pushed_ = LoadBitmapForDpi(instance, pushedName, dpi);
    if (Handle() != nullptr)
        InvalidateRect(Handle(), nullptr, TRUE);
    return normal_.Valid();
}

bool BitmapButton::AutoLoad(HINSTANCE instance, HWND parent, int id, int dpi) {
    if (Handle() == nullptr && !AttachItem(parent, id))
        return false;
    const std::string name = GetText();
    if (name.empty() || !LoadBitmaps(instance, name + "U", name + "D", dpi))
        return false;
    SizeToContent();
    return true;
}

void BitmapButton::SizeToContent() {
    const SIZE size = BitmapSize(NormalPicture());
    if (Handle() != nullptr && size.cx > 0 && size.cy > 0)
        SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BitmapButton::OnAttached() {
    // The parent sends WM_DRAWITEM only for owner-drawn buttons; a template may have left the style out.
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        SetWindowLongPtrA(Handle(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

bool BitmapButton::OnReflected(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM)
        return false;
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void BitmapButton::Draw(const DRAWITEMSTRUCT& item) {
    HBITMAP picture = (item.itemState & ODS_SELECTED) != 0 && pushed_.Valid() ? PushedPicture() : NormalPicture();
    if (picture == nullptr) {
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HDC memory = CreateCompatibleDC(item.hDC);
    if (memory == nullptr)
        return;
    HGDIOBJ old = SelectObject(memory, picture);
    const SIZE size = BitmapSize(picture);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

} // namespace qvl::framework
