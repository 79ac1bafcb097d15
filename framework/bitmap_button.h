// An owner-drawn button that shows pictures instead of a face: one for the normal state and one for
// the pushed state (also while it is held by BM_SETSTATE). AutoLoad takes the pictures from the
// button's text as written in the dialog template: "Widebtn" loads the bitmaps "WIDEBTNU" and
// "WIDEBTND" (resource names ignore case), and sizes the button to its picture. The pictures are
// scaled for the screen's DPI when they are loaded (framework/dpi.h).
#pragma once

#include "base/unique_handle_win32.h"
#include "framework/controls.h"

#include <string>

namespace qvl::framework {

class BitmapButton : public Button {
public:
    // Load the two pictures by resource name, scaled for `dpi` (0: the screen's, asked for each time;
    // a window with many buttons asks once and passes it); the pushed one may be missing (the normal
    // one is then drawn for both). False when the normal picture is missing.
    bool LoadBitmaps(HINSTANCE instance, const std::string& normalName, const std::string& pushedName, int dpi = 0);
    // Attach to the child `id` of `parent`, load "<text>U" and "<text>D" and size to the picture.
    bool AutoLoad(HINSTANCE instance, HWND parent, int id, int dpi = 0);
    // Make the button as large as its normal picture.
    void SizeToContent();

    HBITMAP NormalPicture() const { return static_cast<HBITMAP>(normal_.Get()); }
    HBITMAP PushedPicture() const { return static_cast<HBITMAP>(pushed_.Get()); }

protected:
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnAttached() override;
    // Draw the picture for the item state (ODS_SELECTED: pushed).
    virtual void Draw(const DRAWITEMSTRUCT& item);

private:
    GdiObjectHandle normal_;
    GdiObjectHandle pushed_;
};

} // namespace qvl::framework
