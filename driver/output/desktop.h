// The windows of the desktop as the dispatcher, target tracking and click targeting see them: which
// window is in front and who owns it, window texts and class names, the windows of a thread and their
// descendants, finding the editor's panel, and sending it a command.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvl {

// A window, as the system's handle value; 0 is none.
using WindowId = std::uintptr_t;
constexpr WindowId kNoWindow = 0;

// Window texts and class names are read into buffers of this size: at most 255 characters and the NUL.
constexpr std::size_t kWindowTextSize = 256;

// Called for each window of an enumeration with the caller's context; false stops the enumeration.
using WindowVisitor = bool (*)(WindowId window, void* context);

class Desktop {
public:
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    virtual ~Desktop() = default;

    virtual WindowId ForegroundWindow() = 0;
    // The thread that owns `window`, and its process in `processId`; 0 when the window is gone.
    virtual std::uint32_t WindowThreadProcess(WindowId window, std::uint32_t& processId) = 0;
    // The window's text with its NUL, cut to `size`; "" when there is none or the window is gone.
    virtual void WindowText(WindowId window, char* text, std::size_t size) = 0;
    // The window's class name with its NUL, cut to `size`; "" when the window is gone.
    virtual void WindowClass(WindowId window, char* name, std::size_t size) = 0;
    // The top-level window with this title.
    virtual WindowId FindTopLevelWindow(const char* title) = 0;
    // The first direct child of `parent` with this class name and this title ("" for an empty title).
    virtual WindowId FindChildWindow(WindowId parent, const char* className, const char* title) = 0;
    // The top-level windows of thread `threadId`, in the system's order.
    virtual void EnumThreadWindows(std::uint32_t threadId, WindowVisitor visit, void* context) = 0;
    // Every descendant of `parent`, children before their own children's siblings (depth first).
    virtual void EnumChildWindows(WindowId parent, WindowVisitor visit, void* context) = 0;
    // WM_COMMAND with `commandId` (notification code 0, no control), handled before this returns.
    // A window that does not answer within kCommandWaitMs (or hangs) is given up on: false.
    virtual bool SendCommand(WindowId window, int commandId) = 0;
    static constexpr unsigned kCommandWaitMs = 2000;
};

} // namespace qvl
