// The top-level windows open now, as the Window Rule dialog lists them. The system answers through
// its adapter (editor/views/open_windows_win32.*); tests answer from a list of their own.
#pragma once

#include <string>
#include <vector>

namespace qvl {

// One top-level window: its program's file name ("browser.exe"; empty when the system would not
// tell), its title, its class, and what decides whether the dialog lists it.
struct OpenWindow {
    std::string program;
    std::string title;
    std::string windowClass;
    bool visible = false;
    bool editorsOwn = false; // a window of the editor itself
};

class OpenWindows {
public:
    OpenWindows() = default;
    OpenWindows(const OpenWindows&) = delete;
    OpenWindows& operator=(const OpenWindows&) = delete;
    virtual ~OpenWindows() = default;

    // Every top-level window, front to back.
    virtual std::vector<OpenWindow> List() = 0;
};

} // namespace qvl
