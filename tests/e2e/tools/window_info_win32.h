// What the tools read about any window, of this process or another.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qvl::e2e {

std::string ClassNameOf(HWND window);

// The window's text. Asked with WM_GETTEXT (edits and combo boxes of other processes keep their
// text to themselves), with a time-out so a hung window cannot stop the tool.
std::string WindowTextOf(HWND window);

// The file name of the program that runs process `processId` ("qvl2rs.exe"); empty when unknown.
std::string ProcessFileName(DWORD processId);

// The screen point of the client area's top-left corner.
POINT ClientOrigin(HWND window);

inline std::uint64_t HandleValue(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}
inline HWND HandleFromValue(std::uint64_t value) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

} // namespace qvl::e2e
