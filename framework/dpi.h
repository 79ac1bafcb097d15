// The screen's resolution and pictures drawn for it. Both programs declare themselves aware of the
// system DPI in their manifests: the system then no longer stretches their windows but leaves the
// layout to them. Dialogs scale by their dialog units on their own; pictures in resources are drawn
// for 96 DPI and are scaled here once, when they are loaded.
#pragma once

#include "base/unique_handle_win32.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qvl::framework {

// The resolution everything in our resources is drawn for.
constexpr int kDesignDpi = 96;

// The DPI of the screen as this program sees it (the system DPI of a DPI-aware program).
int ScreenDpi();

// `value`, given in pixels at 96 DPI, in pixels at `dpi` (rounded to the nearest).
int ScaleForDpi(int value, int dpi);

// The bitmap resource `name`, resized with area averaging to its size at `dpi`; at 96 DPI as it is.
// An invalid handle when the resource is missing.
GdiObjectHandle LoadBitmapForDpi(HINSTANCE instance, const std::string& name, int dpi);

// `bitmap` resized with area averaging to its size at `dpi`; an invalid handle at 96 DPI or on failure.
GdiObjectHandle ScaleBitmapForDpi(HBITMAP bitmap, int dpi);

// The SS_BITMAP statics of a dialog, which show their template's picture at its own size whatever the
// DPI: given the picture scaled for the DPI instead. The statics only borrow what they show, so the
// pictures live here, as long as the dialog: each static's template picture and its scaled copy.
// ScaleForDpi may run again (a new DPI, or the same): each picture is scaled from its template's.
class StaticPictures {
public:
    void ScaleForDpi(HWND dialog, int dpi);

private:
    struct Picture {
        HWND control;
        GdiObjectHandle original; // the template's, taken over from the static
        GdiObjectHandle scaled;   // shown while valid
    };
    Picture* Find(HWND control);

    std::vector<Picture> pictures_;
};

} // namespace qvl::framework
