// What the device panel paints itself rather than showing in windows of its own: the body and the
// grey behind the editing controls, the white labels OPTION, SHIFT and JOG, the strip along the
// bottom, the name plate, the symbols under the transport keys, and the captions of the editing
// controls ("Name:", "Key Press:", ...). None of them ever changes while the panel is open. As child
// windows (a picture or text static each) every one would cost a creation and a paint of its own,
// each of them tens of calls to the Wine server, before the panel could show.
//
// Everything is placed in the form's dialog units, where its controls are: they follow the dialog
// font as well as the DPI. The pictures are drawn for 96 DPI and loaded scaled for the screen's, like
// the picture buttons.
#pragma once

#include "base/unique_handle_win32.h"

#include <windows.h>

namespace qvl {

constexpr COLORREF kPanelBodyColour = RGB(152, 152, 152);
constexpr COLORREF kPanelControlsColour = RGB(192, 192, 192);

class CPanelFace {
public:
    void LoadPictures(HINSTANCE instance, int dpi);
    // Paint everything into `dc` of the form `form`, whose font the texts use.
    void Paint(HINSTANCE instance, HWND form, HDC dc) const;

private:
    static constexpr int kPictureCount = 7;
    GdiObjectHandle pictures_[kPictureCount];
};

} // namespace qvl
