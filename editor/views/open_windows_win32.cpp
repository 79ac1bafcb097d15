#include "editor/views/open_windows_win32.h"

#include "base/unique_handle_win32.h"

#include <windows.h>

namespace qvl {
namespace {

// The file name of process `id`'s program; empty when the system does not let us read it.
std::string ProgramOf(DWORD id) {
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process)
        return std::string();
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameA(process.Get(), 0, path, &size))
        return std::string();
    const std::string full(path, size);
    const std::size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

BOOL CALLBACK AddWindow(HWND hwnd, LPARAM param) {
    auto& windows = *reinterpret_cast<std::vector<OpenWindow>*>(param);
    OpenWindow window;
    window.visible = IsWindowVisible(hwnd) != FALSE;
    char text[512] = {};
    const int length = GetWindowTextA(hwnd, text, static_cast<int>(sizeof text));
    window.title.assign(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    char className[256] = {};
    const int classLength = GetClassNameA(hwnd, className, static_cast<int>(sizeof className));
    window.windowClass.assign(className, classLength > 0 ? static_cast<std::size_t>(classLength) : 0);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    window.editorsOwn = process == GetCurrentProcessId();
    // Only the windows the dialog may list cost the opening of their process.
    if (window.visible && !window.title.empty() && !window.editorsOwn)
        window.program = ProgramOf(process);
    windows.push_back(std::move(window));
    return TRUE;
}

} // namespace

std::vector<OpenWindow> Win32OpenWindows::List() {
    std::vector<OpenWindow> windows;
    EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace qvl
