// Finding the window of a click again, and asking the user for a new one when it is gone.
//
// The editor stores a click's window by its text and class name. The driver looks for it among the
// windows of the thread that owns the window in front: a top-level window is taken by its text alone,
// a descendant only when its class name matches too. The first top-level match wins at once; a child
// match does not stop the search of the other top-level windows, so without a top-level match the
// last matching descendant wins.
#pragma once

#include "driver/output/desktop.h"
#include "driver/res/resource.h"

#include <cstdint>
#include <string>

namespace qvl {

// What click targeting needs from the dispatcher: the window in front at the event, its thread, and
// the place to keep a new click window when the user accepts one.
class ClickTargetContext {
public:
    ClickTargetContext() = default;
    ClickTargetContext(const ClickTargetContext&) = delete;
    ClickTargetContext& operator=(const ClickTargetContext&) = delete;
    virtual WindowId LastForeground() const = 0;
    virtual std::uint32_t ForegroundThreadId() const = 0;
    // The text of the window in front becomes the click window of the current event's assignment; all
    // keysets are saved and the editor is told.
    virtual void AcceptForegroundAsTarget() = 0;

protected:
    ~ClickTargetContext() = default;
};

// The window of thread `threadId` with text `title` (and, below the top level, class `className`), or
// none. Comparisons are exact and case-sensitive; empty keys find nothing.
WindowId FindTargetWindow(Desktop& desktop, std::uint32_t threadId, const char* className, const char* title);

// The driver's string 1, the question about a missing click window ("%1": the window sought, "%2": the
// window in front). A string table without it asks nothing.
constexpr unsigned kMissingTargetQuestionId = IDS_CLICK_QUESTION;

} // namespace qvl
