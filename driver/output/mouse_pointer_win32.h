// The mouse pointer over the system's cursor, capture and window-order functions.
#pragma once

#include "driver/output/mouse_pointer.h"

namespace qvl {

class Win32MousePointer final : public MousePointer {
public:
    Point ClientToScreen(WindowId window, Point client) override;
    Point CursorPosition() override;
    Point ScreenSize() override;
    void SetCursorPosition(Point screen) override;
    void SetCapture(WindowId window) override;
    void ReleaseCapture() override;
    void BringToTop(WindowId window) override;
};

} // namespace qvl
