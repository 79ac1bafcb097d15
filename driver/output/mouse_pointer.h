// Where the mouse pointer is and which window holds it: what the mouse object needs besides the input
// stream to aim a click at a point inside a window and to put the cursor back afterwards.
#pragma once

#include "driver/output/desktop.h"

#include <cstdint>

namespace qvl {

// A point in pixels: client coordinates of a window, or screen coordinates; or, once scaled, absolute
// mouse coordinates (0 to 65535 across the screen).
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
};

class MousePointer {
public:
    MousePointer() = default;
    MousePointer(const MousePointer&) = delete;
    MousePointer& operator=(const MousePointer&) = delete;
    virtual ~MousePointer() = default;

    // `client` in client coordinates of `window`, converted to screen coordinates.
    virtual Point ClientToScreen(WindowId window, Point client) = 0;
    virtual Point CursorPosition() = 0;
    virtual void SetCursorPosition(Point screen) = 0;
    // Mouse capture for `window`, and its release; whether the system grants it is its own business.
    virtual void SetCapture(WindowId window) = 0;
    virtual void ReleaseCapture() = 0;
    // Raise `window` above its siblings, so the pointer lands on it.
    virtual void BringToTop(WindowId window) = 0;
    // The primary screen's size in pixels: absolute mouse coordinates span it.
    virtual Point ScreenSize() = 0;
};

} // namespace qvl
