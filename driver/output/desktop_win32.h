// The desktop port over the system's window functions.
#pragma once

#include "driver/output/desktop.h"

namespace qvl {

class Win32Desktop final : public Desktop {
public:
    WindowId ForegroundWindow() override;
    std::uint32_t WindowThreadProcess(WindowId window, std::uint32_t& processId) override;
    void WindowText(WindowId window, char* text, std::size_t size) override;
    void WindowClass(WindowId window, char* name, std::size_t size) override;
    WindowId FindTopLevelWindow(const char* title) override;
    WindowId FindChildWindow(WindowId parent, const char* className, const char* title) override;
    void EnumThreadWindows(std::uint32_t threadId, WindowVisitor visit, void* context) override;
    void EnumChildWindows(WindowId parent, WindowVisitor visit, void* context) override;
    bool SendCommand(WindowId window, int commandId) override;
};

} // namespace qvl
